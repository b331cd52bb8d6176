// The session stays awake while the program's idle-timer resets keep coming.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "idle_inhibit.h"

namespace jphost {
namespace {

struct Moment {
  uint64_t ms;
  bool reset;  // else: the loop looks whether the hold has run out
  char expect; // S: the hold starts, E: it ends, .: nothing changes
};

TEST(IdleInhibit, HeldFromTheFirstResetUntilOneGapAndAMarginPassWithoutOne) {
  const uint64_t longest = IdleInhibit::HoldFor(IdleInhibit::kLongestPeriodMs);  // 991 s
  const struct {
    const char* what;
    std::vector<Moment> moments;
  } rows[] = {
      {"motion on with a 54 s period, then off: ends 1 s + 10 % after the missed reset",
       {{0, true, 'S'}, {54000, true, '.'}, {108000, true, '.'}, {108000 + 60399, false, '.'},
        {108000 + 60400, false, 'E'}}},
      {"a single reset: held for the longest period the program can use",
       {{5000, true, 'S'}, {5000 + longest - 1, false, '.'}, {5000 + longest, false, 'E'}}},
      {"the longest gap of a hold counts, not the last",
       {{0, true, 'S'}, {30000, true, '.'}, {40000, true, '.'}, {40000 + 33999, false, '.'},
        {40000 + 34000, false, 'E'}}},
      {"after an end, the next reset starts afresh with no gap known",
       {{0, true, 'S'}, {10000, true, '.'}, {30000, false, 'E'}, {100000, true, 'S'},
        {100000 + 12000, false, '.'}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    IdleInhibit hold;
    for (const Moment& m : row.moments) {
      SCOPED_TRACE(m.ms);
      bool changed = m.reset ? hold.Reset(m.ms) : hold.Expire(m.ms);
      EXPECT_EQ(changed ? (m.reset ? 'S' : 'E') : '.', m.expect);
      EXPECT_EQ(hold.Held(), hold.Deadline() != 0);
    }
  }
}

}  // namespace
}  // namespace jphost
