// soak_script: writes the soak's bench script for a seed and a length, and
// optionally a device folder's hive whose five slots hold sounds of an app
// folder's packs and whose browser is a program that does nothing
// (tools/soak.sh runs the staged program on them).
//
//   soak_script --seed N --minutes M --script FILE [--hive FILE --app-dir DIR]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "soak_script.h"
#include "test_app_dir.h"
#include "test_files.h"

namespace {

int Usage() {
  std::fputs("usage: soak_script --seed N --minutes M --script FILE [--hive FILE --app-dir DIR]\n", stderr);
  return 2;
}

// Packs and their WAVs in name order, one sound from each pack in turn: the
// first file of every pack, then the second ..., until five slots are full.
jptest::TestSettings SlotsFrom(const std::string& appDir) {
  namespace fs = std::filesystem;
  std::vector<std::pair<std::string, std::vector<std::string>>> packs;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(appDir) / "Sounds", ec)) {
    if (!entry.is_directory()) continue;
    std::vector<std::string> names;
    for (const auto& file : fs::directory_iterator(entry.path(), ec)) {
      std::string name = file.path().filename().string();
      if (name.size() > 4 && name.substr(name.size() - 4) == ".wav") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    packs.emplace_back(entry.path().filename().string(), std::move(names));
  }
  std::sort(packs.begin(), packs.end());
  jptest::TestSettings settings;
  settings.vibrationsOn = 1;  // every tap on a control pulses, as people leave it
  int slot = 0;
  for (size_t i = 0; slot < 5; ++i) {
    bool any = false;
    for (const auto& [pack, names] : packs) {
      if (slot == 5 || i >= names.size()) continue;
      settings.slotFolder[slot] = pack;
      settings.slotName[slot] = names[i];
      ++slot;
      any = true;
    }
    if (!any) break;
  }
  return settings;
}

}  // namespace

int main(int argc, char** argv) {
  jptest::SoakOptions options;
  std::string script, hive, appDir;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i], value = argv[i + 1];
    if (name == "--seed") options.seed = std::strtoull(value.c_str(), nullptr, 10);
    else if (name == "--minutes") options.lengthMs = std::strtoll(value.c_str(), nullptr, 10) * 60'000;
    else if (name == "--script") script = value;
    else if (name == "--hive") hive = value;
    else if (name == "--app-dir") appDir = value;
    else return Usage();
  }
  if (argc % 2 == 0 || script.empty() || options.lengthMs < 120'000 || hive.empty() != appDir.empty()) return Usage();
  if (!jptest::WriteText(script, jptest::SoakScript(options))) {
    std::fprintf(stderr, "soak_script: cannot write %s\n", script.c_str());
    return 1;
  }
  if (!hive.empty() && !jptest::WriteText(hive, jptest::TestHive(SlotsFrom(appDir), "\\bin\\true"))) {
    std::fprintf(stderr, "soak_script: cannot write %s\n", hive.c_str());
    return 1;
  }
  return 0;
}
