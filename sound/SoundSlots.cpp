#include "sound/SoundSlots.h"

#include <new>

SoundSlots::SoundSlots() {
  for (const SoundEntry*& entry : entries) entry = NULL;
}

SoundSlots::~SoundSlots() {}

bool SoundSlots::Assign(int slot, const SoundEntry* entry) {
  if (!IsSlot(slot) || entry == NULL) return false;
  // The old player goes first: its device is reset before its buffer is freed.
  players[slot - 1].reset();
  entries[slot - 1] = entry;
  // A player that cannot read its file is kept all the same; it stays silent.
  players[slot - 1].reset(new (std::nothrow) WavePlayer(entry->filePath));
  return true;
}

const SoundEntry* SoundSlots::EntryOf(int slot) const { return IsSlot(slot) ? entries[slot - 1] : NULL; }

bool SoundSlots::Play(int slot) {
  if (!IsSlot(slot)) return false;
  if (players[slot - 1]) players[slot - 1]->Play();
  return true;
}

bool SoundSlots::Stop(int slot) {
  if (!IsSlot(slot)) return false;
  if (players[slot - 1]) players[slot - 1]->Stop();
  return true;
}

bool SoundSlots::StopAll() {
  for (int slot = 1; slot <= kSlotCount; ++slot) Stop(slot);
  return true;
}
