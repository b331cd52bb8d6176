// The browser device: main runs on a worker (emscripten proxies it there), so
// the program's WinMain and every thread of the device are workers. The
// page's own thread never takes a device lock: it writes input into a queue
// in shared memory and wakes this device's pump thread, which injects it,
// copies each changed screen into one of two RGBA buffers and counts it; the
// audio thread pulls the mix into a ring the page's worklet reads.
#include <emscripten.h>
#include <emscripten/threading.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "addresses.h"
#include "app/WinMain.h"
#include "audio_ring.h"
#include "device/device.h"
#include "key_jerk_source.h"
#include "motion.h"

extern const wce::EmbeddedResource kProgramResources[];
extern const size_t kProgramResourceCount;

namespace jpweb {
namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr int kDpi = 192;
constexpr uint32_t kRate = 48000;
constexpr uint32_t kQuantum = 128;      // the worklet's render quantum
constexpr uint32_t kRingFrames = 4096;  // room; how much is kept ahead is kAudioAhead
constexpr uint32_t kQueueLength = 256;
// Where the page's storage is mounted: the hive and the user's packs.
constexpr const char kStore[] = "/store";
constexpr const char kAppDir[] = "/app";
// The default browser of a new hive: a new tab of the page's browser.
constexpr const char kBrowserTab[] = "/usr/bin/x-www-browser";

// Shared words; the page knows them by these numbers (web/page/jostlepad-page.js).
enum Word {
  kWake,          // page: +1 after queueing input; the pump waits on it
  kInputWrite,    // page: events queued so far
  kFrameCount,    // device: frames published; frame n is in buffer n % 2
  kFrameReading,  // page: 1 + the buffer it copies from, 0 when none
  kAudioRunning,  // page: an AudioState
  kAudioAhead,    // page: frames to keep queued for the worklet
  kEnded,         // device: 1 while the program is not running
  kSilentFrames,  // worklet: frames of silence it played where the ring was dry
  kMotionListening,  // page: 1 while it listens to the motion sensor; device: 2 once it asked
  kWordCount
};
// The page's audio, as the device's audio thread sees it.
enum AudioState {
  kAudioNotStarted = 0,  // no tap yet: the mix is pulled at the real rate and dropped
  kAudioPlaying = 1,     // the worklet reads the ring
  kAudioSuspended = 2,   // the page let the context sleep after a long silence
};
enum EventKind { kPenEvent = 1, kKeyEvent, kActivateEvent, kCloseEvent };

struct Shared {
  std::atomic<int32_t> words[kWordCount] = {};
  int32_t events[kQueueLength][4] = {};
  SharedMotion motion;
  // page time (ms) of the program's last sensor poll: with the motor's
  // start, the poll that saw the jerk, for the page's latency figures
  std::atomic<double> lastPollAt{0.0};
  AudioRing ring{kRingFrames};
  std::vector<uint8_t> frames[2];
};

Shared& TheShared() {
  static Shared* shared = new Shared;  // the page reads it for the life of the page
  return *shared;
}

struct Options {
  bool trace = false;
  bool record = false;
  bool sensor = true;
};

// ---- to the page's thread, never waiting for it ----

void PageTrace(const std::string& line) {
  char* copy = strdup(line.c_str());
  MAIN_THREAD_ASYNC_EM_ASM({ Module.jpPage.trace(UTF8ToString($0)); _free($0); }, copy);
}

void PageOpen(const std::string& address) {
  char* copy = strdup(address.c_str());
  MAIN_THREAD_ASYNC_EM_ASM({ Module.jpPage.openTab(UTF8ToString($0)); _free($0); }, copy);
}

// ---- sound ----

// The mix into the ring, a quantum at a time, kept AudioAhead frames ahead of
// the worklet. Until the page's audio runs (browsers wait for a tap) the mix
// is pulled at the real rate and dropped, so buffers finish as on the phone.
class WebAudioOutput final : public wce::AudioOutput {
 public:
  explicit WebAudioOutput(bool record) : record_(record) {}
  ~WebAudioOutput() override { Stop(); }

