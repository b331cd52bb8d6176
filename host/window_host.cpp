#include "window_host.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "device/device.h"
#include "options.h"
#include "x_connection.h"

namespace jphost {
namespace {

// A phone's motor is a heavy, low buzz: the big motor at full strength, the
// small one a little.
constexpr uint16_t kLowRumble = 0xFFFF;
constexpr uint16_t kHighRumble = 0x4000;

// The phone's motor among the rumbling controllers: no SDL joystick id is negative.
constexpr int kVibratorId = -2;

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

bool ChangedRect(const uint32_t* before, const uint32_t* after, int width, int height, SDL_Rect& changed) {
  size_t rowLength = static_cast<size_t>(width);
  auto rowDiffers = [&](int row) {
    return std::memcmp(before + row * rowLength, after + row * rowLength, rowLength * sizeof(uint32_t)) != 0;
  };
  int top = 0;
  while (top < height && !rowDiffers(top)) ++top;
  if (top == height) return false;
  int bottom = height - 1;
  while (!rowDiffers(bottom)) --bottom;
  int left = width, right = -1;
  for (int row = top; row <= bottom; ++row) {
    const uint32_t* a = before + row * rowLength;
    const uint32_t* b = after + row * rowLength;
    int x = 0;
    while (x < left && a[x] == b[x]) ++x;
    left = std::min(left, x);
    x = width - 1;
    while (x > right && a[x] == b[x]) --x;
    right = std::max(right, x);
  }
  changed = {left, top, right - left + 1, bottom - top + 1};
  return true;
}

int WindowToScreen(int windowCoordinate, double scale, int screenLength) {
  int screen = static_cast<int>(std::floor(windowCoordinate / scale));
  return std::clamp(screen, 0, std::max(0, screenLength - 1));
}

View FitView(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
  View view;
  view.scale = std::min(static_cast<double>(windowWidth) / screenWidth, static_cast<double>(windowHeight) / screenHeight);
  view.width = std::min(windowWidth, Scaled(screenWidth, view.scale));
  view.height = std::min(windowHeight, Scaled(screenHeight, view.scale));
  view.x = (windowWidth - view.width) / 2;
  view.y = (windowHeight - view.height) / 2;
  return view;
}

bool FillsDisplay(int screenWidth, int screenHeight, int displayWidth, int displayHeight, bool programFullScreen,
                  bool zoomGiven) {
  if (zoomGiven || displayWidth <= 0 || displayHeight <= 0) return false;
  if (displayWidth < screenWidth || displayHeight < screenHeight) return true;
  return programFullScreen && displayHeight > displayWidth;
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
  if (waker_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(wakerLock_);
      wakerStop_ = true;
    }
    wakerNeeded_.notify_one();
    // After a lost server it may instead end the process, at once: the
    // program has ended by now (x_connection.cpp).
    waker_.join();
  }
  for (auto& [id, controller] : controllers_) {
    SDL_GameControllerRumble(controller, 0, 0, 0);
    SDL_GameControllerClose(controller);
  }
  sensor_.reset();
  vibrator_.reset();
  // Taking the window down waits for the X server's answers, which a lost
  // one never gives: the process's end frees it all the same.
  if (XServerLost()) return;
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
  zoomGiven_ = scale > 0;
  SDL_Rect display;
  if (SDL_GetDisplayBounds(0, &display) == 0) {
    displayWidth_ = display.w;
    displayHeight_ = display.h;
  }
  if (scale <= 0) {
    SDL_Rect usable;
    scale = SDL_GetDisplayUsableBounds(0, &usable) == 0 ? FitScale(screenWidth, screenHeight, usable.w, usable.h) : 1;
  }
  scale_ = scale;
  screenWidth_ = screenWidth;
  screenHeight_ = screenHeight;
  filling_ = FillsDisplay(screenWidth, screenHeight, displayWidth_, displayHeight_, false, zoomGiven_);
  window_ = SDL_CreateWindow("Jostlepad", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, Scaled(screenWidth, scale),
                             Scaled(screenHeight, scale),
                             SDL_WINDOW_SHOWN | (filling_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
  if (window_ == nullptr) {
    error = SDL_GetError();
    return false;
  }
  // Left to itself SDL backs the window surface with a GL texture; the
  // environment (SDL_FRAMEBUFFER_ACCELERATION) still has the last word.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_GetWindowSurface(window_) == nullptr) {
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) {
      error = SDL_GetError();
      return false;
    }
  }
  CloseWhenTheXServerGoes(window_);
  // SDL keeps the screen saver away while a window is open; here only the
  // program's idle-timer resets do.
  SDL_EnableScreenSaver();
  wakeEvent_ = SDL_RegisterEvents(1);
  if (wakeEvent_ != 0) waker_ = std::thread(&WindowHost::RunWaker, this);
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

void WindowHost::ConnectSensor(std::shared_ptr<ControllerSensorSource> sensor) {
  sensor_ = std::move(sensor);
  ChooseSensorController();
}

// The first controller with an accelerometer that will turn it on feeds the
// sensor; when it goes, the next one takes over.
void WindowHost::ChooseSensorController() {
  if (!sensor_ || sensorController_ >= 0) return;
  for (auto& [id, controller] : controllers_) {
    if (!SDL_GameControllerHasSensor(controller, SDL_SENSOR_ACCEL)) continue;
    if (SDL_GameControllerSetSensorEnabled(controller, SDL_SENSOR_ACCEL, SDL_TRUE) != 0) continue;
    sensorController_ = id;
    sensor_->Attached();
    return;
  }
}

void WindowHost::AttachVibrator(std::unique_ptr<Vibrator> vibrator) {
  vibrator_ = std::move(vibrator);
  rumble_.Attach(kVibratorId);
}

void WindowHost::OnTrace(const std::string& line) {
  // "<ms> window shown|minimized|restored": the program moved its window;
  // "<ms> fullscreen on|off": it hid or showed the task bar.
  bool fullScreen = line.find(" fullscreen ") != std::string::npos;
  if (fullScreen) programFullScreen_ = line.find(" fullscreen on") != std::string::npos;
  if (wakeEvent_ != 0 && (fullScreen || line.find(" window ") != std::string::npos) && !checkPending_.exchange(true))
    Push(kCheckWindow);
}

void WindowHost::Wake() {
  if (wakeEvent_ != 0) Push(kWake);
}

void WindowHost::Push(WakeCode code) {
  {
    std::lock_guard<std::mutex> lock(wakerLock_);
    wakerCodes_ |= 1u << code;
  }
  wakerNeeded_.notify_one();
}

void WindowHost::RunWaker() {
  std::unique_lock<std::mutex> lock(wakerLock_);
  for (;;) {
    wakerNeeded_.wait(lock, [this] { return wakerCodes_ != 0 || wakerStop_; });
    if (wakerStop_) return;
    uint32_t codes = wakerCodes_;
    wakerCodes_ = 0;
    lock.unlock();
    for (int code = kScreenChanged; code <= kWake; ++code) {
      if ((codes & (1u << code)) == 0) continue;
      SDL_Event event = {};
      event.type = wakeEvent_;
      event.user.code = code;
      SDL_PushEvent(&event);
    }
    lock.lock();
  }
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
  uint64_t awake = awake_.Deadline();
  if (awake == 0) return rumbleRenewTicks_;
  if (rumbleRenewTicks_ == 0) return awake;
  return std::min(awake, rumbleRenewTicks_);
}

int WindowHost::WaitEvent(SDL_Event& event) {
  uint64_t now = SDL_GetTicks64();
  if (awake_.Expire(now)) SDL_EnableScreenSaver();
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
        FitDisplay();
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
    // SDL repeats every touch as a mouse event too; the finger events already
    // drove the pen, so those copies are dropped.
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button != SDL_BUTTON_LEFT || event.button.which == SDL_TOUCH_MOUSEID || touch_.Owned()) break;
      penDown_ = true;
      touch_.SetMouseDown(true);
      Pen(wce::PenAction::Down, event.button.x, event.button.y);
      break;
    case SDL_MOUSEMOTION:
      if (penDown_ && event.motion.which != SDL_TOUCH_MOUSEID) Pen(wce::PenAction::Move, event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT || event.button.which == SDL_TOUCH_MOUSEID || !penDown_) break;
      penDown_ = false;
      touch_.SetMouseDown(false);
      Pen(wce::PenAction::Up, event.button.x, event.button.y);
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP: HandleFinger(event.tfinger); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: HandleKey(event.key); break;
    case SDL_CONTROLLERDEVICEADDED: OpenController(event.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED: CloseController(event.cdevice.which); break;
    case SDL_CONTROLLERSENSORUPDATE:
      if (sensor_ && event.csensor.which == sensorController_ && event.csensor.sensor == SDL_SENSOR_ACCEL)
        sensor_->Feed(event.csensor.data[0], event.csensor.data[1], event.csensor.data[2]);
      break;
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
    case SDL_WINDOWEVENT_SIZE_CHANGED:
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

void WindowHost::HandleFinger(const SDL_TouchFingerEvent& event) {
  if (event.touchId == SDL_MOUSE_TOUCHID) return;  // the mouse posing as a finger
  TouchPen::Finger kind = event.type == SDL_FINGERDOWN ? TouchPen::Finger::Down
                          : event.type == SDL_FINGERUP ? TouchPen::Finger::Up
                                                       : TouchPen::Finger::Motion;
  wce::PenAction action;
  if (!touch_.Step(kind, event.fingerId, action)) return;
  // The finger's place comes as a fraction of the window.
  int width = 0, height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  Pen(action, static_cast<int>(std::floor(event.x * width)), static_cast<int>(std::floor(event.y * height)));
}

void WindowHost::Pen(wce::PenAction action, int windowX, int windowY) {
  int width = 0, height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  View view = ViewIn(width, height);
  if (action == wce::PenAction::Down) wce::LatencyStamp("pen-down");
  wce::InjectPen(action, WindowToScreen(windowX - view.x, view.scale, screenWidth_),
                 WindowToScreen(windowY - view.y, view.scale, screenHeight_));
}

// The window at the size asked for shows the screen at the zoom; any other
// size (full screen, or a shell that maximises every window) fits it.
View WindowHost::ViewIn(int width, int height) const {
  if (!filling_ && width == Scaled(screenWidth_, scale_) && height == Scaled(screenHeight_, scale_))
    return {scale_, 0, 0, width, height};
  return FitView(screenWidth_, screenHeight_, width, height);
}

void WindowHost::FitDisplay() {
  bool fill = FillsDisplay(screenWidth_, screenHeight_, displayWidth_, displayHeight_, programFullScreen_, zoomGiven_);
  if (fill == filling_) return;
  filling_ = fill;
  SDL_SetWindowFullscreen(window_, fill ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void WindowHost::Present() {
  wce::ScreenImage image = wce::CaptureScreen();
  if (image.width <= 0 || image.height <= 0) return;
  bool resized = image.width != screenWidth_ || image.height != screenHeight_;
  SDL_Rect changed = {0, 0, image.width, image.height};
  if (!resized && !frame_.empty() && !ChangedRect(frame_.data(), image.pixels.data(), image.width, image.height, changed))
    return;
  frame_ = std::move(image.pixels);
  screenWidth_ = image.width;
  screenHeight_ = image.height;
  // A turned display swaps the sides; the window follows, and its new
  // surface is painted whole when SDL reports the new size.
  if (resized && !filling_) SDL_SetWindowSize(window_, Scaled(screenWidth_, scale_), Scaled(screenHeight_, scale_));
  if (resized && filling_) {
    Redraw();
    if (renderer_ == nullptr) return;
  }
  if (renderer_ != nullptr) {
    if (PresentWithRenderer(resized)) Redraw();
    return;
  }
  Show(changed);
}

bool WindowHost::PresentWithRenderer(bool resized) {
  if (texture_ == nullptr || resized) {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, scale_ < 1 ? "linear" : "nearest");
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, screenWidth_,
                                 screenHeight_);
    if (texture_ == nullptr) return false;
  }
  SDL_UpdateTexture(texture_, nullptr, frame_.data(), screenWidth_ * static_cast<int>(sizeof(uint32_t)));
  return true;
}

void WindowHost::Redraw() {
  if (renderer_ != nullptr) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    View view = ViewIn(width, height);
    SDL_Rect to = {view.x, view.y, view.width, view.height};
    if (texture_ != nullptr) SDL_RenderCopy(renderer_, texture_, nullptr, &to);
    SDL_RenderPresent(renderer_);
    return;
  }
  Show({0, 0, screenWidth_, screenHeight_});
}

// Copies `changed` (screen pixels) of the last frame into the window's
// surface, zoomed to whatever size the surface has, and shows that part.
void WindowHost::Show(const SDL_Rect& changed) {
  // Got afresh each time: a resize drops the old one.
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target == nullptr) return;
  if (frame_.empty()) {  // nothing drawn yet
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    SDL_UpdateWindowSurface(window_);
    return;
  }
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(frame_.data(), screenWidth_, screenHeight_, 32,
                                                           screenWidth_ * static_cast<int>(sizeof(uint32_t)),
                                                           SDL_PIXELFORMAT_RGB888);
  if (source == nullptr) return;
  View view = ViewIn(target->w, target->h);
  if (view.width == screenWidth_ && view.height == screenHeight_ && view.x == 0 && view.y == 0) {
    SDL_Rect from = changed, to = changed;
    SDL_BlitSurface(source, &from, target, &to);
    SDL_UpdateWindowSurfaceRects(window_, &changed, 1);
    SDL_FreeSurface(source);
    return;
  }
  // Zoomed: the whole picture is stretched again (each window pixel depends
  // on its neighbours under the filter), but only the part that changed, and
  // a pixel around it, goes to the display.
  // Letterboxed: the bars are black, as the skin's bars are pictures with no
  // one colour to extend.
  if (view.width < target->w || view.height < target->h) SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
  SDL_Rect whole = {view.x, view.y, view.width, view.height};
  bool smaller = view.width < screenWidth_;
  if (!smaller || source->format->format != target->format->format ||
      SDL_SoftStretchLinear(source, nullptr, target, &whole) != 0)
    SDL_BlitScaled(source, nullptr, target, &whole);
  SDL_FreeSurface(source);
  double zoomX = static_cast<double>(view.width) / screenWidth_;
  double zoomY = static_cast<double>(view.height) / screenHeight_;
  int left = std::max(0, view.x + static_cast<int>(std::floor(changed.x * zoomX)) - 1);
  int top = std::max(0, view.y + static_cast<int>(std::floor(changed.y * zoomY)) - 1);
  int right = std::min(target->w, view.x + static_cast<int>(std::ceil((changed.x + changed.w) * zoomX)) + 1);
  int bottom = std::min(target->h, view.y + static_cast<int>(std::ceil((changed.y + changed.h) * zoomY)) + 1);
  SDL_Rect shown = {left, top, right - left, bottom - top};
  // The whole screen changed: the bars go out too.
  if (changed.w == screenWidth_ && changed.h == screenHeight_) shown = whole = {0, 0, target->w, target->h};
  SDL_UpdateWindowSurfaceRects(window_, &shown, 1);
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

// SDL's screen-saver control reaches the X screen saver and Wayland's idle
// inhibition, so a phone neither blanks nor suspends while motion runs.
void WindowHost::KeepAwake() {
  if (awake_.Reset(SDL_GetTicks64())) SDL_DisableScreenSaver();
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
  ChooseSensorController();
}

void WindowHost::CloseController(SDL_JoystickID id) {
  auto found = controllers_.find(id);
  if (found == controllers_.end()) return;
  rumble_.Detach(id);
  SDL_GameControllerClose(found->second);
  controllers_.erase(found);
  if (id != sensorController_) return;
  sensorController_ = -1;
  ChooseSensorController();
  if (sensorController_ < 0) sensor_->Detached();
}

// A controller that cannot rumble refuses; nothing else is to be done then.
void WindowHost::Rumble(int id, uint32_t ms) {
  if (id == kVibratorId) {
    vibrator_->Rumble(ms);
    return;
  }
  auto found = controllers_.find(id);
  if (found == controllers_.end()) return;
  SDL_GameControllerRumble(found->second, ms ? kLowRumble : 0, ms ? kHighRumble : 0, ms);
}

void WindowHost::ApplyRumble() { rumbleRenewTicks_ = rumble_.Apply(SDL_GetTicks64()); }

}  // namespace jphost
