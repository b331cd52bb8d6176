// Fuzz target: the test bench's script reader. A refusal names its line; a
// script it takes, written back one step a line on the same lines, reads to
// the very same steps; and accel lines are the only ones a bench without the
// fixed sensor refuses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "script.h"

namespace {

using jphost::ScriptStep;
using jphost::StepKind;

const char* const kWords[] = {"wait", "down", "move", "up", "tap", "drag",
                              "accel", "key", "activate", "deactivate", "close", "shot"};
const size_t kNumberCounts[] = {1, 2, 2, 2, 2, 5, 3, 0, 0, 0, 0, 0};

std::string KeyName(uint32_t vk) {
  struct Named {
    uint32_t vk;
    const char* name;
  };
  static const Named kNamed[] = {{0x25, "left"}, {0x27, "right"}, {0x26, "up"},     {0x28, "down"},
                                 {0x20, "space"}, {0x0D, "enter"}, {0x1B, "escape"}, {0x08, "back"}};
  for (const Named& n : kNamed)
    if (n.vk == vk) return n.name;
  return std::string(1, static_cast<char>(vk));  // letters and digits are their own codes
}

std::string WriteBack(const std::vector<ScriptStep>& steps) {
  std::string text;
  int line = 1;
  for (const ScriptStep& step : steps) {
    for (; line < step.line; ++line) text += "\n";
    size_t kind = static_cast<size_t>(step.kind);
    text += kWords[kind];
    if (step.kind == StepKind::Key) text += " " + KeyName(step.virtualKey);
    if (step.kind == StepKind::Shot) text += " " + step.path;
    for (size_t i = 0; i < kNumberCounts[kind]; ++i) text += " " + std::to_string(step.n[i]);
    text += "\n";
    ++line;
  }
  return text;
}

bool SameSteps(const std::vector<ScriptStep>& a, const std::vector<ScriptStep>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].line != b[i].line || a[i].n != b[i].n ||
        a[i].virtualKey != b[i].virtualKey || a[i].path != b[i].path)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string name = "fuzz";
  jphost::ScriptRules rules;
  std::vector<ScriptStep> steps;
  std::string error;
  if (!jphost::ParseScript(text, name, rules, steps, error)) {
    if (error.rfind("script fuzz line ", 0) != 0 || error.size() <= 17) std::abort();
    return 0;
  }
  bool hasAccel = false;
  for (const ScriptStep& step : steps) {
    if (step.line < 1) std::abort();
    hasAccel = hasAccel || step.kind == StepKind::Accel;
  }

  std::vector<ScriptStep> again;
  if (!jphost::ParseScript(WriteBack(steps), name, rules, again, error) || !SameSteps(steps, again)) std::abort();

  rules.accelAllowed = false;
  std::vector<ScriptStep> withoutSensor;
  if (jphost::ParseScript(text, name, rules, withoutSensor, error) == hasAccel) std::abort();
  return 0;
}
