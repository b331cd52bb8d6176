#include "vibrator.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace jphost {
namespace {

bool TestBit(const unsigned long* bits, int bit) {
  constexpr int kPerWord = 8 * sizeof(unsigned long);
  return (bits[bit / kPerWord] >> (bit % kPerWord)) & 1UL;
}

class LinuxFiles : public ForceFeedbackFiles {
 public:
  std::vector<std::string> EventDevices() override {
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/input", ec))
      if (entry.path().filename().string().rfind("event", 0) == 0) paths.push_back(entry.path().string());
    // event10 after event9: by number, as the kernel made them.
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return paths;
  }
  int Open(const std::string& path) override { return open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK); }
  void Close(int fd) override { close(fd); }
  bool Query(int fd, Capabilities& caps) override {
    unsigned long types[EV_MAX / (8 * sizeof(unsigned long)) + 1] = {};
    unsigned long effects[FF_MAX / (8 * sizeof(unsigned long)) + 1] = {};
    if (ioctl(fd, EVIOCGBIT(0, sizeof types), types) < 0) return false;
    caps.axes = TestBit(types, EV_ABS);
    if (TestBit(types, EV_FF) && ioctl(fd, EVIOCGBIT(EV_FF, sizeof effects), effects) < 0) return false;
    caps.rumble = TestBit(types, EV_FF) && TestBit(effects, FF_RUMBLE);
    caps.periodic = TestBit(types, EV_FF) && TestBit(effects, FF_PERIODIC);
    return true;
  }
  int Upload(int fd, Effect kind, uint32_t ms) override {
    ff_effect effect = {};
    effect.id = -1;
    effect.replay.length = static_cast<uint16_t>(std::min<uint32_t>(ms, 0x7FFF));
    if (kind == Effect::Rumble) {
      effect.type = FF_RUMBLE;
      effect.u.rumble.strong_magnitude = 0xFFFF;
      effect.u.rumble.weak_magnitude = 0xFFFF;
    } else {
      effect.type = FF_PERIODIC;
      effect.u.periodic.waveform = FF_SINE;
      effect.u.periodic.period = 10;
      effect.u.periodic.magnitude = 0x7FFF;
    }
    if (ioctl(fd, EVIOCSFF, &effect) < 0) return -1;
    return effect.id;
  }
  bool Erase(int fd, int effect) override { return ioctl(fd, EVIOCRMFF, effect) == 0; }
  bool Play(int fd, int effect, bool on) override {
    input_event event = {};
    event.type = EV_FF;
    event.code = static_cast<uint16_t>(effect);
    event.value = on ? 1 : 0;
    return write(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
  }
};

}  // namespace

std::unique_ptr<ForceFeedbackFiles> LinuxForceFeedbackFiles() { return std::make_unique<LinuxFiles>(); }

Vibrator::Vibrator(std::unique_ptr<ForceFeedbackFiles> files, uint32_t longMs, uint32_t shortMs,
                   std::function<void(const std::string&)> complain)
    : files_(std::move(files)), longMs_(longMs), shortMs_(shortMs), complain_(std::move(complain)) {}

Vibrator::~Vibrator() {
  if (fd_ < 0) return;
  if (playing_ >= 0) files_->Play(fd_, playing_, false);
  Release();
}

bool Vibrator::Open(const std::string& path) {
  if (!path.empty()) {
    int fd = files_->Open(path);
    if (fd < 0) {
      complain_("--vibrator: cannot open " + path + ": " + std::strerror(errno));
      return false;
    }
    return Adopt(fd, path, true);
  }
  for (const std::string& candidate : files_->EventDevices()) {
    int fd = files_->Open(candidate);
    if (fd >= 0 && Adopt(fd, candidate, false)) return true;
  }
  return false;
}

// Keeps `fd` when it is a motor and takes both effects; else closes it.
bool Vibrator::Adopt(int fd, const std::string& path, bool named) {
  ForceFeedbackFiles::Capabilities caps;
  bool motor = files_->Query(fd, caps) && (caps.rumble || caps.periodic) && (named || !caps.axes);
  if (!motor) {
    if (named) complain_("--vibrator: " + path + " offers no rumble or periodic effect");
    files_->Close(fd);
    return false;
  }
  auto kind = caps.rumble ? ForceFeedbackFiles::Effect::Rumble : ForceFeedbackFiles::Effect::Periodic;
  fd_ = fd;
  path_ = path;
  longEffect_ = files_->Upload(fd, kind, longMs_);
  shortEffect_ = longEffect_ >= 0 ? files_->Upload(fd, kind, shortMs_) : -1;
  if (shortEffect_ < 0) {
    Fail("refuses its effect");
    return false;
  }
  return true;
}

void Vibrator::Rumble(uint32_t ms) {
  if (fd_ < 0) return;
  int effect = ms == 0 ? -1 : ms <= shortMs_ ? shortEffect_ : longEffect_;
  // Playing an effect again restarts it; the other one is stopped first.
  if (playing_ >= 0 && playing_ != effect && !files_->Play(fd_, playing_, false)) return Fail("stopped answering");
  playing_ = -1;
  if (effect < 0) return;
  if (!files_->Play(fd_, effect, true)) return Fail("stopped answering");
  playing_ = effect;
}

void Vibrator::Fail(const std::string& what) {
  complain_("vibration motor " + path_ + " " + what + " (" + std::strerror(errno) + "); it stays quiet");
  playing_ = -1;
  Release();
}

void Vibrator::Release() {
  if (longEffect_ >= 0) files_->Erase(fd_, longEffect_);
  if (shortEffect_ >= 0) files_->Erase(fd_, shortEffect_);
  longEffect_ = shortEffect_ = -1;
  files_->Close(fd_);
  fd_ = -1;
}

}  // namespace jphost
