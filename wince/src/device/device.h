// The device interface: everything the host (host/, tests) uses to set up and
// drive the stand-in platform. The program never includes this header.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace wce {

// ---------------------------------------------------------------- clock ----
// Device time in milliseconds since the device started.
//
// Virtual mode: time moves only when every registered program thread waits
// (in GetMessageW, Sleep, WaitForSingleObject, a cross-thread SendMessageW ...),
// and then straight to the next moment something is due. Without a driver it
// runs free; a driver (script runner, test) bounds it with ClockAdvanceTo.
// Real mode: device time is real elapsed time.
enum class ClockMode { Virtual, Real };

void ClockReset(ClockMode mode);   // device time 0; no driver limit
ClockMode ClockGetMode();
uint64_t ClockNowMs();             // GetTickCount is the low 32 bits of this

// Program threads are the ones whose waits let virtual time move. CreateThread
// registers the new thread (and its creator); host main and tests register the
// thread that runs the program (its entry point names it for the watchdog).
void RegisterProgramThread(const void* startRoutine = nullptr);
void UnregisterProgramThread();

// Driving from outside the program (the script runner or a test thread that is
// not itself a program thread). The first call puts the clock under the driver:
// from then on it never moves past the last target given.
// Blocks until device time is `targetMs` and every program thread waits with
// nothing due at that moment (or no program thread is left). Real mode: sleeps
// until the real time is reached.
void ClockAdvanceTo(uint64_t targetMs);
// Same as ClockAdvanceTo(ClockNowMs()): lets the program finish what is due now.
void ClockSettle();
// The driver lets go: time runs free again (the script has ended and the
// device waits for the program to finish closing).
void ClockRelease();

// Called (under the clock's lock, on the thread that moves the clock) each time
// virtual time moves from `fromMs` to `toMs`, before any waiter wakes. Audio
// recording hangs on this. Keep the work short and do not call into the clock.
using ClockListener = std::function<void(uint64_t fromMs, uint64_t toMs)>;
int ClockAddListener(ClockListener listener);
void ClockRemoveListener(int id);

// Virtual clock only: a program thread that never waits (a busy loop) holds
// device time still for good. The watchdog calls `handler`, on a thread of
// its own, once for each stretch in which a program thread has not waited
// for the stall limit of real time while others wait for time to move; its
// argument names the thread ("thread 258 (LoaderThread)"). nullptr: no watchdog.
using StallHandler = std::function<void(const std::string& what)>;
void SetStallHandler(StallHandler handler);
void SetStallLimit(std::chrono::milliseconds limit);  // 10 s until set
std::chrono::milliseconds GetStallLimit();

// ---------------------------------------------------------------- screen ---
// Size of the emulated screen in pixels; windows made with CW_USEDEFAULT take
// it. 480 x 640 until set.
struct ScreenSize {
  int width = 480;
  int height = 640;
};
void SetScreenSize(int width, int height);  // ignored unless both are positive
ScreenSize GetScreenSize();
// Dots per inch of the emulated screen (GetDeviceCaps LOGPIXELSX/Y); 192 until set.
void SetScreenDpi(int dpiX, int dpiY);
int GetScreenDpiX();
int GetScreenDpiY();

// The screen as last presented: what a person would see, task bar included
// when it shows. Pixels 0x00RRGGBB, rows top-down.
struct ScreenImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};
ScreenImage CaptureScreen();
// Called, on whichever thread drew, after presented pixels changed (a window
// DC released, EndPaint, the task bar redrawn). The host wakes its display
// loop from it; keep it short and do not call into the device from it.
void SetScreenChangedCallback(std::function<void()> callback);

// ---------------------------------------------------------------- input ----
// What the host feeds in, as the platform would deliver it.
enum class PenAction { Down, Move, Up };
// Screen coordinates; queued as input (WM_LBUTTONDOWN/WM_MOUSEMOVE/WM_LBUTTONUP,
// client coordinates in lParam) for the foreground window's thread.
void InjectPen(PenAction action, int x, int y);
// WM_KEYDOWN/WM_KEYUP with a virtual-key code, to the foreground window.
void InjectKey(uint32_t virtualKey, bool down);
// Focus: WM_ACTIVATE (WA_ACTIVE / WA_INACTIVE) sent to the foreground window.
void InjectActivate(bool active);
// The system asks the program to close: WM_CLOSE posted to every visible
// top-level window.
void RequestClose();
// The desktop's window manager minimised or restored the program's window.
void InjectMinimize(bool minimized);
// True while the foreground top-level window is minimised (the host mirrors it).
bool ForegroundMinimized();

// ---------------------------------------------------------------- power ----
// Called each time the program resets the idle timer (SystemIdleTimerReset);
// in window mode the host holds off the desktop's screen saver from it.
void SetIdleResetCallback(std::function<void()> callback);
// Called when the vibration motor starts or stops (NLedSetDevice on LED 1).
void SetVibrationCallback(std::function<void(bool on)> callback);

