// The phone's motor through force feedback, against a fake /dev/input and,
// where the machine lets us make one, a virtual device made with uinput.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "vibrator.h"

namespace jphost {
namespace {

constexpr uint32_t kLong = 5000, kShort = 60;

struct FakeDevice {
  bool opens = true;
  ForceFeedbackFiles::Capabilities caps;
  bool refusesUpload = false;
};

// Records every call as text; fds are 10 + the device's index.
class FakeFiles : public ForceFeedbackFiles {
 public:
  FakeFiles(std::vector<std::pair<std::string, FakeDevice>> devices, std::string& log, bool& gone)
      : devices_(std::move(devices)), log_(log), gone_(gone) {}
  std::vector<std::string> EventDevices() override {
    std::vector<std::string> paths;
    for (auto& [path, device] : devices_) paths.push_back(path);
    return paths;
  }
  int Open(const std::string& path) override {
    for (size_t i = 0; i < devices_.size(); ++i)
      if (devices_[i].first == path && devices_[i].second.opens) return 10 + static_cast<int>(i);
    errno = EACCES;
    return -1;
  }
  void Close(int fd) override { log_ += "close " + std::to_string(fd) + ";"; }
  bool Query(int fd, Capabilities& caps) override {
    caps = devices_[static_cast<size_t>(fd - 10)].second.caps;
    return true;
  }
  int Upload(int fd, Effect kind, uint32_t ms) override {
    log_ += std::string(kind == Effect::Rumble ? "rumble " : "periodic ") + std::to_string(ms) + ";";
    if (devices_[static_cast<size_t>(fd - 10)].second.refusesUpload) {
      errno = EINVAL;
      return -1;
    }
    return nextId_++;
  }
  bool Erase(int, int effect) override {
    log_ += "erase " + std::to_string(effect) + ";";
    return true;
  }
  bool Play(int, int effect, bool on) override {
    if (gone_) {
      errno = ENODEV;
      return false;
    }
    log_ += (on ? "play " : "stop ") + std::to_string(effect) + ";";
    return true;
  }

