// Reading the bench's scripts: every kind of line, and a message naming the
// first bad line.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "script.h"
#include "test_files.h"

namespace jphost {
namespace {

std::vector<ScriptStep> Parse(const std::string& text, ScriptRules rules = {}) {
  std::vector<ScriptStep> steps;
  std::string error;
  EXPECT_TRUE(ParseScript(text, "run.txt", rules, steps, error)) << error;
  return steps;
}

std::string Refused(const std::string& text, ScriptRules rules = {}) {
  std::vector<ScriptStep> steps = {ScriptStep{}};
  std::string error;
  EXPECT_FALSE(ParseScript(text, "run.txt", rules, steps, error)) << text;
  EXPECT_EQ(steps.size(), 1u) << "steps were replaced by a failed parse";
  return error;
}

TEST(Script, EveryKindOfLine) {
  std::vector<ScriptStep> steps = Parse(
      "# a comment\n"
      "\n"
      "wait 2500\n"
      "  down 10 20   # trailing comment\n"
      "move 11 21\r\n"
      "up 12 22\n"
      "tap 0 639\n"
      "drag 1 2 479 4 300\n"
      "accel -500 32767 -32768\n"
      "key Enter\n"
      "key q\n"
      "activate\n"
      "deactivate\n"
      "close\n"
      "shot out/home screen.png\n");
  ASSERT_EQ(steps.size(), 13u);
  struct Expect {
    StepKind kind;
    int line;
    std::array<int64_t, 5> n;
  };
  const Expect expected[] = {
      {StepKind::Wait, 3, {2500}},           {StepKind::Down, 4, {10, 20}},
      {StepKind::Move, 5, {11, 21}},         {StepKind::Up, 6, {12, 22}},
      {StepKind::Tap, 7, {0, 639}},          {StepKind::Drag, 8, {1, 2, 479, 4, 300}},
      {StepKind::Accel, 9, {-500, 32767, -32768}}, {StepKind::Key, 10, {}},
      {StepKind::Key, 11, {}},               {StepKind::Activate, 12, {}},
      {StepKind::Deactivate, 13, {}},        {StepKind::Close, 14, {}},
      {StepKind::Shot, 15, {}},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].kind, expected[i].kind) << i;
    EXPECT_EQ(steps[i].line, expected[i].line) << i;
    EXPECT_EQ(steps[i].n, expected[i].n) << i;
  }
  EXPECT_EQ(steps[7].virtualKey, static_cast<uint32_t>(VK_RETURN));
  EXPECT_EQ(steps[8].virtualKey, static_cast<uint32_t>('Q'));
  EXPECT_EQ(steps[12].path, "out/home screen.png");
}

TEST(Script, KeyNamesInAnyCase) {
  EXPECT_EQ(VirtualKeyForName("RIGHT"), static_cast<uint32_t>(VK_RIGHT));
  EXPECT_EQ(VirtualKeyForName("back"), static_cast<uint32_t>(VK_BACK));
  EXPECT_EQ(VirtualKeyForName("a"), static_cast<uint32_t>('A'));
  EXPECT_EQ(VirtualKeyForName("7"), static_cast<uint32_t>('7'));
  EXPECT_EQ(VirtualKeyForName("f1"), 0u);
  EXPECT_EQ(VirtualKeyForName("!"), 0u);
}

TEST(Script, EmptyScriptIsFine) {
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse("# nothing\n\n   \n").empty());
}

TEST(Script, BadLinesAreNamedWithTheirNumber) {
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"jump 3 4\n", "line 1: unknown command 'jump'"},
      {"wait 10\n\nWAIT 10\n", "line 3: unknown command 'WAIT'"},
      {"wait\n", "line 1: expected wait MS"},
      {"wait 1 2\n", "line 1: expected wait MS"},
      {"wait -5\n", "line 1: wait: '-5' is not a whole number of milliseconds"},
      {"wait 1.5\n", "line 1: wait: '1.5'"},
      {"wait 99999999999\n", "longer than a day"},
      {"tap 10\n", "expected tap X Y"},
      {"tap 480 0\n", "tap: x 480 is outside the screen (0..479)"},
      {"down 0 640\n", "down: y 640 is outside the screen (0..639)"},
      {"move -1 0\n", "move: x -1 is outside"},
      {"up 1 zz\n", "up: y 'zz' is not a whole number"},
      {"drag 1 2 3 4\n", "expected drag X1 Y1 X2 Y2 MS"},
      {"drag 1 2 3 4 -1\n", "drag: '-1'"},
      {"accel 0 0\n", "expected accel X Y Z"},
      {"accel 0 0 40000\n", "accel: reading '40000'"},
      {"key\n", "expected key NAME"},
      {"key left right\n", "expected key NAME"},
      {"key f1\n", "unknown key 'f1'"},
      {"close now\n", "expected close"},
      {"shot\n", "expected shot FILE.png"},
      {"shot # no file\n", "expected shot FILE.png"},
  };
  for (const Case& c : cases) {
    std::string error = Refused(c.text);
    EXPECT_EQ(error.rfind("script run.txt line ", 0), 0u) << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.text << " -> " << error;
  }
}

TEST(Script, ScreenSizeAndSensorDecideWhatFits) {
  ScriptRules small{240, 320, false};
  EXPECT_NE(Refused("tap 300 10\n", small).find("0..239"), std::string::npos);
  EXPECT_EQ(Parse("tap 239 319\n", small).size(), 1u);
  EXPECT_NE(Refused("wait 1\naccel 0 0 -1000\n", small).find("line 2: accel needs the fixed sensor"),
            std::string::npos);
}

TEST(Script, LoadReadsTheFileAndNamesIt) {
  jptest::TempDir temp;
  std::vector<ScriptStep> steps;
  std::string error;
  ASSERT_TRUE(jptest::WriteText(temp / "s.txt", "wait 5\nclose\n"));
  EXPECT_TRUE(LoadScript(temp / "s.txt", {}, steps, error)) << error;
  EXPECT_EQ(steps.size(), 2u);
  ASSERT_TRUE(jptest::WriteText(temp / "bad.txt", "wait 5\nfly\n"));
  EXPECT_FALSE(LoadScript(temp / "bad.txt", {}, steps, error));
  EXPECT_NE(error.find("script " + (temp / "bad.txt") + " line 2"), std::string::npos) << error;
  EXPECT_FALSE(LoadScript(temp / "missing.txt", {}, steps, error));
  EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;
}

}  // namespace
}  // namespace jphost
