#include "app/SlotControls.h"

#include "app/AppState.h"

namespace {

bool IsSlot(int slot) { return slot >= 1 && slot <= SoundSlots::SlotCount; }

}  // namespace

void RefreshSlotControls(int slot) {
  if (!appState.soundSlots || !IsSlot(slot)) return;
  const SoundEntry* entry = appState.soundSlots->EntryOf(slot);
  if (entry == NULL) return;
  // Once the buttons exist: gridButton[slot - 1] takes entry->bigIcon as its
  // icon (channel 13); slotButton[slot - 1] takes entry->smallIcon as its icon,
  // entry->packName as caption and entry->fileName as subtitle.
}

bool AssignSlotByFileName(int slot, LPCWSTR fileName) {
  if (!appState.soundSlots || !appState.soundBank || !IsSlot(slot)) return false;
  return appState.soundSlots->Assign(slot, appState.soundBank->FindByFileName(fileName));
}

void FillSensitivitySelectors() {
  // Each of the three selectors, once it exists, gets "1" to "10" in order.
}

void FillSoundList() {
  if (!appState.soundBank || appState.soundList == nullptr) return;
  // With the list: a row per entry (pack name, file name, small icon, the
  // entry as user data), then no selection.
}
