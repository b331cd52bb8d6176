#include "window_host.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "device/device.h"
#include "options.h"

namespace jphost {
namespace {

// How long one idle-timer reset keeps the desktop's screen saver away. The
// program resets well within its shortest power timeout; this is longer than
// any sensible one.
constexpr uint64_t kKeepAwakeMs = 10 * 60 * 1000;

// A phone's motor is a heavy, low buzz: the big motor at full strength, the
// small one a little.
constexpr uint16_t kLowRumble = 0xFFFF;
constexpr uint16_t kHighRumble = 0x4000;

// SDL falls back to drivers that show nothing; they are only for whoever
// asks for them by name (SDL_VIDEODRIVER).
bool OnARealDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  std::string name = driver;
  if (name != "offscreen" && name != "dummy") return true;
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  return asked != nullptr && name == asked;
}

int Scaled(int length, double scale) { return std::max(1, static_cast<int>(std::lround(length * scale))); }

}  // namespace

int WindowToScreen(int windowCoordinate, double scale, int screenLength) {
  int screen = static_cast<int>(std::floor(windowCoordinate / scale));
  return std::clamp(screen, 0, std::max(0, screenLength - 1));
}

uint32_t VirtualKeyForSdl(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<uint32_t>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<uint32_t>('0' + (key - SDLK_0));
  switch (key) {
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    default: return 0;
  }
}

bool JerkForSdl(SDL_Keycode key, Jerk& jerk) {
  switch (key) {
    case SDLK_LEFT: jerk = Jerk::Left; return true;
    case SDLK_RIGHT: jerk = Jerk::Right; return true;
    case SDLK_UP: jerk = Jerk::Up; return true;
    case SDLK_DOWN: jerk = Jerk::Down; return true;
    case SDLK_SPACE: jerk = Jerk::Space; return true;
    default: return false;
  }
}

WindowHost::~WindowHost() {
  Disconnect();
  for (auto& [id, controller] : controllers_) {
    SDL_GameControllerRumble(controller, 0, 0, 0);
    SDL_GameControllerClose(controller);
  }
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (sdlStarted_) SDL_Quit();
}

bool WindowHost::Open(int screenWidth, int screenHeight, double scale, std::string& error) {
  // The close button is the program's business: no SDL_QUIT behind its back.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    return false;
  }
  sdlStarted_ = true;
  if (!OnARealDisplay()) {
    error = "no X11 or Wayland display found";
    return false;
  }
  if (scale <= 0) {
    SDL_Rect usable;
    scale = SDL_GetDisplayUsableBounds(0, &usable) == 0 ? FitScale(screenWidth, screenHeight, usable.w, usable.h) : 1;
  }
  scale_ = scale;
  textureWidth_ = screenWidth;
  textureHeight_ = screenHeight;
  window_ = SDL_CreateWindow("Jostlepad", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, Scaled(screenWidth, scale),
                             Scaled(screenHeight, scale), SDL_WINDOW_SHOWN);
  if (window_ != nullptr) renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (window_ != nullptr && renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  // SDL keeps the screen saver away while a window is open; here only the
  // program's idle-timer resets do.
  SDL_EnableScreenSaver();
  wakeEvent_ = SDL_RegisterEvents(1);
  // Controllers are a bonus: without them the motor is simply not felt.
  // Those already plugged in are opened now, so that the choice of sensor can
  // look at them; their arrival events come later and change nothing.
  controllersStarted_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  if (controllersStarted_)
    for (int i = 0; i < SDL_NumJoysticks(); ++i) OpenController(i);
  Redraw();
  return true;
}

void WindowHost::Connect(std::shared_ptr<KeyJerkSource> keys) {
  keys_ = std::move(keys);
  wce::SetScreenChangedCallback([this] {
    if (!screenPending_.exchange(true)) Push(kScreenChanged);
  });
  wce::SetIdleResetCallback([this] {
    if (!idlePending_.exchange(true)) Push(kIdleReset);
  });
  // The device's thread only notes the motor; the loop talks to SDL.
  wce::SetVibrationCallback([this](bool on) {
    if (rumble_.MotorChanged(on)) Push(kRumble);
  });
  screenPending_ = true;
  Push(kScreenChanged);  // whatever is on the screen already
}

