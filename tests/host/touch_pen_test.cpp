// One finger at a time is the stylus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "touch_pen.h"

namespace jphost {
namespace {

using Finger = TouchPen::Finger;

struct Event {
  Finger kind;
  int64_t finger;
};

// The pen's actions for a run of finger events: D, M, U, or . for none.
std::string PenActions(const std::vector<Event>& events, TouchPen& pen) {
  std::string out;
  for (const Event& e : events) {
    wce::PenAction action;
    if (!pen.Step(e.kind, e.finger, action))
      out += '.';
    else
      out += action == wce::PenAction::Down ? 'D' : action == wce::PenAction::Move ? 'M' : 'U';
  }
  return out;
}

TEST(TouchPen, TheFirstFingerDownOwnsThePenUntilItLifts) {
  const struct {
    const char* what;
    std::vector<Event> events;
    const char* pen;
  } rows[] = {
      {"a tap", {{Finger::Down, 7}, {Finger::Up, 7}}, "DU"},
      {"a drag", {{Finger::Down, 7}, {Finger::Motion, 7}, {Finger::Motion, 7}, {Finger::Up, 7}}, "DMMU"},
      {"a second finger comes and goes while the first is down",
       {{Finger::Down, 1}, {Finger::Down, 2}, {Finger::Motion, 2}, {Finger::Up, 2}, {Finger::Motion, 1}, {Finger::Up, 1}},
       "D...MU"},
      {"the first lifts before the second: the second stays without the pen",
       {{Finger::Down, 1}, {Finger::Down, 2}, {Finger::Up, 1}, {Finger::Motion, 2}, {Finger::Up, 2}},
       "D.U.."},
      {"stray motion and lifts of a finger never down", {{Finger::Motion, 4}, {Finger::Up, 4}}, ".."},
      {"one tap after another", {{Finger::Down, 1}, {Finger::Up, 1}, {Finger::Down, 2}, {Finger::Up, 2}}, "DUDU"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    TouchPen pen;
    EXPECT_EQ(PenActions(row.events, pen), row.pen);
  }
}

TEST(TouchPen, AFingerDoesNotTakeThePenFromTheMouse) {
  TouchPen pen;
  pen.SetMouseDown(true);
  EXPECT_EQ(PenActions({{Finger::Down, 1}, {Finger::Up, 1}}, pen), "..");
  pen.SetMouseDown(false);
  EXPECT_EQ(PenActions({{Finger::Down, 1}}, pen), "D");
  EXPECT_TRUE(pen.Owned());
}

}  // namespace
}  // namespace jphost