  bool Start(wce::AudioMix& mix, uint32_t rate) override {
    Stop();
    stop_ = false;
    rate_ = rate;
    started_ = std::chrono::steady_clock::now();
    thread_ = std::thread([this, &mix] { Run(mix); });
    return true;
  }
  void Stop() override {
    if (!thread_.joinable()) return;
    stop_ = true;
    emscripten_futex_wake(TheShared().ring.ReadIndex(), INT_MAX);
    thread_.join();
  }
  // The output's thread rests in Pull soon after a sound: the worklet then
  // drains the ring, and the next sound is written straight in front of it
  // instead of queueing behind silence mixed ahead.
  uint32_t RestAfterMs() const override { return 10; }

  std::vector<uint8_t> Recording() {
    std::lock_guard<std::mutex> lock(recordLock_);
    return wce::WavOfMix(recorded_.data(), recorded_.size() / 2, rate_);
  }

 private:
  void Run(wce::AudioMix& mix) {
    Shared& s = TheShared();
    float block[2 * kQuantum];  // before the page's audio runs
    auto next = std::chrono::steady_clock::now();
    const auto period = std::chrono::microseconds(1000000LL * kQuantum / rate_);
    bool wakeAsked = false;
    while (!stop_) {
      int32_t state = s.words[kAudioRunning].load();
      if (state != kAudioNotStarted) {
        uint32_t ahead = static_cast<uint32_t>(s.words[kAudioAhead].load());
        ahead = ahead < kQuantum ? kQuantum : ahead > kRingFrames ? kRingFrames : ahead;
        if (state == kAudioSuspended) ahead = kRingFrames;  // nothing lost while the context wakes
        uint32_t read = s.ring.ReadIndex()->load();
        if (s.ring.Filled() + kQuantum > ahead) {
          emscripten_futex_wait(s.ring.ReadIndex(), read, 50);  // the worklet wakes us as it reads
          continue;
        }
        float* block = lead_.data();
        mix.Pull(block, kQuantum);  // rests here while nothing plays
        // A sound after a rest finds the ring dry and goes in at once, not
        // queued behind silence mixed ahead of it: the whole lead in one go,
        // as the worklet takes several quanta back to back.
        uint32_t frames = kQuantum;
        if (s.ring.Filled() == 0) {
          for (; frames + kQuantum <= ahead; frames += kQuantum) mix.Pull(block + 2 * frames, kQuantum);
        }
        // Where the worklet will play it: after all the ring's frames and the
        // silence it played where the ring was dry. The silence is read after
        // the write: until then the worklet may still play a dry quantum, and
        // once the block is in, it cannot until the block is played.
        const uint32_t at = s.ring.WriteIndex()->load();
        s.ring.Write(block, frames);
        KeepAt(block, frames, at + static_cast<uint32_t>(s.words[kSilentFrames].load()));
        next = std::chrono::steady_clock::now();
        if (state == kAudioPlaying) {
          wakeAsked = false;
        } else if (!wakeAsked && std::any_of(block, block + 2 * frames, [](float v) { return v != 0.0f; })) {
          wakeAsked = true;
          MAIN_THREAD_ASYNC_EM_ASM({ Module.jpPage.soundComing(); });
        }
      } else {
        mix.Pull(block, kQuantum);
        Keep(block);
        auto now = std::chrono::steady_clock::now();
        next = now - next > std::chrono::milliseconds(100) ? now : next + period;
        std::this_thread::sleep_until(next);
      }
    }
  }
  // Once the worklet plays, the recording is what it plays: a block goes
  // where the worklet's own count puts it, the silence it played before it
  // put in. Real time would part a sound wherever the worklet's reads come
  // late, though nothing was heard missing.
  void KeepAt(const float* block, uint32_t frames, uint32_t heardAt) {
    if (!record_) return;
    std::lock_guard<std::mutex> lock(recordLock_);
    size_t have = recorded_.size() / 2;
    if (!anchored_) {
      anchored_ = true;
      anchorAt_ = heardAt;
      anchorFrame_ = have;
    }
    size_t due = anchorFrame_ + static_cast<uint32_t>(heardAt - anchorAt_);
    if (due > have) recorded_.resize(2 * due, 0.0f);
    recorded_.insert(recorded_.end(), block, block + 2 * frames);
  }
  // Until then it follows real time: the silence while the output rested
  // in Pull is put in, so a sound sits where it was heard.
  void Keep(const float* block) {
    if (!record_) return;
    auto elapsed = std::chrono::steady_clock::now() - started_;
    size_t due = static_cast<size_t>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() *
                                     int64_t{rate_} / 1000000);
    std::lock_guard<std::mutex> lock(recordLock_);
    size_t have = recorded_.size() / 2;
    if (have + kQuantum < due) recorded_.resize(2 * (due - kQuantum), 0.0f);
    recorded_.insert(recorded_.end(), block, block + 2 * kQuantum);
  }