void WindowHost::Disconnect() {
  if (wakeEvent_ == 0) return;
  wce::SetScreenChangedCallback(nullptr);
  wce::SetIdleResetCallback(nullptr);
  wce::SetVibrationCallback(nullptr);
}

bool WindowHost::HasControllerAccelerometer() {
  for (auto& [id, controller] : controllers_)
    if (SDL_GameControllerHasSensor(controller, SDL_SENSOR_ACCEL)) return true;
  return false;
}

void WindowHost::ConnectSensor(std::shared_ptr<ControllerSensorSource> sensor) { sensor_ = std::move(sensor); }

void WindowHost::OnTrace(const std::string& line) {
  // "<ms> window shown|minimized|restored": the program moved its window.
  if (wakeEvent_ != 0 && line.find(" window ") != std::string::npos && !checkPending_.exchange(true))
    Push(kCheckWindow);
}

void WindowHost::Wake() {
  if (wakeEvent_ != 0) Push(kWake);
}

void WindowHost::Push(WakeCode code) {
  SDL_Event event = {};
  event.type = wakeEvent_;
  event.user.code = code;
  SDL_PushEvent(&event);
}

void WindowHost::Run(const std::function<bool()>& ended) {
  while (!ended()) {
    SDL_Event event;
    if (WaitEvent(event))
      Handle(event);
    else if (NextDeadline() == 0)
      SDL_Delay(10);  // an SDL error: do not spin on it
  }
}

// The earlier of the screen saver's release and the rumble's renewal; 0: none.
uint64_t WindowHost::NextDeadline() const {
  if (awakeUntilTicks_ == 0) return rumbleRenewTicks_;
  if (rumbleRenewTicks_ == 0) return awakeUntilTicks_;
  return std::min(awakeUntilTicks_, rumbleRenewTicks_);
}

int WindowHost::WaitEvent(SDL_Event& event) {
  uint64_t now = SDL_GetTicks64();
  if (awakeUntilTicks_ != 0 && now >= awakeUntilTicks_) {
    SDL_EnableScreenSaver();
    awakeUntilTicks_ = 0;
  }
  if (rumbleRenewTicks_ != 0 && now >= rumbleRenewTicks_) ApplyRumble();
  uint64_t deadline = NextDeadline();
  if (deadline == 0) return SDL_WaitEvent(&event);
  return SDL_WaitEventTimeout(&event, static_cast<int>(std::clamp<uint64_t>(deadline - now, 1, INT_MAX)));
}

void WindowHost::Handle(const SDL_Event& event) {
  if (event.type == wakeEvent_) {
    switch (event.user.code) {
      case kScreenChanged:
        screenPending_ = false;
        Present();
        MirrorMinimized();
        break;
      case kCheckWindow:
        checkPending_ = false;
        MirrorMinimized();
        break;
      case kIdleReset:
        idlePending_ = false;
        KeepAwake();
        break;
      case kRumble: ApplyRumble(); break;
      default: break;
    }
    return;
  }
  switch (event.type) {
    case SDL_QUIT: wce::RequestClose(); break;
    case SDL_WINDOWEVENT: HandleWindowEvent(event.window); break;
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button != SDL_BUTTON_LEFT) break;
      penDown_ = true;
      Pen(wce::PenAction::Down, event.button.x, event.button.y);
      break;
    case SDL_MOUSEMOTION:
      if (penDown_) Pen(wce::PenAction::Move, event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT || !penDown_) break;
      penDown_ = false;
      Pen(wce::PenAction::Up, event.button.x, event.button.y);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: HandleKey(event.key); break;
    case SDL_CONTROLLERDEVICEADDED: OpenController(event.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED: CloseController(event.cdevice.which); break;
    default: break;
  }
}