 private:
  std::vector<std::pair<std::string, FakeDevice>> devices_;
  std::string& log_;
  bool& gone_;
  int nextId_ = 0;
};

FakeDevice Motor(bool rumble, bool periodic, bool axes = false) {
  FakeDevice d;
  d.caps = {rumble, periodic, axes};
  return d;
}

TEST(Vibrator, FindsTheFirstMotorThatIsNoControllerAndUploadsItsEffectsOnce) {
  FakeDevice locked = Motor(true, false);
  locked.opens = false;
  FakeDevice refusing = Motor(true, false);
  refusing.refusesUpload = true;
  const struct {
    const char* what;
    std::vector<std::pair<std::string, FakeDevice>> devices;
    std::string path;  // --vibrator
    bool found;
    std::string log;
    std::string complaint;
  } rows[] = {
      {"a keyboard, an unreadable motor, a game pad, then the phone's motor",
       {{"event0", Motor(false, false)}, {"event1", locked}, {"event2", Motor(true, true, true)},
        {"event3", Motor(true, false)}},
       "", true, "close 10;close 12;rumble 5000;rumble 60;", ""},
      {"only a periodic effect", {{"event0", Motor(false, true)}}, "", true, "periodic 5000;periodic 60;", ""},
      {"none at all: quiet", {{"event0", Motor(false, false)}}, "", false, "close 10;", ""},
      {"a game pad named by --vibrator is taken", {{"pad", Motor(true, false, true)}}, "pad", true,
       "rumble 5000;rumble 60;", ""},
      {"a named device without force feedback", {{"kbd", Motor(false, false)}}, "kbd", false, "close 10;",
       "--vibrator: kbd offers no rumble"},
      {"a named device that cannot be opened", {}, "/dev/input/event9", false, "",
       "--vibrator: cannot open /dev/input/event9: Permission denied"},
      {"a motor that refuses the effect", {{"e", refusing}}, "", false, "rumble 5000;close 10;",
       "vibration motor e refuses its effect"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::string log, complaints;
    bool gone = false;
    Vibrator motor(std::make_unique<FakeFiles>(row.devices, log, gone), kLong, kShort,
                   [&](const std::string& text) { complaints += text + ";"; });
    EXPECT_EQ(motor.Open(row.path), row.found);
    EXPECT_EQ(motor.IsOpen(), row.found);
    EXPECT_EQ(log, row.log);
    if (row.complaint.empty())
      EXPECT_EQ(complaints, "");
    else
      EXPECT_NE(complaints.find(row.complaint), std::string::npos) << complaints;
  }
}

TEST(Vibrator, PlaysAndStopsWithTheMotorAndGoesQuietOnceTheDeviceFails) {
  std::string log, complaints;
  bool gone = false;
  {
    Vibrator motor(std::make_unique<FakeFiles>(std::vector<std::pair<std::string, FakeDevice>>{{"e", Motor(true, false)}},
                                               log, gone),
                   kLong, kShort, [&](const std::string& text) { complaints += text + "|"; });
    ASSERT_TRUE(motor.Open(""));
    log.clear();
    // On, renewed, off; a missed pulse; a pulse cut short by a run; off.
    for (uint32_t ms : {kLong, kLong, 0u, kShort, 0u, kShort, kLong, 0u}) motor.Rumble(ms);
    EXPECT_EQ(log, "play 0;play 0;stop 0;play 1;stop 1;play 1;stop 1;play 0;stop 0;");
    motor.Rumble(kLong);
    gone = true;  // unplugged
    log.clear();
    motor.Rumble(0);
    motor.Rumble(kLong);
    motor.Rumble(0);
    EXPECT_EQ(log, "erase 0;erase 1;close 10;");
    EXPECT_FALSE(motor.IsOpen());
  }
  EXPECT_EQ(log, "erase 0;erase 1;close 10;");  // nothing more when it goes
  EXPECT_NE(complaints.find("vibration motor e stopped answering"), std::string::npos) << complaints;
  EXPECT_EQ(complaints.find('|'), complaints.size() - 1) << "one message: " << complaints;
}

// A virtual motor: answers uploads and counts plays and stops.
class UinputMotor {
 public:
  bool Make(std::string& why) {
    fd_ = open("/dev/uinput", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
      why = std::string("/dev/uinput: ") + std::strerror(errno);
      return false;
    }
    uinput_setup setup = {};
    std::strcpy(setup.name, "jostlepad test motor");
    setup.id.bustype = BUS_VIRTUAL;
    setup.ff_effects_max = 4;
    if (ioctl(fd_, UI_SET_EVBIT, EV_FF) < 0 || ioctl(fd_, UI_SET_FFBIT, FF_RUMBLE) < 0 ||
        ioctl(fd_, UI_DEV_SETUP, &setup) < 0 || ioctl(fd_, UI_DEV_CREATE) < 0) {
      why = std::string("uinput refuses a force-feedback device: ") + std::strerror(errno);
      return false;
    }
    char name[64] = {};
    if (ioctl(fd_, UI_GET_SYSNAME(sizeof name), name) < 0) {
      why = "uinput does not name its device";
      return false;
    }
    serving_ = std::thread([this] { Serve(); });
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(std::string("/sys/devices/virtual/input/") + name, ec))
      if (entry.path().filename().string().rfind("event", 0) == 0)
        path = "/dev/input/" + entry.path().filename().string();
    if (path.empty()) why = "no event device for the virtual motor";
    return !path.empty();
  }
  ~UinputMotor() {
    stop_ = true;
    if (serving_.joinable()) serving_.join();
    if (fd_ >= 0) {
      ioctl(fd_, UI_DEV_DESTROY);
      close(fd_);
    }
  }
  std::string path;
  std::atomic<int> plays{0}, stops{0}, uploads{0};

 private:
  void Serve() {
    while (!stop_) {
      pollfd p = {fd_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      input_event event;
      while (read(fd_, &event, sizeof event) == static_cast<ssize_t>(sizeof event)) {
        if (event.type == EV_UINPUT && event.code == UI_FF_UPLOAD) {
          uinput_ff_upload upload = {};
          upload.request_id = static_cast<uint32_t>(event.value);
          ioctl(fd_, UI_BEGIN_FF_UPLOAD, &upload);
          upload.retval = 0;
          ++uploads;
          ioctl(fd_, UI_END_FF_UPLOAD, &upload);
        } else if (event.type == EV_UINPUT && event.code == UI_FF_ERASE) {
          uinput_ff_erase erase = {};
          erase.request_id = static_cast<uint32_t>(event.value);
          ioctl(fd_, UI_BEGIN_FF_ERASE, &erase);
          erase.retval = 0;
          ioctl(fd_, UI_END_FF_ERASE, &erase);
        } else if (event.type == EV_FF) {
          ++(event.value ? plays : stops);
        }
      }
    }
  }
  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::thread serving_;
};

TEST(Vibrator, DrivesARealForceFeedbackDevice) {
  UinputMotor device;
  std::string why;
  if (!device.Make(why)) GTEST_SKIP() << why;
  // udev may take a moment to make the node.
  for (int i = 0; i < 100 && access(device.path.c_str(), R_OK | W_OK) != 0; ++i) usleep(10000);
  if (access(device.path.c_str(), R_OK | W_OK) != 0) GTEST_SKIP() << device.path << " did not appear (no udev here?)";
  std::string complaints;
  {
    Vibrator motor(LinuxForceFeedbackFiles(), kLong, kShort, [&](const std::string& text) { complaints += text; });
    ASSERT_TRUE(motor.Open(device.path)) << complaints;
    motor.Rumble(kLong);
    motor.Rumble(0);
    motor.Rumble(kShort);
    for (int i = 0; i < 200 && device.plays + device.stops < 3; ++i) usleep(10000);
  }
  EXPECT_EQ(complaints, "");
  EXPECT_EQ(device.uploads, 2);
  EXPECT_EQ(device.plays, 2);
  EXPECT_GE(device.stops, 1);
}

}  // namespace
}  // namespace jphost
