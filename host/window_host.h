// Window mode: the emulated screen in an SDL2 window. The mouse, or one
// finger on a touch screen, is the stylus, focus is activation, the close button is the system's close
// request, minimising goes both ways, and arrows and space jerk the phone;
// game controllers and a phone's own motor buzz while the vibration motor runs, and one with an
// accelerometer can stand for the phone's. The loop sleeps in SDL_WaitEvent;
// the device wakes it with user events.
//
// The screen is copied into the window's own surface (X11 shared memory),
// only the part that changed: a 480 x 640 picture gains nothing from a GPU,
// and a GL context would cost tens of megabytes. Where SDL has no window
// surface (Wayland without XWayland, KMS/DRM) an SDL renderer shows it.
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "controller_rumble.h"
#include "controller_sensor.h"
#include "idle_inhibit.h"
#include "key_jerk_source.h"
#include "touch_pen.h"
#include "vibrator.h"

namespace jphost {

// Where the screen shows in the window: each screen pixel is `scale` window
// pixels, the picture's top left corner at (x, y).
struct View {
  double scale = 1;
  int x = 0, y = 0, width = 0, height = 0;
};

class WindowHost {
 public:
  WindowHost() = default;
  WindowHost(const WindowHost&) = delete;
  WindowHost& operator=(const WindowHost&) = delete;
  ~WindowHost();  // closes the window and SDL

  // SDL video and a window of the screen's size times `scale` (0: fit the
  // desktop). False with SDL's reason when there is no display to open it on.
  bool Open(int screenWidth, int screenHeight, double scale, std::string& error);
  // Hooks the device's screen, idle-timer, motor and trace news to the loop; `keys`
  // (may be null) takes the arrows and space.
  void Connect(std::shared_ptr<KeyJerkSource> keys);
  void Disconnect();
  // After Open: a connected game controller has an accelerometer.
  bool HasControllerAccelerometer();
  // Before Run: the loop turns on the accelerometer of the controllers it
  // opens and feeds their readings to `sensor` (null: none).
  void ConnectSensor(std::shared_ptr<ControllerSensorSource> sensor);
  // Before Run: the phone's own motor buzzes beside the controllers.
  void AttachVibrator(std::unique_ptr<Vibrator> vibrator);
  // From any thread: a trace line, to follow the program's window state.
  void OnTrace(const std::string& line);
  // From any thread: the program has ended; the loop returns.
  void Wake();
  // Runs until `ended()` is true.
  void Run(const std::function<bool()>& ended);

 private:
  enum WakeCode { kScreenChanged = 1, kCheckWindow, kIdleReset, kRumble, kWake };
  void Push(WakeCode code);
  void Handle(const SDL_Event& event);
  void HandleWindowEvent(const SDL_WindowEvent& event);
  void HandleKey(const SDL_KeyboardEvent& event);
  void HandleFinger(const SDL_TouchFingerEvent& event);
  void Pen(wce::PenAction action, int windowX, int windowY);
  View ViewIn(int width, int height) const;
  void FitDisplay();
  void Present();
  void Redraw();
  void Show(const SDL_Rect& changed);
  bool PresentWithRenderer(bool resized);
  void ChooseSensorController();
  void MirrorMinimized();
  void KeepAwake();
  void OpenController(int deviceIndex);
  void CloseController(SDL_JoystickID id);
  void Rumble(int id, uint32_t ms);
  void ApplyRumble();
  uint64_t NextDeadline() const;
  int WaitEvent(SDL_Event& event);
  void RunWaker();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;  // only where the window has no surface
  SDL_Texture* texture_ = nullptr;
  std::vector<uint32_t> frame_;       // the screen as last shown
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  double scale_ = 1;
  bool zoomGiven_ = false;
  int displayWidth_ = 0;
  int displayHeight_ = 0;
  bool filling_ = false;  // full screen, the picture fitted in it
  std::atomic<bool> programFullScreen_{false};
  bool sdlStarted_ = false;
  uint32_t wakeEvent_ = 0;
  std::atomic<bool> screenPending_{false};
  std::atomic<bool> checkPending_{false};
  std::atomic<bool> idlePending_{false};
  // Wake-ups from other threads reach SDL through a thread of the window's
  // own that holds nothing of the program's: SDL sends them on an X
  // connection of its own, whose loss that thread handles (x_connection.cpp).
  std::thread waker_;
  std::mutex wakerLock_;
  std::condition_variable wakerNeeded_;
  uint32_t wakerCodes_ = 0;  // 1 << WakeCode of each wake-up to push
  bool wakerStop_ = false;
  std::shared_ptr<KeyJerkSource> keys_;
  bool penDown_ = false;  // by the mouse
  TouchPen touch_;
  bool minimized_ = false;        // as the SDL window is, to our knowledge
  IdleInhibit awake_;             // the screen saver held off while the program resets the idle timer
  bool controllersStarted_ = false;
  std::map<SDL_JoystickID, SDL_GameController*> controllers_;
  ControllerRumble rumble_{[this](int id, uint32_t ms) { Rumble(id, ms); }};
  std::unique_ptr<Vibrator> vibrator_;
  std::shared_ptr<ControllerSensorSource> sensor_;
  SDL_JoystickID sensorController_ = -1;  // whose accelerometer feeds sensor_; -1: none
  uint64_t rumbleRenewTicks_ = 0;  // when the running rumble needs renewing; 0: none
};

// The smallest rectangle holding every pixel that differs between two
// pictures of `width` x `height`; false when none does.
bool ChangedRect(const uint32_t* before, const uint32_t* after, int width, int height, SDL_Rect& changed);
// Window pixel to screen pixel under a zoom, kept on the screen.
int WindowToScreen(int windowCoordinate, double scale, int screenLength);
// The screen as large as the window allows, its aspect kept, centred.
View FitView(int screenWidth, int screenHeight, int windowWidth, int windowHeight);
// Whether the window fills the display: the screen does not fit on it at
// zoom 1, or the program asks for full screen on a display taller than wide
// (a phone). Never when the zoom was given.
bool FillsDisplay(int screenWidth, int screenHeight, int displayWidth, int displayHeight, bool programFullScreen,
                  bool zoomGiven);
// The virtual-key code of an SDL key (letters, digits, arrows, space, enter,
// escape, backspace); 0 for keys the device has no use for.
uint32_t VirtualKeyForSdl(SDL_Keycode key);
// The jerk of an SDL key, or false when it is none (arrows and space are).
bool JerkForSdl(SDL_Keycode key, Jerk& jerk);

}  // namespace jphost
