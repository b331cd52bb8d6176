// File search and opening files by device path.
#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "device/device.h"
#include "kernel/folder_union.h"
#include "kernel/handles.h"
#include "kernel/paths.h"
#include "wce_crt.h"
#include "winbase.h"

namespace wce {

namespace {

// One search: the matches are taken when it starts, in name order, and handed
// out one per FindNextFileW. (The phone lists a folder in the order its files
// were written; the host's order is its file system's whim, which would make
// the same run list differently from one machine to the next.)
struct FindSearch {
  std::mutex mutex;
  std::vector<WIN32_FIND_DATAW> matches;
  size_t next = 0;
};

HandleTable<FindSearch>& Searches() {
  static HandleTable<FindSearch> table(HandleKind::FindSearch);
  return table;
}

constexpr uint64_t kUnixEpochIn100ns = 116444736000000000ULL;  // 1601 -> 1970

FILETIME ToFileTime(const struct timespec& t) {
  uint64_t ticks = 0;
  if (t.tv_sec >= 0)
    ticks = kUnixEpochIn100ns + static_cast<uint64_t>(t.tv_sec) * 10000000ULL + static_cast<uint64_t>(t.tv_nsec) / 100;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

DWORD AttributesOf(const struct stat& st, const std::string& path) {
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  // NORMAL stands alone; a file we may not write is READONLY instead.
  return access(path.c_str(), W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

// Fills `data` for one folder entry; false when the entry cannot be reported
// (vanished, or a name the device's buffer cannot hold: skipped, never cut).
bool DescribeEntry(const std::string& folder, const char* posixName, WIN32_FIND_DATAW& data) {
  std::wstring name = Utf8ToWide(posixName);
  if (name.size() >= MAX_PATH) return false;
  std::string full = folder + "/" + posixName;
  struct stat st {};
  if (stat(full.c_str(), &st) != 0) return false;
  data = WIN32_FIND_DATAW{};
  data.dwFileAttributes = AttributesOf(st, full);
  data.ftCreationTime = ToFileTime(st.st_mtim);
  data.ftLastWriteTime = ToFileTime(st.st_mtim);
  data.ftLastAccessTime = ToFileTime(st.st_atim);
  if (!S_ISDIR(st.st_mode)) {
    uint64_t size = static_cast<uint64_t>(st.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
  }
  std::memcpy(data.cFileName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  return true;
}

DWORD ErrorOfOpendir(int error) {
  switch (error) {
    case EACCES:
      return ERROR_ACCESS_DENIED;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_PATH_NOT_FOUND;  // ENOENT, ENOTDIR, ...
  }
}

// Collects the matching entries of `folder`; an error code when the folder
// cannot be listed.
DWORD ListMatches(const std::string& folder, const std::wstring& pattern, std::vector<WIN32_FIND_DATAW>& out) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return ErrorOfOpendir(errno);
  const size_t first = out.size();
  while (const dirent* entry = readdir(dir.get())) {
    // The device's searches never report the folder itself or its parent.
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    if (!MatchesPattern(pattern, Utf8ToWide(entry->d_name))) continue;
    WIN32_FIND_DATAW data;
    if (DescribeEntry(folder, entry->d_name, data)) out.push_back(data);
  }
  std::sort(out.begin() + static_cast<ptrdiff_t>(first), out.end(),
            [](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) { return std::wcscmp(a.cFileName, b.cFileName) < 0; });
  return ERROR_SUCCESS;
}

// A joined folder lists its own entries, then the joined folder's; one of
// these hides an own entry of the same name up to case.
DWORD ListJoinedMatches(const std::string& folder, const std::string& joined, const std::wstring& pattern,
                        std::vector<WIN32_FIND_DATAW>& out) {
  std::vector<WIN32_FIND_DATAW> own, theirs;
  DWORD ownError = ListMatches(folder, pattern, own);
  DWORD joinedError = ListMatches(joined, pattern, theirs);
  if (ownError != ERROR_SUCCESS && joinedError != ERROR_SUCCESS) return ownError;
  for (const WIN32_FIND_DATAW& mine : own) {
    bool hidden = std::any_of(theirs.begin(), theirs.end(), [&mine](const WIN32_FIND_DATAW& other) {
      return SameFoldedName(mine.cFileName, other.cFileName);
    });
    if (!hidden) out.push_back(mine);
  }
  out.insert(out.end(), theirs.begin(), theirs.end());
  return ERROR_SUCCESS;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

// "r", "rb", "w+", "a+b", ... : what the device's C library takes; 't' is its
// default text mode, which is binary here anyway.
bool NarrowMode(const wchar_t* mode, std::string& out) {
  if (mode[0] != L'r' && mode[0] != L'w' && mode[0] != L'a') return false;
  out = static_cast<char>(mode[0]);
  for (const wchar_t* m = mode + 1; *m != L'\0'; ++m) {
    if (*m == L'+' || *m == L'b')
      out += static_cast<char>(*m);
    else if (*m != L't')
      return false;
  }
  return true;
}

}  // namespace

void FindSearchesReset() { Searches().Clear(); }

}  // namespace wce

using namespace wce;

extern "C" HANDLE WINAPI FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
  if (lpFileName == nullptr || lpFindFileData == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::wstring_view path(lpFileName);
  size_t cut = path.find_last_of(L"\\/");
  std::wstring folderPart(cut == std::wstring_view::npos ? std::wstring_view() : path.substr(0, cut + 1));
  std::wstring pattern(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
  if (pattern.empty()) return Fail(ERROR_FILE_NOT_FOUND);

  std::string folder = folderPart.empty() ? std::string(".") : DevicePathToPosix(folderPart.c_str());
  auto search = std::make_shared<FindSearch>();
  std::optional<std::string> joined = JoinedFolderOf(folder);
  DWORD error = joined ? ListJoinedMatches(folder, *joined, pattern, search->matches)
                       : ListMatches(folder, pattern, search->matches);
  if (error != ERROR_SUCCESS) return Fail(error);
  if (search->matches.empty()) return Fail(ERROR_FILE_NOT_FOUND);

  *lpFindFileData = search->matches[0];
  search->next = 1;
  return reinterpret_cast<HANDLE>(Searches().Insert(std::move(search)));
}

extern "C" BOOL WINAPI FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
  std::shared_ptr<FindSearch> search = Searches().Lookup(hFindFile);
  if (!search) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpFindFileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(search->mutex);
  if (search->next >= search->matches.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *lpFindFileData = search->matches[search->next++];
  return TRUE;
}

extern "C" BOOL WINAPI FindClose(HANDLE hFindFile) {
  if (!Searches().Remove(hFindFile)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" FILE* _wfopen(const wchar_t* path, const wchar_t* mode) {
  std::string narrowMode;
  if (path == nullptr || mode == nullptr || !NarrowMode(mode, narrowMode)) {
    errno = EINVAL;
    return nullptr;
  }
  return std::fopen(DevicePathToPosix(path).c_str(), narrowMode.c_str());
}
