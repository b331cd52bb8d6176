// The rendezvous of one device's processes. A process serves while it holds
// an flock on "<folder>/shell.lock": the lock dies with its process, so a
// socket file left behind by a process that died is recognised as stale (its
// lock is free) and replaced. Requests are short binary messages; every read
// and write has a time limit, so neither side can hang the other.
#include "user/rendezvous.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace wce::user {
namespace {

constexpr uint32_t kMagic = 0x31454357;  // "WCE1"
constexpr uint32_t kFind = 1;
constexpr uint32_t kRaise = 2;
constexpr int32_t kNoText = -1;
constexpr int32_t kLongestText = 1024;
// A peer that has not answered by then is treated as gone. Raising waits for
// the other program to handle WM_ACTIVATE, so this is generous.
constexpr int kTimeoutMs = 3000;

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Close(); }
  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

struct Server {
  std::mutex lock;  // guards everything here; never held while waiting on a peer
  std::string folder;
  Fd lockFile;
  Fd listener;
  Fd wakeRead;
  Fd wakeWrite;
  std::string socketPath;
  std::thread thread;
};

Server& TheServer() {
  static auto* server = new Server;  // the serving thread may still run while the process exits
  return *server;
}

// ------------------------------------------------------------ plumbing ----

void SetTimeouts(int fd) {
  timeval tv{kTimeoutMs / 1000, (kTimeoutMs % 1000) * 1000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool ReadExact(int fd, void* data, size_t size) {
  auto* at = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = read(fd, at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // closed, failed or timed out
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const std::vector<char>& bytes) {
  const char* at = bytes.data();
  size_t size = bytes.size();
  while (size > 0) {
    ssize_t n = send(fd, at, size, MSG_NOSIGNAL);  // a vanished peer must not kill us with SIGPIPE
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

template <class T>
void Put(std::vector<char>& out, T value) {
  const char* p = reinterpret_cast<const char*>(&value);
  out.insert(out.end(), p, p + sizeof value);
}

template <class T>
bool Get(int fd, T& value) {
  return ReadExact(fd, &value, sizeof value);
}

// Texts travel as 32-bit code units, whatever wchar_t is.
void PutText(std::vector<char>& out, LPCWSTR text) {
  if (!text) {
    Put<int32_t>(out, kNoText);
    return;
  }
  size_t length = std::wcslen(text);
  Put<int32_t>(out, static_cast<int32_t>(length));
  for (size_t i = 0; i < length; ++i) Put<uint32_t>(out, static_cast<uint32_t>(text[i]));
}

bool GetText(int fd, std::optional<std::wstring>& text) {
  int32_t length = 0;
  if (!Get(fd, length) || length < kNoText || length > kLongestText) return false;
  if (length == kNoText) {
    text.reset();
    return true;
  }
  std::wstring s;
  for (int32_t i = 0; i < length; ++i) {
    uint32_t unit = 0;
    if (!Get(fd, unit)) return false;
    s.push_back(static_cast<wchar_t>(unit));
  }
  text = std::move(s);
  return true;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

Fd Listen(const std::string& path) {
  sockaddr_un address{};
  if (!FillAddress(path, address)) return Fd();
  Fd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) return Fd();
  if (bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return Fd();
  if (listen(fd.Get(), 8) != 0) return Fd();
  return fd;
}

Fd Connect(const std::string& path) {
  sockaddr_un address{};
  if (!FillAddress(path, address)) return Fd();
  Fd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) return Fd();
  SetTimeouts(fd.Get());
  if (connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return Fd();
  return fd;
}

uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string CanonicalFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::weakly_canonical(std::filesystem::absolute(folder, error), error);
  return error ? folder : path.string();
}

// ------------------------------------------------------------- serving ----

// One request, one answer: [magic, op, arguments] -> [found, id].
void Answer(int fd) {
  SetTimeouts(fd);
  uint32_t magic = 0;
  uint32_t op = 0;
  if (!Get(fd, magic) || magic != kMagic || !Get(fd, op)) return;
  uint64_t id = 0;
  bool ok = false;
  if (op == kFind) {
    std::optional<std::wstring> className;
    std::optional<std::wstring> title;
    if (!GetText(fd, className) || !GetText(fd, title)) return;
    id = ServeFind(className, title);
    ok = id != 0;
  } else if (op == kRaise) {
    if (!Get(fd, id)) return;
    ok = ServeRaise(id);
  } else {
    return;
  }
  std::vector<char> reply;
  Put<uint32_t>(reply, ok ? 1 : 0);
  Put<uint64_t>(reply, id);
  WriteAll(fd, reply);
}

// Sleeps in poll until a peer connects or the stop byte arrives.
void ServeLoop(int listener, int wake) {
  for (;;) {
    pollfd fds[2] = {{wake, POLLIN, 0}, {listener, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents != 0) return;
    if (fds[1].revents & (POLLERR | POLLNVAL)) return;
    if (!(fds[1].revents & POLLIN)) continue;
    Fd peer(accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
    if (peer) Answer(peer.Get());
  }
}

// What a stopped server leaves to tidy up, outside the server's lock: the
// thread may be finishing a request that waits for a window procedure.
struct Retired {
  std::thread thread;
  Fd listener;
  Fd wakeRead;
  Fd wakeWrite;
  Fd lockFile;
  std::string socketPath;

  void Finish() {
    if (!thread.joinable()) return;
    char stop = 1;
    ssize_t written = write(wakeWrite.Get(), &stop, 1);
    (void)written;  // a full pipe already holds a wake-up
    thread.join();
    listener.Close();
    // the socket goes before the lock, so that the next server's socket is never ours to remove
    unlink(socketPath.c_str());
    lockFile.Close();
  }
};

// With the server's lock held.
Retired Retire(Server& s) {
  Retired r{std::move(s.thread), std::move(s.listener), std::move(s.wakeRead), std::move(s.wakeWrite),
            std::move(s.lockFile), std::move(s.socketPath)};
  s.thread = std::thread();
  s.socketPath.clear();
  return r;
}

bool Serving(Server& s) { return s.thread.joinable(); }

struct Request {
  std::string socket;
  std::vector<char> bytes;
};

// Sends one request to `socket` and reads the answer.
std::optional<uint64_t> Ask(const Request& request) {
  Fd fd = Connect(request.socket);
  if (!fd || !WriteAll(fd.Get(), request.bytes)) return std::nullopt;
  uint32_t ok = 0;
  uint64_t id = 0;
  if (!Get(fd.Get(), ok) || !Get(fd.Get(), id) || ok != 1) return std::nullopt;
  return id;
}

}  // namespace

std::string RendezvousSocketPath(const std::string& deviceDir) {
  std::string folder = CanonicalFolder(deviceDir);
  std::string direct = folder + "/shell.sock";
  if (direct.size() < sizeof(sockaddr_un::sun_path)) return direct;
  // Too long for a socket address: a short name that only this folder gives.
  char name[64];
  std::snprintf(name, sizeof name, "/wce-shell-%u-%016llx.sock", static_cast<unsigned>(getuid()),
                static_cast<unsigned long long>(Fnv1a(folder)));
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string base = runtime && runtime[0] == '/' ? runtime : "/tmp";
  if (base.size() + std::strlen(name) >= sizeof(sockaddr_un::sun_path)) base = "/tmp";
  return base + name;
}

void RendezvousSetFolder(const std::string& deviceDir) {
  Server& s = TheServer();
  Retired old;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    old = Retire(s);
    s.folder = deviceDir;
  }
  old.Finish();
}

void RendezvousPublish() {
  Server& s = TheServer();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.folder.empty() || Serving(s)) return;
  std::error_code error;
  std::filesystem::create_directories(s.folder, error);
  Fd lockFile(open((s.folder + "/shell.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!lockFile || flock(lockFile.Get(), LOCK_EX | LOCK_NB) != 0) return;  // a live process serves
  std::string path = RendezvousSocketPath(s.folder);
  unlink(path.c_str());  // left by a process that died without cleaning up
  Fd listener = Listen(path);
  int wake[2];
  if (!listener || pipe2(wake, O_CLOEXEC) != 0) return;
  s.lockFile = std::move(lockFile);
  s.listener = std::move(listener);
  s.wakeRead = Fd(wake[0]);
  s.wakeWrite = Fd(wake[1]);
  s.socketPath = path;
  s.thread = std::thread(ServeLoop, s.listener.Get(), s.wakeRead.Get());
}

void RendezvousStopServing() {
  Server& s = TheServer();
  Retired old;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    old = Retire(s);
  }
  old.Finish();
}

std::optional<RemoteWindowRef> RendezvousFind(LPCWSTR className, LPCWSTR title) {
  Request request;
  {
    Server& s = TheServer();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.folder.empty() || Serving(s)) return std::nullopt;  // serving: every window here is ours
    request.socket = RendezvousSocketPath(s.folder);
  }
  Put<uint32_t>(request.bytes, kMagic);
  Put<uint32_t>(request.bytes, kFind);
  PutText(request.bytes, className);
  PutText(request.bytes, title);
  std::optional<uint64_t> id = Ask(request);
  if (!id) return std::nullopt;
  return RemoteWindowRef{request.socket, *id};
}

bool RendezvousRaise(const RemoteWindowRef& window) {
  Request request{window.socket, {}};
  Put<uint32_t>(request.bytes, kMagic);
  Put<uint32_t>(request.bytes, kRaise);
  Put<uint64_t>(request.bytes, window.id);
  return Ask(request).has_value();
}

}  // namespace wce::user
