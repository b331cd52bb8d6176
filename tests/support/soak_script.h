// The soak: a long, random but reproducible bench script over every page of
// the 480 x 640 screen at 192 dpi. The same seed and length give the same
// script on every machine (its own generator, no std:: distributions).
#pragma once

#include <cstdint>
#include <string>

namespace jptest {

struct SoakOptions {
  uint64_t seed = 1;
  // Device time the script covers; from 2 minutes on exactly (shorter ones
  // still hold every kind of episode once and run over).
  int64_t lengthMs = 3'600'000;
  // The About page's donation button starts the hive's browser; leave it out
  // when that is a real one.
  bool donate = true;
};

// Starts at rest, waits out the splash, then mixes episodes until the length
// is nearly used up: taps and drags anywhere (never on the close button or
// the Animations switch, which the script keeps track of itself), taps on
// the real controls, page changes in the middle of their slides, jerks on
// each axis with the motion switch on, deactivation and activation, the
// sound browser with previews, and idle stretches. It ends on the Home page
// with motion off and waits, so the program is in the state of a fresh start
// except for the browser's preview player, which stays open by design.
std::string SoakScript(const SoakOptions& options);

// What the script's lines add up to in device time (waits and drags).
int64_t ScriptLengthMs(const std::string& script);

}  // namespace jptest
