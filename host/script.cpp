#include "script.h"

#include <windows.h>

#include <cctype>
#include <charconv>
#include <fstream>
#include <sstream>

#include "device/device.h"

namespace jphost {
namespace {

// Longest wait a script may ask for in one line: a day of device time.
constexpr int64_t kMaxMs = 24LL * 60 * 60 * 1000;

// How each number of a line is checked: t milliseconds, x and y screen
// coordinates, a an accelerometer reading.
struct CommandRule {
  const char* word;
  StepKind kind;
  const char* args;   // one letter per number
  const char* usage;  // for messages
};

const CommandRule kCommands[] = {
    {"wait", StepKind::Wait, "t", "wait MS"},
    {"down", StepKind::Down, "xy", "down X Y"},
    {"move", StepKind::Move, "xy", "move X Y"},
    {"up", StepKind::Up, "xy", "up X Y"},
    {"tap", StepKind::Tap, "xy", "tap X Y"},
    {"drag", StepKind::Drag, "xyxyt", "drag X1 Y1 X2 Y2 MS"},
    {"accel", StepKind::Accel, "aaa", "accel X Y Z"},
    {"key", StepKind::Key, nullptr, "key NAME"},
    {"activate", StepKind::Activate, "", "activate"},
    {"deactivate", StepKind::Deactivate, "", "deactivate"},
    {"close", StepKind::Close, "", "close"},
    {"shot", StepKind::Shot, nullptr, "shot FILE.png"},
};

struct KeyName {
  const char* name;
  uint32_t vk;
};

const KeyName kKeyNames[] = {
    {"left", VK_LEFT},     {"right", VK_RIGHT},   {"up", VK_UP},     {"down", VK_DOWN},
    {"space", VK_SPACE},   {"enter", VK_RETURN},  {"escape", VK_ESCAPE}, {"back", VK_BACK},
};

std::string_view Trim(std::string_view text) {
  size_t start = text.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(start, end - start + 1);
}

const CommandRule* FindCommand(std::string_view word) {
  for (const CommandRule& command : kCommands)
    if (word == command.word) return &command;
  return nullptr;
}

// One number of a line, checked by its kind; a message when it does not fit.
bool ParseArgument(char kind, std::string_view field, int64_t& value, const ScriptRules& rules,
                   std::string& message) {
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, value);
  bool number = ec == std::errc() && ptr == end;
  switch (kind) {
    case 't':
      if (!number || value < 0) {
        message = "'" + std::string(field) + "' is not a whole number of milliseconds";
        return false;
      }
      if (value > kMaxMs) {
        message = std::string(field) + " ms is longer than a day";
        return false;
      }
      return true;
    case 'x':
    case 'y': {
      int limit = kind == 'x' ? rules.screenWidth : rules.screenHeight;
      std::string axis(1, kind);
      if (!number) {
        message = axis + " '" + std::string(field) + "' is not a whole number";
        return false;
      }
      if (value < 0 || value >= limit) {
        message = axis + " " + std::string(field) + " is outside the screen (0.." + std::to_string(limit - 1) + ")";
        return false;
      }
      return true;
    }
    default:  // 'a'
      if (!number || value < INT16_MIN || value > INT16_MAX) {
        message = "reading '" + std::string(field) + "' is not a whole number in -32768..32767";
        return false;
      }
      return true;
  }
}

// The step of one line that is not blank; a message (without the line) when bad.
bool ParseLine(std::string_view line, const ScriptRules& rules, ScriptStep& step, std::string& message) {
  std::vector<std::string_view> fields = wce::SplitFields(line);
  const CommandRule* command = FindCommand(fields[0]);
  if (command == nullptr) {
    message = "unknown command '" + std::string(fields[0]) + "'";
    return false;
  }
  step.kind = command->kind;
  if (command->kind == StepKind::Shot) {
    step.path = std::string(Trim(Trim(line).substr(fields[0].size())));
    if (step.path.empty()) {
      message = "expected " + std::string(command->usage);
      return false;
    }
    return true;
  }
  if (command->kind == StepKind::Key) {
    if (fields.size() != 2) {
      message = "expected " + std::string(command->usage);
      return false;
    }
    step.virtualKey = VirtualKeyForName(fields[1]);
    if (step.virtualKey == 0) {
      message = "unknown key '" + std::string(fields[1]) +
                "' (left right up down space enter escape back, a letter or a digit)";
      return false;
    }
    return true;
  }
  if (command->kind == StepKind::Accel && !rules.accelAllowed) {
    message = "accel needs the fixed sensor (--sensor fixed, the headless default)";
    return false;
  }
  std::string_view args = command->args;
  if (fields.size() - 1 != args.size()) {
    message = "expected " + std::string(command->usage);
    return false;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    std::string what;
    if (!ParseArgument(args[i], fields[i + 1], step.n[i], rules, what)) {
      message = std::string(command->word) + ": " + what;
      return false;
    }
  }
  return true;
}

}  // namespace

uint32_t VirtualKeyForName(std::string_view name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const KeyName& key : kKeyNames)
    if (lower == key.name) return key.vk;
  if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0])))
    return static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(lower[0])));  // VK_A.. and VK_0.. are ASCII
  return 0;
}

bool ParseScript(std::string_view text, const std::string& name, const ScriptRules& rules,
                 std::vector<ScriptStep>& steps, std::string& error) {
  std::vector<ScriptStep> parsed;
  int lineNumber = 0;
  while (!text.empty()) {
    size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    ++lineNumber;
    line = line.substr(0, line.find('#'));
    if (Trim(line).empty()) continue;
    ScriptStep step;
    step.line = lineNumber;
    std::string message;
    if (!ParseLine(line, rules, step, message)) {
      error = "script " + name + " line " + std::to_string(lineNumber) + ": " + message;
      return false;
    }
    parsed.push_back(std::move(step));
  }
  steps = std::move(parsed);
  return true;
}

bool LoadScript(const std::string& path, const ScriptRules& rules, std::vector<ScriptStep>& steps,
                std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "script " + path + ": cannot open it";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = "script " + path + ": cannot read it";
    return false;
  }
  return ParseScript(text.str(), path, rules, steps, error);
}

}  // namespace jphost
