// The slots' sounds and what the controls show of them and of the sound bank.
#pragma once

#include <windows.h>

// Shows slot `slot`'s sound on its grid button (big icon) and its Sounds-page
// row (small icon, pack and file name). An empty slot keeps what it showed.
void RefreshSlotControls(int slot);
// Puts the bank's first sound named `fileName` into slot 1..5; false when
// there is no bank or slots or no such slot. A name found nowhere leaves the
// slot as it was. The pack plays no part in the lookup.
bool AssignSlotByFileName(int slot, LPCWSTR fileName);
// The three sensitivity selectors get the entries "1" to "10".
void FillSensitivitySelectors();
// One row for each sound of the bank, in bank order; nothing selected.
void FillSoundList();
