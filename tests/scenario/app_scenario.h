// The whole program on the headless bench, run from a folder the test makes:
// the plain-coloured test skin, sound packs of constant-valued WAVs and a hive
// with the settings the test wants. Screens are checked by the colours of
// the skin's pictures, sounds by the values in the recording.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "png_reader.h"
#include "scenario_support.h"
#include "test_app_dir.h"

namespace jptest {

extern const char kSettingsKeyName[];

// Where to tap on the 480 x 640 screen at 192 dpi.
namespace at {
inline constexpr int kHomeTab[2] = {80, 586};
inline constexpr int kSoundsTab[2] = {240, 586};
inline constexpr int kSettingsTab[2] = {400, 586};
inline constexpr int kClose[2] = {454, 26};
inline constexpr int kAbout[2] = {402, 26};
inline constexpr int kMotion[2] = {400, 452};
inline constexpr int kPulse[2] = {80, 452};
inline constexpr int kBack[2] = {240, 586};
inline constexpr int kDonate[2] = {241, 428};
inline constexpr int kOk[2] = {350, 586};
inline constexpr int kCancel[2] = {130, 586};
}  // namespace at

std::string Tap(const int (&point)[2]);
// Top-left corner of slot n's cell on the Home grid (1 top, 2 right, 3 bottom, 4 left, 5 centre).
std::pair<int, int> GridCell(int slot);
// Top of slot n's row on the Sounds page.
inline int SoundsRowTop(int slot) { return 52 + 96 * (slot - 1); }
// Top of list row i (0-based) while the browser's list is not scrolled.
inline int ListRowTop(int row) { return 52 + 80 * row; }

class AppScenario : public ::testing::Test {
 protected:
  AppScenario();

  // Writes the app folder and the hive; call before Run.
  void Prepare(const std::vector<TestPack>& packs, const TestSettings& settings);
  void PrepareDefault();  // FiveSlotPacks, slots 1..5 assigned in order

  // Runs `script` headless on the virtual clock with audio recorded; the
  // status is checked by the caller.
  RunResult Run(const std::string& script, const std::vector<std::string>& extra = {});

  std::string AppDir() const { return temp_ / "app"; }
  std::string Hive() const { return temp_ / "device/registry.reg"; }
  std::string TracePath() const { return temp_ / "trace.txt"; }
  std::string ShotPath(const std::string& name) const { return temp_ / (name + ".png"); }
  std::string ShotLine(const std::string& name) const { return "shot " + ShotPath(name) + "\n"; }

  PngImage Shot(const std::string& name) const;
  std::vector<std::pair<long, std::string>> Trace() const { return ReadTrace(TracePath()); }
  std::map<std::string, std::string> SavedSettings() const { return HiveKeyValues(Hive(), kSettingsKeyName); }
  // The recording's left channel, one value a frame at 48 kHz.
  std::vector<int16_t> Recording() const;

  TempDir temp_;
};

// Frame of the recording at device time `ms`.
inline size_t FrameAtMs(long ms) { return static_cast<size_t>(ms) * 48; }
// The distinct non-zero sample values of frames [fromMs, toMs), in order of appearance.
std::vector<int16_t> ValuesBetween(const std::vector<int16_t>& recording, long fromMs, long toMs);
// Device times of every trace event equal to `event`.
std::vector<long> EventTimes(const std::vector<std::pair<long, std::string>>& trace, const std::string& event);
// Whether the shot shows `rgb` at (x, y), with a readable message when not.
::testing::AssertionResult ShowsColour(const PngImage& shot, int x, int y, uint32_t rgb);
::testing::AssertionResult ShowsPicture(const PngImage& shot, int x, int y, const std::string& stem);

}  // namespace jptest
