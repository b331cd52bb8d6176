#include "script_runner.h"

#include <algorithm>

#include "png_file.h"

namespace jphost {
namespace {

constexpr int64_t kDragStepMs = 16;  // about one frame

class Runner {
 public:
  Runner(ScriptTarget& target, std::ostream& log) : target_(target), log_(log) {}

  void Run(const ScriptStep& step) {
    switch (step.kind) {
      case StepKind::Wait: Wait(step.n[0]); break;
      case StepKind::Down: Pen(wce::PenAction::Down, step.n[0], step.n[1]); break;
      case StepKind::Move: Pen(wce::PenAction::Move, step.n[0], step.n[1]); break;
      case StepKind::Up: Pen(wce::PenAction::Up, step.n[0], step.n[1]); break;
      case StepKind::Tap:
        Pen(wce::PenAction::Down, step.n[0], step.n[1]);
        Pen(wce::PenAction::Up, step.n[0], step.n[1]);
        break;
      case StepKind::Drag: Drag(step); break;
      case StepKind::Accel:
        target_.Accel(static_cast<int16_t>(step.n[0]), static_cast<int16_t>(step.n[1]),
                      static_cast<int16_t>(step.n[2]));
        target_.Settle();
        break;
      case StepKind::Key:
        target_.Key(step.virtualKey, true);
        target_.Settle();
        target_.Key(step.virtualKey, false);
        target_.Settle();
        break;
      case StepKind::Activate: Then([&] { target_.Activate(true); }); break;
      case StepKind::Deactivate: Then([&] { target_.Activate(false); }); break;
      case StepKind::Close: Then([&] { target_.Close(); }); break;
      case StepKind::Shot: Shot(step); break;
    }
  }

 private:
  template <class Action>
  void Then(Action action) {
    action();
    target_.Settle();
  }

  void Wait(int64_t ms) {
    now_ += static_cast<uint64_t>(ms);
    target_.AdvanceTo(now_);
  }

  void Pen(wce::PenAction action, int64_t x, int64_t y) {
    Then([&] { target_.Pen(action, static_cast<int>(x), static_cast<int>(y)); });
  }

  void Drag(const ScriptStep& step) {
    const int64_t x1 = step.n[0], y1 = step.n[1], x2 = step.n[2], y2 = step.n[3], ms = step.n[4];
    const uint64_t start = now_;
    Pen(wce::PenAction::Down, x1, y1);
    const int moves = DragMoveCount(ms);
    for (int i = 1; i <= moves; ++i) {
      now_ = start + static_cast<uint64_t>(ms * i / moves);
      target_.AdvanceTo(now_);
      Pen(wce::PenAction::Move, x1 + (x2 - x1) * i / moves, y1 + (y2 - y1) * i / moves);
    }
    Pen(wce::PenAction::Up, x2, y2);
  }

  void Shot(const ScriptStep& step) {
    std::string error;
    if (!target_.Shot(step.path, error)) log_ << "jostlepad: script line " << step.line << ": " << error << "\n";
  }

  ScriptTarget& target_;
  std::ostream& log_;
  uint64_t now_ = 0;
};

}  // namespace

int DragMoveCount(int64_t ms) { return static_cast<int>(std::max<int64_t>(1, (ms + kDragStepMs - 1) / kDragStepMs)); }

ScriptOutcome RunScript(const std::vector<ScriptStep>& steps, ScriptTarget& target, std::ostream& log) {
  Runner runner(target, log);
  for (const ScriptStep& step : steps) {
    if (target.ProgramEnded()) {
      log << "jostlepad: the program ended before script line " << step.line << "; the rest is not run\n";
      return {true, step.line};
    }
    runner.Run(step);
  }
  if (!target.ProgramEnded()) target.ScriptEnded();
  return {};
}

void DeviceScriptTarget::AdvanceTo(uint64_t ms) { wce::ClockAdvanceTo(ms); }
void DeviceScriptTarget::Settle() { wce::ClockSettle(); }
void DeviceScriptTarget::Pen(wce::PenAction action, int x, int y) { wce::InjectPen(action, x, y); }
void DeviceScriptTarget::Key(uint32_t virtualKey, bool down) { wce::InjectKey(virtualKey, down); }
void DeviceScriptTarget::Activate(bool active) { wce::InjectActivate(active); }
void DeviceScriptTarget::Close() { wce::RequestClose(); }

void DeviceScriptTarget::Accel(int16_t x, int16_t y, int16_t z) {
  if (fixed_) fixed_->Set(x, y, z);
}

bool DeviceScriptTarget::Shot(const std::string& path, std::string& error) {
  wce::ClockSettle();
  return WritePng(path, wce::CaptureScreen(), error);
}

bool DeviceScriptTarget::ProgramEnded() { return ended_ && ended_(); }

void DeviceScriptTarget::ScriptEnded() {
  wce::ClockSettle();
  wce::Trace("resources " + wce::FormatResourceCounts(wce::CountResources()));
}

}  // namespace jphost
