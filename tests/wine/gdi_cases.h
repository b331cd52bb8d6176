// One set of drawing cases that uses only documented Win32 calls, built both
// against our device (Linux) and with mingw-w64 (run under Wine), so the two
// implementations can be compared case by case.
#pragma once

#include <string>

namespace gdijudge {

// One line per case: "<name> pixels <hash>" (FNV-1a of the 0x00RRGGBB
// pixels, rows top to bottom) or "<name> rect <left> <top> <right> <bottom>".
// The screen DC must exist (a running device, or a desktop).
std::string RunGdiCases();

}  // namespace gdijudge
