#include "registry/store.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "device/device.h"
#include "registry/hive_file.h"
#include "registry/hive_text.h"

namespace wce::registry {

namespace {

// The loader thread and the UI thread both read and write settings.
struct Store {
  std::mutex mutex;
  Hive hive = Hive::NewDevice();
  std::string path;  // empty: in memory only
  bool saveFailureReported = false;
};

Store& TheStore() {
  static Store store;
  return store;
}

void StartFresh(Store& store, const std::string& path) {
  store.hive = Hive::NewDevice();
  store.path = path;
  store.saveFailureReported = false;
}

// Reads the hive at `path`; false with `reason` (the line, for a damaged one) when it cannot be used.
bool LoadFile(const std::string& path, Hive& hive, bool& missing, std::string& reason) {
  std::string bytes;
  switch (ReadHiveFile(path, bytes, reason)) {
    case FileRead::Missing:
      missing = true;
      return true;
    case FileRead::Failed:
      reason = "cannot be read (" + reason + ")";
      return false;
    case FileRead::Ok:
      break;
  }
  ParseError error;
  if (ParseHiveText(bytes, hive, error)) return true;
  reason = "is damaged at line " + std::to_string(error.line) + " (" + error.reason + ")";
  return false;
}

bool OpenHive(const std::string& path) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  StartFresh(store, path);
  if (path.empty()) return true;

  Hive loaded;
  bool missing = false;
  std::string reason;
  if (LoadFile(path, loaded, missing, reason)) {
    // A new device keeps its defaults in memory; the first change writes the file.
    if (!missing) store.hive = std::move(loaded);
    return true;
  }

  std::string keptAs;
  std::string keepError;
  if (KeepAside(path, keptAs, keepError)) {
    std::fprintf(stderr, "device: registry hive %s %s; kept as %s, starting with defaults\n", path.c_str(),
                 reason.c_str(), keptAs.c_str());
    return true;
  }
  // Saving over it would destroy what is left of it: run from memory instead.
  std::fprintf(stderr,
               "device: registry hive %s %s and could not be kept aside (%s); "
               "starting with defaults that will not be saved\n",
               path.c_str(), reason.c_str(), keepError.c_str());
  store.path.clear();
  return false;
}

}  // namespace

Lookup GetValue(Root root, std::wstring_view subKey, std::wstring_view valueName, Value& out) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  return store.hive.Get(root, subKey, valueName, out);
}

SetResult SetValue(Root root, std::wstring_view subKey, const Value& value) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  // Changed on a copy, so a failed save leaves the hive as the file has it.
  Hive changed = store.hive;
  if (!changed.Set(root, subKey, value)) return SetResult::BadArgument;
  if (!store.path.empty()) {
    std::string error;
    if (!SaveHiveFile(store.path, HiveToText(changed), error)) {
      // One message for a run of failures (the program writes 17 values in a row).
      if (!store.saveFailureReported)
        std::fprintf(stderr, "device: registry hive %s could not be saved (%s); changes are not kept\n",
                     store.path.c_str(), error.c_str());
      store.saveFailureReported = true;
      return SetResult::SaveFailed;
    }
    store.saveFailureReported = false;
  }
  store.hive = std::move(changed);
  return SetResult::Ok;
}

}  // namespace wce::registry

namespace wce {

bool RegistryOpenHive(const std::string& posixPath) {
  try {
    return registry::OpenHive(posixPath);
  } catch (...) {  // out of memory: nothing sensible is left to do but say so
    std::fprintf(stderr, "device: registry hive %s could not be opened (out of memory)\n", posixPath.c_str());
    return false;
  }
}

void RegistryCloseHive() {
  registry::Store& store = registry::TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  // Every change was saved when it was made; a closed device runs from memory.
  registry::StartFresh(store, std::string());
}

}  // namespace wce
