// Joined folders: the user's sound packs seen inside the program's own Sounds
// folder. Only the mapping lives here; files.cpp lists a joined folder.
#include "kernel/folder_union.h"

#include <dirent.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "device/device.h"
#include "kernel/paths.h"

namespace wce {

namespace {

std::mutex& UnionLock() {
  static std::mutex lock;
  return lock;
}

std::vector<FolderUnion>& UnionSetting() {
  static std::vector<FolderUnion> unions;
  return unions;
}

std::vector<FolderUnion> CurrentUnions() {
  std::lock_guard<std::mutex> lock(UnionLock());
  return UnionSetting();
}

// Runs of '/' become one and a trailing one goes, so that the program's
// "Sounds\" and "Sounds\\Drums" compare with the configured folder.
std::string Tidy(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  if (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

// The entry of `folder` named `name` up to case: the exact spelling when it
// is there, else the first in byte order (two spellings may share a folder on
// the host; the choice must not hang on the folder's order).
std::optional<std::string> FindFoldedEntry(const std::string& folder, std::string_view name) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return std::nullopt;
  std::wstring wanted = Utf8ToWide(name);
  std::optional<std::string> best;
  while (const dirent* entry = readdir(dir.get())) {
    std::string_view found(entry->d_name);
    if (found == "." || found == "..") continue;
    if (found == name) return std::string(found);
    if (SameFoldedName(Utf8ToWide(found), wanted) && (!best || found < *best)) best = std::string(found);
  }
  return best;
}

}  // namespace

void SetFolderUnions(std::vector<FolderUnion> unions) {
  std::lock_guard<std::mutex> lock(UnionLock());
  UnionSetting() = std::move(unions);
}

bool SameFoldedName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::string ResolveJoinedPath(const std::string& posixPath) {
  std::vector<FolderUnion> unions = CurrentUnions();
  if (unions.empty()) return posixPath;
  std::string path = Tidy(posixPath);
  bool trailingSlash = posixPath.size() > 1 && posixPath.back() == '/';
  for (const FolderUnion& u : unions) {
    std::string folder = Tidy(u.folder);
    if (folder.empty() || folder == "/" || u.joined.empty()) continue;
    if (path.size() <= folder.size() + 1 || path.compare(0, folder.size(), folder) != 0 || path[folder.size()] != '/')
      continue;
    std::string_view rest = std::string_view(path).substr(folder.size() + 1);
    std::string_view entry = rest.substr(0, rest.find('/'));
    if (entry == "." || entry == "..") return posixPath;
    std::optional<std::string> winner = FindFoldedEntry(u.joined, entry);
    if (!winner) return posixPath;  // the folder's own entry, or nothing anywhere
    std::string resolved = Tidy(u.joined) + "/" + *winner + std::string(rest.substr(entry.size()));
    if (trailingSlash) resolved += '/';
    return resolved;
  }
  return posixPath;
}

std::optional<std::string> JoinedFolderOf(const std::string& posixFolder) {
  std::vector<FolderUnion> unions = CurrentUnions();
  if (unions.empty()) return std::nullopt;
  std::string folder = Tidy(posixFolder);
  for (const FolderUnion& u : unions) {
    if (!u.joined.empty() && !u.folder.empty() && Tidy(u.folder) == folder) return u.joined;
  }
  return std::nullopt;
}

}  // namespace wce
