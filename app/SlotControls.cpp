#include "app/SlotControls.h"

#include "app/AppState.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/ImageButton.h"
#include "ui/core/TwoLineButton.h"
#include "ui/core/ValueSelector.h"

namespace {

bool IsSlot(int slot) { return slot >= 1 && slot <= SoundSlots::kSlotCount; }

}  // namespace

void RefreshSlotControls(int slot) {
  if (!appState.soundSlots || !IsSlot(slot)) return;
  const SoundEntry* entry = appState.soundSlots->EntryOf(slot);
  if (entry == NULL) return;
  ImageButton* grid = appState.gridButton[slot - 1];
  if (grid != NULL) grid->SetImage(entry->bigIcon, ChannelIconImage);
  TwoLineButton* row = appState.slotButton[slot - 1];
  if (row != NULL) {
    row->SetImage(entry->smallIcon, ChannelIconImage).SetCaption(entry->packName);
    row->SetSubtitle(entry->fileName);
  }
}

bool AssignSlotByFileName(int slot, LPCWSTR fileName) {
  if (!appState.soundSlots || !appState.soundBank || !IsSlot(slot)) return false;
  return appState.soundSlots->Assign(slot, appState.soundBank->FindByFileName(fileName));
}

void FillSensitivitySelectors() {
  const LPCWSTR values[] = {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10"};
  for (ValueSelector* selector : appState.sensitivitySelector) {
    if (selector == NULL) continue;
    for (LPCWSTR value : values) selector->AddEntry(value);
  }
}

void FillSoundList() {
  ScrollList* list = appState.soundList;
  if (!appState.soundBank || list == NULL) return;
  for (int i = 0; i < appState.soundBank->Count(); ++i) {
    const SoundEntry* entry = appState.soundBank->At(i);
    if (entry == NULL) continue;
    ListItem item;
    // The names are the bank's MAX_PATH texts and fit a row's line.
    wcscpy_s(item.firstLine, kListTextLength, entry->packName);
    wcscpy_s(item.secondLine, kListTextLength, entry->fileName);
    item.icon = entry->smallIcon;
    item.userData = entry;
    list->AddItem(item);
  }
  list->SetSelection(-1);
}
