#include "idle_inhibit.h"

#include <algorithm>

namespace jphost {

bool IdleInhibit::Reset(uint64_t nowMs) {
  bool starts = !held_;
  if (held_) gap_ = std::max(gap_, nowMs - last_);
  held_ = true;
  last_ = nowMs;
  return starts;
}

bool IdleInhibit::Expire(uint64_t nowMs) {
  if (!held_ || nowMs < Deadline()) return false;
  held_ = false;
  gap_ = 0;
  return true;
}

}  // namespace jphost