void WindowHost::HandleWindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE: wce::RequestClose(); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: wce::InjectActivate(true); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: wce::InjectActivate(false); break;
    case SDL_WINDOWEVENT_MINIMIZED:
      if (minimized_) break;  // we did it, after the program did
      minimized_ = true;
      if (!wce::ForegroundMinimized()) wce::InjectMinimize(true);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      if (!minimized_) break;
      minimized_ = false;
      if (wce::ForegroundMinimized()) wce::InjectMinimize(false);
      break;
    case SDL_WINDOWEVENT_EXPOSED: Redraw(); break;
    default: break;
  }
}

void WindowHost::HandleKey(const SDL_KeyboardEvent& event) {
  Jerk jerk;
  if (keys_ && JerkForSdl(event.keysym.sym, jerk)) {
    if (event.type == SDL_KEYDOWN && event.repeat == 0) keys_->Press(jerk);
    return;
  }
  uint32_t vk = VirtualKeyForSdl(event.keysym.sym);
  if (vk != 0) wce::InjectKey(vk, event.type == SDL_KEYDOWN);
}

void WindowHost::Pen(wce::PenAction action, int windowX, int windowY) {
  wce::InjectPen(action, WindowToScreen(windowX, scale_, textureWidth_),
                 WindowToScreen(windowY, scale_, textureHeight_));
}

void WindowHost::Present() {
  wce::ScreenImage image = wce::CaptureScreen();
  if (image.width <= 0 || image.height <= 0) return;
  if (texture_ == nullptr || image.width != textureWidth_ || image.height != textureHeight_) {
    // A turned display swaps the sides; the window follows.
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, scale_ < 1 ? "linear" : "nearest");
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, image.width,
                                 image.height);
    if (image.width != textureWidth_ || image.height != textureHeight_)
      SDL_SetWindowSize(window_, Scaled(image.width, scale_), Scaled(image.height, scale_));
    textureWidth_ = image.width;
    textureHeight_ = image.height;
    if (texture_ == nullptr) return;
  }
  SDL_UpdateTexture(texture_, nullptr, image.pixels.data(), image.width * static_cast<int>(sizeof(uint32_t)));
  Redraw();
}

void WindowHost::Redraw() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (texture_ != nullptr) SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

void WindowHost::MirrorMinimized() {
  bool device = wce::ForegroundMinimized();
  if (device == minimized_) return;
  minimized_ = device;
  if (device)
    SDL_MinimizeWindow(window_);
  else
    SDL_RestoreWindow(window_);
}

void WindowHost::KeepAwake() {
  SDL_DisableScreenSaver();
  awakeUntilTicks_ = SDL_GetTicks64() + kKeepAwakeMs;
}

void WindowHost::OpenController(int deviceIndex) {
  if (!controllersStarted_ || !SDL_IsGameController(deviceIndex)) return;
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) return;
  SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  if (id < 0 || controllers_.count(id) != 0) {
    SDL_GameControllerClose(controller);  // already ours: SDL counted one more open
    return;
  }
  controllers_[id] = controller;
  rumble_.Attach(id);
}

void WindowHost::CloseController(SDL_JoystickID id) {
  auto found = controllers_.find(id);
  if (found == controllers_.end()) return;
  rumble_.Detach(id);
  SDL_GameControllerClose(found->second);
  controllers_.erase(found);
}

// A controller that cannot rumble refuses; nothing else is to be done then.
void WindowHost::Rumble(int id, uint32_t ms) {
  auto found = controllers_.find(id);
  if (found == controllers_.end()) return;
  SDL_GameControllerRumble(found->second, ms ? kLowRumble : 0, ms ? kHighRumble : 0, ms);
}

void WindowHost::ApplyRumble() { rumbleRenewTicks_ = rumble_.Apply(SDL_GetTicks64()); }

}  // namespace jphost
