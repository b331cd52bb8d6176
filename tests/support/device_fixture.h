// A fresh device for each test: virtual clock at 0, hive in a temporary
// folder, no audio unless a test asks for it, the test thread as the program's,
// and no real program started (see harmless_programs.h).
#pragma once

#include <gtest/gtest.h>

#include "device/device.h"
#include "test_files.h"

namespace jptest {

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Adjust in a subclass's SetUp before calling DeviceTest::SetUp().
  wce::DeviceConfig config_;
  TempDir temp_;
};

}  // namespace jptest