  const bool record_;
  uint32_t rate_ = kRate;
  std::chrono::steady_clock::time_point started_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex recordLock_;  // held for an append, or while the page takes a copy
  std::vector<float> recorded_;
  std::vector<float> lead_ = std::vector<float>(2 * size_t{kRingFrames});  // the mix on its way into the ring
  bool anchored_ = false;  // the worklet's frame anchorAt_ is recorded_'s frame anchorFrame_
  uint32_t anchorAt_ = 0;
  size_t anchorFrame_ = 0;
};

std::shared_ptr<WebAudioOutput> gAudio;

// The page's readings, each poll stamped in page time. The page stops
// listening a while after the polls stop (motion off); the next poll asks it
// to listen again and waits for a fresh reading, not the one left from then.
class StampedMotionSource final : public PageMotionSource {
 public:
  StampedMotionSource(const SharedMotion& shared, std::shared_ptr<jphost::KeyJerkSource> keys, bool sensor)
      : PageMotionSource(shared, std::move(keys)), sensor_(sensor) {}
  bool Read(int16_t& x, int16_t& y, int16_t& z) override {
    Shared& s = TheShared();
    s.lastPollAt.store(emscripten_get_now());
    int32_t stopped = 0;
    if (sensor_ && HasSensor() && s.words[kMotionListening].compare_exchange_strong(stopped, 2)) {
      int32_t count = s.motion.count.load();
      MAIN_THREAD_ASYNC_EM_ASM({ Module.jpPage.listenForMotion(); });
      for (int i = 0; i < 5 && s.motion.count.load() == count; ++i)
        emscripten_futex_wait(&s.motion.count, static_cast<uint32_t>(count), 20);
    }
    return PageMotionSource::Read(x, y, z);
  }

 private:
  const bool sensor_;
};

// ---- the pump: input in, frames out ----

class Pump {
 public:
  Pump(std::shared_ptr<jphost::KeyJerkSource> keys, std::shared_ptr<PageMotionSource> motion)
      : keys_(std::move(keys)), motion_(std::move(motion)) {}

  void Start() { thread_ = std::thread([this] { Run(); }); }
  void ScreenChanged() {
    screenDirty_ = true;
    Wake();
  }
  void Finish() {
    stop_ = true;
    Wake();
    if (thread_.joinable()) thread_.join();
  }

 private:
  static void Wake() {
    Shared& s = TheShared();
    s.words[kWake].fetch_add(1);
    emscripten_futex_wake(&s.words[kWake], INT_MAX);
  }

  void Run() {
    Shared& s = TheShared();
    while (true) {
      int32_t wake = s.words[kWake].load();
      DrainInput();
      if (screenDirty_.exchange(false)) Present();
      if (stop_) return;
      emscripten_futex_wait(&s.words[kWake], static_cast<uint32_t>(wake), INFINITY);
    }
  }

  void DrainInput() {
    Shared& s = TheShared();
    int32_t written = s.words[kInputWrite].load();
    while (read_ != written) {
      const int32_t* e = s.events[static_cast<uint32_t>(read_) % kQueueLength];
      ++read_;
      switch (e[0]) {
        case kPenEvent:
          wce::InjectPen(e[1] == 0 ? wce::PenAction::Down : e[1] == 1 ? wce::PenAction::Move : wce::PenAction::Up,
                         e[2], e[3]);
          break;
        case kKeyEvent: Key(static_cast<uint32_t>(e[1]), e[2] != 0); break;
        case kActivateEvent: wce::InjectActivate(e[1] != 0); break;
        case kCloseEvent: wce::RequestClose(); break;
        default: break;
      }
    }
  }

