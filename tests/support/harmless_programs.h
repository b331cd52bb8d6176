// No test starts a real program: a test's device names a harmless browser,
// and a start of the system's opener fails the running test (naming it) and
// is refused.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "device/device.h"

namespace jptest {

inline void UseHarmlessPrograms(wce::DeviceConfig& config) {
  config.defaultBrowser = "/bin/true";
  config.programStartCheck = [](const std::string& path) {
    if (std::filesystem::path(path).filename() != std::filesystem::path(wce::kSystemOpener).filename()) return true;
    ADD_FAILURE() << "a test started the real program " << path;
    return false;
  };
}

}  // namespace jptest
