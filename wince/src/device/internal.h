// Reset hooks each area of the device implements; DeviceStart/DeviceStop call them.
#pragma once

#include <functional>
#include <string>

namespace wce::internal {

void UserReset();     // user/: windows, classes, queues, timers dropped
// user/: where this device's single-instance rendezvous lives (the device
// folder; empty: none, FindWindowW sees only this process).
void UserStart(const std::string& deviceDir);
void ShellReset();
// shell/: asked before CreateProcessW starts a program (DeviceConfig::programStartCheck),
// and what starts it where there are no processes (DeviceConfig::programStarter).
void SetProgramStartCheck(std::function<bool(const std::string& posixPath)> check,
                          std::function<bool(const std::string& posixPath, const std::vector<std::string>& args)> starter);    // shell/: task bar shown, orientation 0, idle timer and motor reset
void GdiReset();      // gdi/: every GDI object dropped
void KernelReset();   // kernel/: open searches, thread handles, last errors dropped
void AudioReset();
// sensor/: every sensor handle dropped; HTCSensorSDK.dll known to the kernel
// (present while a sensor source is set).
void SensorReset();    // audio/: every voice closed (no callbacks)

}  // namespace wce::internal