  // Without a motion sensor the arrows and space jerk the phone, as in the
  // Linux window; every other key goes to the program.
  void Key(uint32_t vk, bool down) {
    jphost::Jerk jerk;
    bool isJerk = true;
    switch (vk) {
      case 0x25: jerk = jphost::Jerk::Left; break;
      case 0x26: jerk = jphost::Jerk::Up; break;
      case 0x27: jerk = jphost::Jerk::Right; break;
      case 0x28: jerk = jphost::Jerk::Down; break;
      case 0x20: jerk = jphost::Jerk::Space; break;
      default: isJerk = false; break;
    }
    if (isJerk && keys_ && !motion_->HasSensor()) {
      if (down) keys_->Press(jerk);
      return;
    }
    wce::InjectKey(vk, down);
  }

  void Present() {
    Shared& s = TheShared();
    wce::ScreenImage image = wce::CaptureScreen();
    if (image.width != kWidth || image.height != kHeight) return;
    if (image.pixels == last_) return;  // only changed frames reach the page
    last_ = image.pixels;
    int32_t count = s.words[kFrameCount].load();
    int target = (count + 1) & 1;
    // never into the buffer the page is copying from
    while (s.words[kFrameReading].load() == target + 1)
      emscripten_futex_wait(&s.words[kFrameReading], static_cast<uint32_t>(target + 1), 5);
    uint8_t* out = s.frames[target].data();
    for (uint32_t p : image.pixels) {
      *out++ = static_cast<uint8_t>(p >> 16);
      *out++ = static_cast<uint8_t>(p >> 8);
      *out++ = static_cast<uint8_t>(p);
      *out++ = 255;
    }
    s.words[kFrameCount].store(count + 1);
    emscripten_futex_wake(&s.words[kFrameCount], INT_MAX);
  }

  std::shared_ptr<jphost::KeyJerkSource> keys_;
  std::shared_ptr<PageMotionSource> motion_;
  std::thread thread_;
  std::atomic<bool> screenDirty_{false};  // the first frame is the program's own
  std::atomic<bool> stop_{false};
  int32_t read_ = 0;
  std::vector<uint32_t> last_;
};

Options ParseArgs(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--trace") o.trace = true;
    else if (a == "--record") o.record = true;
    else if (a == "--sensor=none") o.sensor = false;
  }
  return o;
}

}  // namespace
}  // namespace jpweb

using namespace jpweb;

// ---- what the page calls (on its own thread; none of these takes a device lock) ----
extern "C" {

EMSCRIPTEN_KEEPALIVE std::atomic<int32_t>* jp_words() { return TheShared().words; }
EMSCRIPTEN_KEEPALIVE int32_t* jp_events() { return &TheShared().events[0][0]; }
EMSCRIPTEN_KEEPALIVE int32_t jp_queue_length() { return kQueueLength; }
EMSCRIPTEN_KEEPALIVE SharedMotion* jp_motion() { return &TheShared().motion; }
EMSCRIPTEN_KEEPALIVE uint8_t* jp_frame(int index) { return TheShared().frames[index & 1].data(); }
EMSCRIPTEN_KEEPALIVE std::atomic<double>* jp_last_poll_at() { return &TheShared().lastPollAt; }
EMSCRIPTEN_KEEPALIVE std::atomic<uint32_t>* jp_ring_read() { return TheShared().ring.ReadIndex(); }
EMSCRIPTEN_KEEPALIVE std::atomic<uint32_t>* jp_ring_write() { return TheShared().ring.WriteIndex(); }
EMSCRIPTEN_KEEPALIVE float* jp_ring_samples() { return TheShared().ring.Samples(); }
EMSCRIPTEN_KEEPALIVE uint32_t jp_ring_frames() { return TheShared().ring.Capacity(); }

// The recording as a WAV file in memory the page frees; its size in *size.
EMSCRIPTEN_KEEPALIVE uint8_t* jp_recording(uint32_t* size) {
  std::vector<uint8_t> wav = gAudio ? gAudio->Recording() : wce::WavOfMix(nullptr, 0, kRate);
  auto* out = static_cast<uint8_t*>(std::malloc(wav.size()));
  if (out == nullptr) return nullptr;
  std::memcpy(out, wav.data(), wav.size());
  *size = static_cast<uint32_t>(wav.size());
  return out;
}

// A DeviceMotion reading (accelerationIncludingGravity, m/s^2).
EMSCRIPTEN_KEEPALIVE void jp_motion_reading(double x, double y, double z) {
  DeviceReading r = MotionToDevice(x, y, z);
  SharedMotion& m = TheShared().motion;
  m.x.store(r.x);
  m.y.store(r.y);
  m.z.store(r.z);
  m.count.fetch_add(1);
  emscripten_futex_wake(&m.count, INT_MAX);  // a poll waiting for a fresh reading
}

}  // extern "C"