// ---------------------------------------------------------------- trace ----
// Device-side events, one line each: "<device ms> <event> [arguments]".
void SetTraceSink(std::function<void(const std::string& line)> sink);  // nullptr: none
void Trace(const std::string& event);
// Off by default. When on, the tap-to-sound path traces where it is, as
// "latency <step> <steady-clock microseconds>": pen-down (the host has the
// press), wave-write (a buffer queued), first-mix (the output pulled a newly
// written buffer). tools/latency.sh times the program's share from them.
void SetLatencyStamps(bool on);
void LatencyStamp(const char* step);

// ---------------------------------------------------------------- files ----
// Where the executable appears to live: GetModuleFileNameW returns this as a
// device path (backslashes). `posixPath` is the file's POSIX path.
void SetModulePath(const std::string& posixPath);
// Device path (backslashes, wide) <-> POSIX path (UTF-8). DevicePathToPosix
// also leads a path below a joined folder into the folder whose entry won
// (see FolderUnion); PosixPathToDevice is the plain mapping.
std::string DevicePathToPosix(const wchar_t* devicePath);
std::wstring PosixPathToDevice(const std::string& posixPath);

// One folder of the device showing the entries of a second host folder too:
// how the user's own sound packs join the installed ones without touching
// them. Listing `folder` (FindFirstFileW) gives its own entries and those of
// `joined`; on a name clash (compared case-insensitively, as the device does)
// the entry of `joined` wins, whole: a winning sub-folder replaces the other
// one, their files are not merged. Every path below an entry (a file opened,
// a picture loaded, a search) leads into the folder whose entry won, so it
// works for reading and for writing in place. A missing `joined` folder
// leaves `folder` as it is; a missing `folder` shows only `joined`.
struct FolderUnion {
  std::string folder;  // POSIX path as the program sees it (<app>/Sounds)
  std::string joined;  // POSIX path of the folder joined to it
};
// Replaces the device's joined folders (DeviceStart sets them from its config).
void SetFolderUnions(std::vector<FolderUnion> unions);

// ---------------------------------------------------------------- program --
// Resources built into the executable (icon, bitmaps), as the loader of the
// platform finds them by number. The build turns resources/*.bmp and *.ico
// into a table of these; the host hands it to the device at start-up.
enum class ResourceKind { Bitmap, Icon };

struct EmbeddedResource {
  ResourceKind kind;
  uint16_t id;
  const unsigned char* bytes;  // the file as stored: a .bmp or an .ico
  size_t size;
};

// The executable's resources; LoadBitmapW/LoadIconW of the program's instance
// (or NULL) look them up by number. The table must outlive the device.
void SetModuleResources(const EmbeddedResource* table, size_t count);

// ---------------------------------------------------------------- sensor ---
// Source of accelerometer readings behind HTCSensorSDK.dll. No source: the
// library is absent and LoadLibraryW(L"HTCSensorSDK.dll") fails.
class SensorSource {
 public:
  virtual ~SensorSource() = default;
  // Fills the reading at the current device time; false when none is available.
  virtual bool Read(int16_t& x, int16_t& y, int16_t& z) = 0;
};
void SetSensorSource(std::shared_ptr<SensorSource> source);  // nullptr: none
std::shared_ptr<SensorSource> GetSensorSource();

// One reading that holds until the next Set (tests, the script's "accel" line).
class FixedSensorSource : public SensorSource {
 public:
  FixedSensorSource() = default;
  FixedSensorSource(int16_t x, int16_t y, int16_t z) : x_(x), y_(y), z_(z) {}

  void Set(int16_t x, int16_t y, int16_t z);
  bool Read(int16_t& x, int16_t& y, int16_t& z) override;

 private:
  std::mutex mutex_;
  int16_t x_ = 0;
  int16_t y_ = 0;
  int16_t z_ = 0;
};

// A recording played back on the device clock. Text, one reading a line:
//   <device ms> <x> <y> <z>
// integers, times never decreasing, '#' to the end of a line is a comment.
// Read gives the last line whose time has come (zeros before the first).
class ReplaySensorSource : public SensorSource {
 public:
  // False with a message naming the line when the file cannot be used; the
  // readings held before stay as they were.
  bool Load(const std::string& posixPath, std::string& error);
  bool Parse(std::string_view text, std::string& error);

  bool Read(int16_t& x, int16_t& y, int16_t& z) override;

  struct Reading {
    uint64_t ms;
    int16_t x, y, z;
  };

 private:
  std::mutex mutex_;
  std::vector<Reading> readings_;
};

// A line of a text file the device reads (replay recordings, the bench's
// scripts) split into its blank-separated fields.
std::vector<std::string_view> SplitFields(std::string_view line);

