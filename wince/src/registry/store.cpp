#include "registry/store.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

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

// `browser`: a POSIX path.
void StartFresh(Store& store, const std::string& path, const std::string& browser = kSystemOpener) {
  store.hive = Hive::NewDevice(PosixPathToDevice(browser));
  store.path = path;
  store.saveFailureReported = false;
}

// A file with many bad lines must not bury the console.
constexpr size_t kMaxLinesReported = 10;

// Reads the hive at `path`; false with `reason` (the line, for a damaged one)
// when it cannot be used at all. Lines it had to leave out are in `skipped`.
bool LoadFile(const std::string& path, std::string& bytes, Hive& hive, bool& missing,
              std::vector<ParseError>& skipped, std::string& reason) {
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
  if (ParseHiveText(bytes, hive, error, &skipped)) return true;
  reason = "is damaged at line " + std::to_string(error.line) + " (" + error.reason + ")";
  return false;
}

// The hive loaded without some of its lines: the file as it was goes aside,
// so nothing in it is lost, and the file is saved with what could be read,
// so the next start neither repeats the report nor keeps another copy.
bool KeepLostLines(Store& store, std::string_view bytes, const std::vector<ParseError>& skipped) {
  const std::string& path = store.path;
  std::string keptAs;
  std::string error;
  if (!KeepCopyAside(path, bytes, keptAs, error)) {
    std::fprintf(stderr,
                 "device: registry hive %s has %zu line(s) that cannot be read (the first: line %d, %s) and "
                 "could not be copied aside (%s); running with what could be read, which will not be saved\n",
                 path.c_str(), skipped.size(), skipped[0].line, skipped[0].reason.c_str(), error.c_str());
    store.path.clear();
    return false;
  }
  for (size_t i = 0; i < skipped.size() && i < kMaxLinesReported; ++i)
    std::fprintf(stderr, "device: registry hive %s line %d skipped (%s); the file as it was is kept as %s\n",
                 path.c_str(), skipped[i].line, skipped[i].reason.c_str(), keptAs.c_str());
  if (skipped.size() > kMaxLinesReported)
    std::fprintf(stderr, "device: registry hive %s: %zu more line(s) skipped\n", path.c_str(),
                 skipped.size() - kMaxLinesReported);
  if (!SaveHiveFile(path, HiveToText(store.hive), error)) {
    // The next change tries again; until then the file still has the bad lines.
    std::fprintf(stderr, "device: registry hive %s could not be saved repaired (%s)\n", path.c_str(),
                 error.c_str());
  }
  return true;
}

bool OpenHive(const std::string& path, const std::string& browser) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  StartFresh(store, path, browser);
  if (path.empty()) return true;

  // Whatever a killed save left behind is of no use to anyone now.
  RemoveStaleTemporaries(path);

  std::string bytes;
  Hive loaded;
  bool missing = false;
  std::vector<ParseError> skipped;
  std::string reason;
  if (LoadFile(path, bytes, loaded, missing, skipped, reason)) {
    // A new device keeps its defaults in memory; the first change writes the file.
    if (!missing) store.hive = std::move(loaded);
    return skipped.empty() || KeepLostLines(store, bytes, skipped);
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
  return SetValues(root, subKey, std::vector<Value>{value});
}

SetResult SetValues(Root root, std::wstring_view subKey, const std::vector<Value>& values) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  // Changed on a copy, so a failed save leaves the hive as the file has it.
  Hive changed = store.hive;
  for (const Value& value : values)
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

bool RegistryOpenHive(const std::string& posixPath, const std::string& defaultBrowser) {
  try {
    return registry::OpenHive(posixPath, defaultBrowser);
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
