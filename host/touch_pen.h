// Touch as the stylus: the first finger down owns the pen until it lifts;
// other fingers meanwhile do nothing. Events in, pen actions out; the window
// turns the finger's place into screen pixels.
#pragma once

#include <cstdint>

#include "device/device.h"

namespace jphost {

class TouchPen {
 public:
  enum class Finger { Down, Motion, Up };
  // A finger event; true with the pen's `action` when the pen acts on it.
  bool Step(Finger event, int64_t finger, wce::PenAction& action);
  // The mouse has the pen: no finger takes it meanwhile.
  void SetMouseDown(bool down) { mouseDown_ = down; }
  // A finger holds the pen: the mouse does not take it meanwhile.
  bool Owned() const { return owned_; }

 private:
  bool owned_ = false;
  int64_t owner_ = 0;
  bool mouseDown_ = false;
};

}  // namespace jphost
