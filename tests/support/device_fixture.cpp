#include "device_fixture.h"

#include "harmless_programs.h"

namespace jptest {

void DeviceTest::SetUp() {
  ASSERT_FALSE(temp_.Path().empty());
  config_.deviceDir = temp_ / "device";
  MakeDirs(config_.deviceDir);
  if (config_.modulePath.empty()) {
    MakeDirs(temp_ / "app");
    config_.modulePath = temp_ / "app/Jostlepad.exe";
  }
  UseHarmlessPrograms(config_);
  ASSERT_TRUE(wce::DeviceStart(config_));
  wce::RegisterProgramThread();
}

void DeviceTest::TearDown() {
  wce::UnregisterProgramThread();
  wce::DeviceStop();
}

}  // namespace jptest
