// The phone's own vibration motor through Linux force feedback: an evdev
// device offering FF_RUMBLE or FF_PERIODIC. Its effects are uploaded once;
// the window loop plays and stops them as the device's motor runs. A device
// that goes away or refuses is reported once and left alone from then on.
// The kernel is reached through ForceFeedbackFiles, so a fake can stand in.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace jphost {

// What the motor needs of /dev/input: a thin layer over open, the EV_FF
// capability bits, EVIOCSFF/EVIOCRMFF and writes of EV_FF events. Failures
// answer -1 or false with errno set.
class ForceFeedbackFiles {
 public:
  struct Capabilities {
    bool rumble = false;
    bool periodic = false;
    bool axes = false;  // EV_ABS: a game controller, whose rumble SDL already drives
  };
  // Kinds of effect the motor uploads.
  enum class Effect { Rumble, Periodic };

  virtual ~ForceFeedbackFiles() = default;
  virtual std::vector<std::string> EventDevices() = 0;  // /dev/input/event*, in name order
  virtual int Open(const std::string& path) = 0;
  virtual void Close(int fd) = 0;
  virtual bool Query(int fd, Capabilities& caps) = 0;
  // Uploads an effect of `ms` (strong), returning its id or -1.
  virtual int Upload(int fd, Effect kind, uint32_t ms) = 0;
  virtual bool Erase(int fd, int effect) = 0;
  virtual bool Play(int fd, int effect, bool on) = 0;
};

// The real one.
std::unique_ptr<ForceFeedbackFiles> LinuxForceFeedbackFiles();

class Vibrator {
 public:
  // A run of the motor lasts at most this long unless renewed, and a pulse
  // the loop saw only after it had ended is played this long (the lengths the
  // controllers' rumble uses).
  Vibrator(std::unique_ptr<ForceFeedbackFiles> files, uint32_t longMs, uint32_t shortMs,
           std::function<void(const std::string&)> complain);
  ~Vibrator();  // stops, removes its effects, closes

  // `path` names the device; empty: the first under /dev/input that offers
  // rumble or a periodic effect and is no game controller (those, unreadable
  // ones included, are passed over silently). False when there is none.
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  // On the window loop: buzz for `ms` (longMs or shortMs), 0: stop.
  void Rumble(uint32_t ms);

 private:
  bool Adopt(int fd, const std::string& path, bool named);
  void Fail(const std::string& what);
  void Release();

  std::unique_ptr<ForceFeedbackFiles> files_;
  uint32_t longMs_;
  uint32_t shortMs_;
  std::function<void(const std::string&)> complain_;
  std::string path_;
  int fd_ = -1;
  int longEffect_ = -1;
  int shortEffect_ = -1;
  int playing_ = -1;  // the effect now playing; -1: none
};

}  // namespace jphost
