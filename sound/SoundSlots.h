// The five sounds the user placed, numbered 1 to 5, each with its own player.
#pragma once

#include <windows.h>

#include <memory>

#include "sound/SoundBank.h"
#include "sound/WavePlayer.h"

class SoundSlots {
 public:
  static const int kSlotCount = 5;

  SoundSlots();
  virtual ~SoundSlots();
  SoundSlots(const SoundSlots&) = delete;
  SoundSlots& operator=(const SoundSlots&) = delete;

  // Replaces the slot's sound with a fresh player for `entry` (borrowed from the bank).
  bool Assign(int slot, const SoundEntry* entry);
  // NULL for an empty slot or a number outside 1..5.
  const SoundEntry* EntryOf(int slot) const;
  // True for any slot 1..5, also when it is empty or its player is silent.
  bool Play(int slot);
  bool Stop(int slot);
  bool StopAll();

 private:
  static bool IsSlot(int slot) { return slot >= 1 && slot <= kSlotCount; }

  const SoundEntry* entries[kSlotCount];
  std::unique_ptr<WavePlayer> players[kSlotCount];
};
