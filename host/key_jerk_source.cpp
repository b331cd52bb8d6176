#include "key_jerk_source.h"

#include <algorithm>

namespace jphost {
namespace {

// Held keys do not queue jerks for minutes to come.
constexpr size_t kMaxPending = 8;

}  // namespace

KeyJerkSource::KeyJerkSource(Clock now) : now_(std::move(now)) {}

void KeyJerkSource::Press(Jerk jerk) {
  // right: +X, left: -X, down: +Y, up: -Y; space pushes Z further from rest.
  Axis axis = kX;
  int sign = 1;
  switch (jerk) {
    case Jerk::Left: sign = -1; break;
    case Jerk::Right: break;
    case Jerk::Up: axis = kY; sign = -1; break;
    case Jerk::Down: axis = kY; break;
    case Jerk::Space: axis = kZ; sign = -1; break;
  }
  uint64_t now = now_();
  std::lock_guard<std::mutex> lock(mutex_);
  std::deque<Excursion>& pending = pending_[axis];
  Offset(pending, now);
  if (pending.size() >= kMaxPending) return;
  uint64_t start = std::max(now, nextStart_[axis]);
  pending.push_back({start, sign});
  nextStart_[axis] = start + kSpacingMs;
}

int KeyJerkSource::Offset(std::deque<Excursion>& pending, uint64_t now) {
  while (!pending.empty() && now >= pending.front().start + kProfile.size() * kStepMs) pending.pop_front();
  if (pending.empty() || now < pending.front().start) return 0;
  const Excursion& e = pending.front();
  return e.sign * kProfile[(now - e.start) / kStepMs];
}

bool KeyJerkSource::Read(int16_t& x, int16_t& y, int16_t& z) {
  uint64_t now = now_();
  std::lock_guard<std::mutex> lock(mutex_);
  x = static_cast<int16_t>(Offset(pending_[kX], now));
  y = static_cast<int16_t>(Offset(pending_[kY], now));
  z = static_cast<int16_t>(kRestZ + Offset(pending_[kZ], now));
  return true;
}

}  // namespace jphost
