#include "touch_pen.h"

namespace jphost {

bool TouchPen::Step(Finger event, int64_t finger, wce::PenAction& action) {
  if (event == Finger::Down) {
    if (owned_ || mouseDown_) return false;
    owned_ = true;
    owner_ = finger;
    action = wce::PenAction::Down;
    return true;
  }
  if (!owned_ || finger != owner_) return false;
  if (event == Finger::Up) owned_ = false;
  action = event == Finger::Up ? wce::PenAction::Up : wce::PenAction::Move;
  return true;
}

}  // namespace jphost
