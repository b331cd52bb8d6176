#include "registry/hive_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace wce::registry {

namespace {

// Closes the descriptor when the scope ends.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closing can report a failed write-back, so a save checks it.
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

// `err` is taken before anything else can touch errno.
std::string Describe(int err, const char* what, const std::string& file = std::string()) {
  std::string text = what;
  if (!file.empty()) text += " " + file;
  return text + ": " + std::strerror(err);
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr std::string_view kTempMark = ".tmp-";

std::string TemporaryFor(const std::string& path) {
  return path + std::string(kTempMark) + std::to_string(getpid());
}

// The rename itself must reach the disk too; best effort, as some file
// systems refuse to sync a folder.
void SyncFolder(const std::string& path) {
  Fd folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
}

// rename() that fails rather than replace an existing file.
bool RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // File systems without the flag: check first (racy, but only against ourselves).
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

FileRead ReadHiveFile(const std::string& path, std::string& bytes, std::string& error) {
  bytes.clear();
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT) return FileRead::Missing;
    error = Describe(errno, "cannot open it");
    return FileRead::Failed;
  }
  char buffer[16384];
  for (;;) {
    ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = Describe(errno, "cannot read it");
      return FileRead::Failed;
    }
    if (n == 0) return FileRead::Ok;
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

bool SaveHiveFile(const std::string& path, std::string_view text, std::string& error) {
  std::string temp = TemporaryFor(path);
  Fd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) {
    error = Describe(errno, "cannot create", temp);
    return false;
  }
  bool ok = WriteAll(fd.get(), text);
  if (!ok) error = Describe(errno, "cannot write", temp);
  if (ok && fsync(fd.get()) != 0) {
    ok = false;
    error = Describe(errno, "cannot flush", temp);
  }
  if (!fd.Close() && ok) {
    ok = false;
    error = Describe(errno, "cannot close", temp);
  }
  if (ok && rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    error = Describe(errno, "cannot rename", temp);
  }
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  SyncFolder(path);
  return true;
}

void RemoveStaleTemporaries(const std::string& path) {
  const std::string prefix = NameOf(path) + std::string(kTempMark);
  std::string folder = FolderOf(path);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return;
  while (const dirent* entry = readdir(dir.get())) {
    std::string_view name = entry->d_name;
    if (name.substr(0, prefix.size()) != prefix) continue;
    std::string digits(name.substr(prefix.size()));
    char* end = nullptr;
    long pid = std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || *end != '\0' || pid <= 0 || pid == getpid()) continue;
    // Only a process that is gone: a live one may be about to rename it.
    if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    unlink((folder + "/" + std::string(name)).c_str());
  }
}

bool KeepAside(const std::string& path, std::string& keptAs, std::string& error) {
  for (int n = 1; n < 10000; ++n) {
    keptAs = path + ".damaged-" + std::to_string(n);
    if (RenameNoReplace(path, keptAs)) return true;
    if (errno != EEXIST) {
      error = Describe(errno, "cannot rename it");
      return false;
    }
  }
  error = "too many damaged copies beside it";
  return false;
}

bool KeepCopyAside(const std::string& path, std::string_view bytes, std::string& keptAs, std::string& error) {
  for (int n = 1; n < 10000; ++n) {
    keptAs = path + ".damaged-" + std::to_string(n);
    Fd fd(open(keptAs.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
      if (errno == EEXIST) continue;
      error = Describe(errno, "cannot create", keptAs);
      return false;
    }
    bool ok = WriteAll(fd.get(), bytes) && fsync(fd.get()) == 0;
    if (ok) ok = fd.Close();
    if (!ok) {
      error = Describe(errno, "cannot write", keptAs);
      unlink(keptAs.c_str());
      return false;
    }
    SyncFolder(path);
    return true;
  }
  error = "too many damaged copies beside it";
  return false;
}

}  // namespace wce::registry
