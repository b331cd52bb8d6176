// Plays a parsed script against the device: the runner keeps the script's
// time and drives the clock to each moment; after every action the program
// gets to handle what it caused before the next line runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "device/device.h"
#include "script.h"

namespace jphost {

// What a script acts on; the device, or a recorder in tests.
class ScriptTarget {
 public:
  virtual ~ScriptTarget() = default;
  virtual void AdvanceTo(uint64_t ms) = 0;  // device time, from 0 at the program's start
  virtual void Settle() = 0;                // the program handles what is due now
  virtual void Pen(wce::PenAction action, int x, int y) = 0;
  virtual void Key(uint32_t virtualKey, bool down) = 0;
  virtual void Activate(bool active) = 0;
  virtual void Close() = 0;
  virtual void Accel(int16_t x, int16_t y, int16_t z) = 0;
  virtual bool Shot(const std::string& path, std::string& error) = 0;
  virtual bool ProgramEnded() = 0;
  // Every line has run and the program is still there (not after a close).
  virtual void ScriptEnded() {}
};

struct ScriptOutcome {
  bool programEnded = false;  // before the last line: the rest was skipped
  int nextLine = 0;           // the first line not run, when it ended early
};

// Runs every step in order; messages (a screenshot that failed, the program
// ending early) go to `log`.
ScriptOutcome RunScript(const std::vector<ScriptStep>& steps, ScriptTarget& target, std::ostream& log);

// Pen moves of a drag: one every ~16 ms of device time, the last one at the end point.
int DragMoveCount(int64_t ms);

// The device as a script target. `fixed` takes the accel lines (may be null
// when the script has none); `ended` tells whether the program has finished.
class DeviceScriptTarget : public ScriptTarget {
 public:
  DeviceScriptTarget(std::shared_ptr<wce::FixedSensorSource> fixed, std::function<bool()> ended)
      : fixed_(std::move(fixed)), ended_(std::move(ended)) {}
  void AdvanceTo(uint64_t ms) override;
  void Settle() override;
  void Pen(wce::PenAction action, int x, int y) override;
  void Key(uint32_t virtualKey, bool down) override;
  void Activate(bool active) override;
  void Close() override;
  void Accel(int16_t x, int16_t y, int16_t z) override;
  bool Shot(const std::string& path, std::string& error) override;
  bool ProgramEnded() override;
  // Traces "resources ..." with the device's live counts, before the bench
  // asks the program to close, so a run can be compared with a bare start.
  void ScriptEnded() override;

 private:
  std::shared_ptr<wce::FixedSensorSource> fixed_;
  std::function<bool()> ended_;
};

}  // namespace jphost
