// Whether the session's screen blanking and idle suspend are held off. The
// program resets the idle timer on a period of its own (motion detection
// on); the hold lasts while those resets keep coming and ends once one gap
// plus a margin has passed without one, as the phone's own timer would run
// out. Driven by a clock of the caller's choice, so it is tested without SDL.
#pragma once

#include <cstdint>

namespace jphost {

class IdleInhibit {
 public:
  // The longest period the program resets with, before a gap is known.
  static constexpr uint64_t kLongestPeriodMs = 900000;
  // Margin over the longest gap seen: a late timer is not a stop.
  static uint64_t HoldFor(uint64_t gapMs) { return gapMs + gapMs / 10 + 1000; }

  // A reset at `nowMs`. True when the hold starts now (it was not held).
  bool Reset(uint64_t nowMs);
  // True once when the hold ends at `nowMs` (no reset for too long).
  bool Expire(uint64_t nowMs);
  // When Expire is next due; 0 while not held.
  uint64_t Deadline() const { return held_ ? last_ + HoldFor(gap_ ? gap_ : kLongestPeriodMs) : 0; }
  bool Held() const { return held_; }

 private:
  bool held_ = false;
  uint64_t last_ = 0;
  uint64_t gap_ = 0;  // the longest between resets of this hold; 0: none yet
};

}  // namespace jphost
