// A fresh device for each test: virtual clock at 0, hive in a temporary
// folder, no audio unless a test asks for it, the test thread as the program's.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/device.h"

namespace jptest {

// A temporary folder removed with everything in it when the object dies.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadFile(const std::string& path);
bool MakeDirs(const std::string& path);
std::string CorporaDir();  // ../shared/corpora beside the checkout; empty when missing

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Adjust in a subclass's SetUp before calling DeviceTest::SetUp().
  wce::DeviceConfig config_;
  TempDir temp_;
};

}  // namespace jptest