// ---------------------------------------------------------------- registry -
// The device's hive file. A missing file starts a new device (seeded with its
// defaults, written on the first change). A damaged file is reported on
// stderr, kept aside, and replaced by defaults. Empty path: in memory only.
// `defaultBrowser` (a POSIX path) is the program a new device's hive names as
// its default browser.
constexpr const char* kSystemOpener = "/usr/bin/xdg-open";
bool RegistryOpenHive(const std::string& posixPath, const std::string& defaultBrowser = kSystemOpener);
void RegistryCloseHive();

// ---------------------------------------------------------------- audio ----
// The mix as a live output pulls it: float stereo frames (left, right) at the
// rate the output was started with.
class AudioMix {
 public:
  // Renders the next `frames` frames into `out` (2 x frames floats), on the
  // output's own thread. Once nothing has been queued for the output's
  // RestAfterMs, it first waits until a buffer is written or the output
  // stops: an idle device costs the output's thread no wake-ups, and the
  // first buffer is mixed the moment it is written.
  virtual void Pull(float* out, size_t frames) = 0;

 protected:
  ~AudioMix() = default;
};

// A live sound output a device folder brings (a sound card, a browser's audio):
// it pulls the mix in real time from a thread of its own.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Starts pulling from `mix` at `rate` frames a second. False, with a message
  // on stderr, when there is no way to sound.
  virtual bool Start(AudioMix& mix, uint32_t rate) = 0;
  // Stops pulling: once it returns, no Pull runs or starts. A Pull waiting for
  // a buffer has been let go before this is called.
  virtual void Stop() = 0;
  // The silence after the last buffer before Pull may wait for the next one;
  // 0: Pull never waits (an output whose thread must not block).
  virtual uint32_t RestAfterMs() const { return 0; }
};

enum class AudioSinkKind { None, Recording, Output };
struct AudioConfig {
  AudioSinkKind kind = AudioSinkKind::None;
  std::string recordingPath;  // Recording: WAV file written as the clock moves
  uint32_t rate = 48000;      // output rate
  // Output: the device folder's own, started by AudioStart, stopped by AudioStop
  std::shared_ptr<AudioOutput> output;
};
bool AudioStart(const AudioConfig& config);  // false: sink could not start
// A WAV file of mixed stereo float frames, scaled and clipped as the bench's
// recording is (for a device that hands its recording over in memory).
std::vector<uint8_t> WavOfMix(const float* stereo, size_t frames, uint32_t rate);
void AudioStop();                            // closes every voice, finishes the file

// ---------------------------------------------------------------- counts ---
// What the device holds for the program right now: GDI objects (stock ones
// left out), DCs, windows, timers, open wave-out handles and running threads.
// The bench traces them when a script ends, so a run that leaks shows it.
struct ResourceCounts {
  size_t gdi = 0;  // the four kinds below together
  size_t bitmaps = 0;
  size_t brushes = 0;
  size_t pens = 0;
  size_t fonts = 0;
  size_t dcs = 0;
  size_t windows = 0;
  size_t timers = 0;
  size_t waveOuts = 0;
  size_t threads = 0;  // made by CreateThread and still running

  bool operator==(const ResourceCounts&) const = default;
};

// Each area is counted under its own lock, one after the other: call it while
// the program is idle (after ClockSettle) for numbers that belong together.
ResourceCounts CountResources();

// "gdi=N dc=N windows=N timers=N wave=N threads=N bitmaps=N brushes=N pens=N fonts=N"
std::string FormatResourceCounts(const ResourceCounts& counts);

// ---------------------------------------------------------------- device ---
struct DeviceConfig {
  ClockMode clock = ClockMode::Virtual;
  std::string deviceDir;     // holds "registry.reg"; empty: hive in memory
  std::string modulePath;    // POSIX path of the executable as the program sees it
  std::vector<FolderUnion> folderUnions;  // folders joined to the program's (none: plain)
  AudioConfig audio;
  std::shared_ptr<SensorSource> sensor;
  std::string defaultBrowser = kSystemOpener;  // what a new hive names (POSIX path)
  // Asked before CreateProcessW starts a program, with its POSIX path; false
  // refuses the start (CreateProcessW fails). Tests keep real programs from
  // starting with it. Empty: every start goes ahead.
  std::function<bool(const std::string& posixPath)> programStartCheck;
  // A device with no processes of its own (the browser) takes every start
  // the check lets through: the program's POSIX path and its arguments; true
  // counts as started. Empty: CreateProcessW starts a real process.
  std::function<bool(const std::string& posixPath, const std::vector<std::string>& args)> programStarter;
};
// Starts a fresh device: clock, files, registry, audio and sensor as given.
bool DeviceStart(const DeviceConfig& config);
// Ends it: audio stopped, hive saved, windows and timers dropped.
void DeviceStop();

// ---------------------------------------------------------------- drawing --
// DrawTextW calls that went on to draw (a valid DC and text, not DT_CALCRECT)
// since the process began, whether or not a pixel changed: the difference
// over a paint counts the texts it drew, even where none of them shows.
uint64_t TextDrawCount();

}  // namespace wce
