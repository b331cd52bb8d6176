// The test bench's script: the user's actions, one a line, read whole before
// anything runs so that a bad line stops the run before the device starts.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jphost {

enum class StepKind { Wait, Down, Move, Up, Tap, Drag, Accel, Key, Activate, Deactivate, Close, Shot };

struct ScriptStep {
  StepKind kind = StepKind::Wait;
  int line = 0;                    // 1-based, for messages
  std::array<int64_t, 5> n = {};   // the numbers in the order written
  uint32_t virtualKey = 0;         // key
  std::string path;                // shot
};

// What the lines are checked against.
struct ScriptRules {
  int screenWidth = 480;
  int screenHeight = 640;
  bool accelAllowed = true;  // only a fixed sensor takes accel lines
};

// False with "script NAME line N: ..." in `error` at the first bad line.
bool ParseScript(std::string_view text, const std::string& name, const ScriptRules& rules,
                 std::vector<ScriptStep>& steps, std::string& error);
bool LoadScript(const std::string& path, const ScriptRules& rules, std::vector<ScriptStep>& steps,
                std::string& error);

// The virtual-key code of a key name (left right up down space enter escape
// back, or one letter or digit, any case); 0 for an unknown name.
uint32_t VirtualKeyForName(std::string_view name);

}  // namespace jphost