namespace jpweb {
namespace {

// One run of the program on a fresh device; returns WinMain's result.
int RunProgram(const Options& options, std::shared_ptr<jphost::KeyJerkSource> keys,
               std::shared_ptr<PageMotionSource> motion) {
  wce::DeviceConfig config;
  config.clock = wce::ClockMode::Real;
  config.deviceDir = std::string(kStore) + "/device";
  config.modulePath = std::string(kAppDir) + "/Jostlepad.exe";
  config.folderUnions = {{std::string(kAppDir) + "/Sounds", std::string(kStore) + "/Sounds"}};
  config.sensor = motion;
  config.defaultBrowser = kBrowserTab;
  config.programStarter = [](const std::string& path, const std::vector<std::string>& args) {
    if (path != kBrowserTab || args.empty()) return false;
    PageOpen(WithScheme(args[0]));
    return true;
  };
  if (!wce::DeviceStart(config)) {
    std::fprintf(stderr, "jostlepad: the device could not start\n");
    wce::DeviceStop();
    return 1;
  }
  wce::SetModuleResources(kProgramResources, kProgramResourceCount);
  wce::AudioConfig audio;
  audio.kind = wce::AudioSinkKind::Output;
  audio.rate = kRate;
  audio.output = gAudio;
  if (!wce::AudioStart(audio)) std::fprintf(stderr, "jostlepad: no sound\n");
  if (options.trace) wce::SetTraceSink(PageTrace);

  Pump pump(keys, motion);
  wce::SetScreenChangedCallback([&pump] { pump.ScreenChanged(); });
  wce::SetIdleResetCallback([] { MAIN_THREAD_ASYNC_EM_ASM({ Module.jpPage.idleReset(); }); });
  // the motor starts on the program's thread right after the poll that saw
  // the jerk; both are stamped here, not when the page gets the word
  wce::SetVibrationCallback([](bool on) {
    MAIN_THREAD_ASYNC_EM_ASM({ Module.jpPage.vibrate($0, $1, $2); }, on ? 1 : 0, TheShared().lastPollAt.load(),
                             emscripten_get_now());
  });
  pump.Start();

  wce::RegisterProgramThread(reinterpret_cast<const void*>(&WinMain));
  wchar_t commandLine[] = L"";
  int code = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
  wce::Trace("exit " + std::to_string(code));
  wce::UnregisterProgramThread();

  wce::SetScreenChangedCallback(nullptr);
  wce::SetIdleResetCallback(nullptr);
  wce::SetVibrationCallback(nullptr);
  pump.Finish();
  wce::SetTraceSink(nullptr);
  wce::DeviceStop();
  return code;
}

}  // namespace
}  // namespace jpweb

// The program runs once, until it ends (its close button, or the page
// closing it when hidden, which saves its settings): its globals are set up
// for one run a process, so the page starts it again by loading itself anew.
int main(int argc, char** argv) {
  Options options = ParseArgs(argc, argv);
  Shared& shared = TheShared();
  for (auto& frame : shared.frames) frame.assign(size_t{kWidth} * kHeight * 4, 0);
  // A browser that renders 10 ms a turn (Chromium did with an 'interactive'
  // latency hint) gets two of its turns of slack for this thread on a busy
  // machine. A sound after a silence does not wait for the lead (it finds
  // the ring dry), so this costs no latency there.
  shared.words[kAudioAhead].store(8 * kQuantum);

  wce::SetScreenSize(kWidth, kHeight);
  wce::SetScreenDpi(kDpi, kDpi);
  auto keys = std::make_shared<jphost::KeyJerkSource>();
  static SharedMotion ignored;  // ?sensor=none: nothing ever arrives here
  auto motion = std::make_shared<StampedMotionSource>(options.sensor ? shared.motion : ignored, keys, options.sensor);
  gAudio = std::make_shared<WebAudioOutput>(options.record);
  int code = RunProgram(options, keys, motion);
  shared.words[kEnded].store(1);
  MAIN_THREAD_ASYNC_EM_ASM({ Module.jpPage.ended($0); }, code);
  return code;
}
