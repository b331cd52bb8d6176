// The drawing cases on our own device, for comparison with Wine's.
#include "device/device.h"
#include "gdi_cases.h"
#include "test_files.h"

namespace jptest {

std::string OurDeviceCases() {
  TempDir temp;
  wce::DeviceConfig config;  // virtual clock, hive in memory
  config.modulePath = temp / "Jostlepad.exe";
  if (!wce::DeviceStart(config)) return "";
  wce::RegisterProgramThread();
  std::string text = gdijudge::RunGdiCases();
  wce::UnregisterProgramThread();
  wce::DeviceStop();
  return text;
}

}  // namespace jptest
