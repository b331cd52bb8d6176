#include "device/device.h"

#include "device/internal.h"

namespace wce {

bool DeviceStart(const DeviceConfig& config) {
  AudioStop();
  internal::UserReset();
  internal::GdiReset();
  internal::KernelReset();
  internal::SensorReset();
  ClockReset(config.clock);
  internal::ShellReset();
  internal::UserStart(config.deviceDir);
  SetModulePath(config.modulePath);
  SetFolderUnions(config.folderUnions);
  SetSensorSource(config.sensor);
  internal::SetProgramStartCheck(config.programStartCheck, config.programStarter);
  bool ok = RegistryOpenHive(config.deviceDir.empty() ? std::string() : config.deviceDir + "/registry.reg",
                             config.defaultBrowser);
  if (!AudioStart(config.audio)) ok = false;
  return ok;
}

void DeviceStop() {
  AudioStop();
  internal::UserReset();
  internal::UserStart(std::string());
  RegistryCloseHive();
  SetSensorSource(nullptr);
  internal::SetProgramStartCheck(nullptr, nullptr);
  SetFolderUnions({});
  internal::GdiReset();
  internal::KernelReset();
  internal::SensorReset();
}

}  // namespace wce
