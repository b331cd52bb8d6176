#include "app_folders.h"

#include <filesystem>

namespace jphost {

namespace {

bool HoldsSkin(const std::filesystem::path& folder) {
  std::error_code ec;
  return std::filesystem::is_directory(folder / "Skin", ec);
}

}  // namespace

std::string FindAppDir(const std::string& exeDir) {
  if (exeDir.empty() || HoldsSkin(exeDir)) return exeDir;
  std::filesystem::path installed = (std::filesystem::path(exeDir) / ".." / "share" / "jostlepad").lexically_normal();
  return HoldsSkin(installed) ? installed.string() : exeDir;
}

std::string UserSoundsDir(const char* xdgDataHome, const char* home) {
  // The XDG rules ignore a relative value.
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') return std::string(xdgDataHome) + "/jostlepad/Sounds";
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/share/jostlepad/Sounds";
  return std::string();
}

std::vector<wce::FolderUnion> JoinedSoundFolders(const std::string& appDir, const std::string& userSoundsDir) {
  if (appDir.empty() || userSoundsDir.empty()) return {};
  return {{(std::filesystem::path(appDir) / "Sounds").string(), userSoundsDir}};
}

}  // namespace jphost
