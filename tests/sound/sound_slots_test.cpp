// Five slots over the recording sink.
#include <windows.h>

#include <string.h>

#include "recording.h"
#include "sound/SoundSlots.h"

namespace {

using jptest::Constant;
using jptest::FrameAt;
using jptest::MonoWav;
using jptest::Ramp;

SoundEntry Entry(const std::wstring& path) {
  SoundEntry entry = {};
  wcsncpy(entry.filePath, path.c_str(), MAX_PATH - 1);
  return entry;
}

// Frames [from, to) must equal expected(frame).
template <typename Expected>
void ExpectFrames(const std::vector<int16_t>& heard, size_t from, size_t to, Expected expected) {
  ASSERT_GE(heard.size(), to);
  for (size_t f = from; f < to; ++f) {
    if (heard[f] != expected(f)) {
      ADD_FAILURE() << "frame " << f << ": heard " << heard[f] << ", expected " << expected(f);
      return;
    }
  }
}

int16_t Silence(size_t) { return 0; }

using SoundSlotsTest = jptest::RecordingTest;

TEST_F(SoundSlotsTest, OnlySlotsOneToFiveExistAndEmptyOnesAnswerTrue) {
  SoundEntry entry = Entry(WriteSound("a.wav", MonoWav(Ramp(48))));
  SoundEntry gone = Entry(L"\\nowhere\\gone.wav");
  SoundSlots slots;
  for (int slot : {0, 6, -1}) {
    EXPECT_FALSE(slots.Assign(slot, &entry)) << slot;
    EXPECT_EQ(slots.EntryOf(slot), nullptr) << slot;
    EXPECT_FALSE(slots.Play(slot)) << slot;
    EXPECT_FALSE(slots.Stop(slot)) << slot;
  }
  EXPECT_FALSE(slots.Assign(1, nullptr));
  for (int slot = 1; slot <= 5; ++slot) {
    EXPECT_EQ(slots.EntryOf(slot), nullptr);
    EXPECT_TRUE(slots.Play(slot));
    EXPECT_TRUE(slots.Stop(slot));
  }
  EXPECT_TRUE(slots.StopAll());
  // A slot whose file is gone keeps its entry and plays nothing.
  EXPECT_TRUE(slots.Assign(2, &gone));
  EXPECT_EQ(slots.EntryOf(2), &gone);
  EXPECT_TRUE(slots.Play(2));
  wce::ClockAdvanceTo(10);
  ExpectFrames(FinishRecording(), 0, FrameAt(10), Silence);
}

TEST_F(SoundSlotsTest, SlotsSoundTogetherAndARetriggerRestartsOnlyItsSlot) {
  SoundEntry ramp = Entry(WriteSound("ramp.wav", MonoWav(Ramp(2400))));
  SoundEntry tone = Entry(WriteSound("tone.wav", MonoWav(Constant(480, 10000))));
  SoundSlots slots;
  ASSERT_TRUE(slots.Assign(1, &ramp));
  ASSERT_TRUE(slots.Assign(3, &tone));
  EXPECT_TRUE(slots.Play(1));
  wce::ClockAdvanceTo(5);
  EXPECT_TRUE(slots.Play(3));
  wce::ClockAdvanceTo(10);
  EXPECT_TRUE(slots.Play(3));
  wce::ClockAdvanceTo(30);
  EXPECT_TRUE(slots.StopAll());
  wce::ClockAdvanceTo(40);
  std::vector<int16_t> heard = FinishRecording();
  // Slot 1 runs on undisturbed; slot 3 adds 10000 from 5 ms, restarted at 10 ms.
  auto rampAt = [](size_t f) { return static_cast<int16_t>(f + 1); };
  ExpectFrames(heard, 0, FrameAt(5), rampAt);
  ExpectFrames(heard, FrameAt(5), FrameAt(20), [&](size_t f) { return static_cast<int16_t>(rampAt(f) + 10000); });
  ExpectFrames(heard, FrameAt(20), FrameAt(30), rampAt);
  ExpectFrames(heard, FrameAt(30), FrameAt(40), Silence);
}

TEST_F(SoundSlotsTest, AssigningOverAPlayingSlotSilencesTheOldSound) {
  SoundEntry first = Entry(WriteSound("first.wav", MonoWav(Ramp(960))));
  SoundEntry second = Entry(WriteSound("second.wav", MonoWav(Constant(240, 7000))));
  SoundSlots slots;
  ASSERT_TRUE(slots.Assign(4, &first));
  EXPECT_TRUE(slots.Play(4));
  wce::ClockAdvanceTo(5);
  ASSERT_TRUE(slots.Assign(4, &second));
  EXPECT_EQ(slots.EntryOf(4), &second);
  wce::ClockAdvanceTo(10);
  EXPECT_TRUE(slots.Play(4));
  wce::ClockAdvanceTo(20);
  std::vector<int16_t> heard = FinishRecording();
  ExpectFrames(heard, 0, FrameAt(5), [](size_t f) { return static_cast<int16_t>(f + 1); });
  ExpectFrames(heard, FrameAt(5), FrameAt(10), Silence);
  ExpectFrames(heard, FrameAt(10), FrameAt(15), [](size_t) { return int16_t{7000}; });
  ExpectFrames(heard, FrameAt(15), FrameAt(20), Silence);
}

}  // namespace
