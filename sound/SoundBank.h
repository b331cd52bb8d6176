// The catalogue of every WAV file of every sound pack (sub-folders of Sounds\).
#pragma once

#include <windows.h>

struct SoundEntry {
  WCHAR packName[MAX_PATH];
  WCHAR fileName[MAX_PATH];
  WCHAR filePath[MAX_PATH];
  HBITMAP bigIcon;    // shared by every entry of the pack
  HBITMAP smallIcon;  // shared by every entry of the pack
};

class SoundBank {
 public:
  enum SortOrder { PackNameAscending, PackNameDescending, FileNameAscending, FileNameDescending };

  SoundBank();
  virtual ~SoundBank();
  SoundBank(const SoundBank&) = delete;
  SoundBank& operator=(const SoundBank&) = delete;

  // Empties the bank and adds every pack of `soundsFolder` (ends in a backslash);
  // false when that folder lists nothing.
  bool Scan(LPCWSTR soundsFolder);
  // Adds the WAV files of one pack, with the pack's two pictures.
  bool ScanPack(LPCWSTR soundsFolder, LPCWSTR packName);
  // Appends one entry; false when a text does not fit or memory runs out.
  bool Add(LPCWSTR packName, LPCWSTR fileName, LPCWSTR filePath, HBITMAP bigIcon, HBITMAP smallIcon);
  // Case-insensitive; equal names keep their order in the ascending orders.
  void Sort(SortOrder order);

  int Count() const { return count; }
  // NULL past the end. Entries stay put until the next scan or sort.
  const SoundEntry* At(int index) const;
  // The first entry in bank order whose file name matches exactly (case counts).
  const SoundEntry* FindByFileName(LPCWSTR fileName) const;

 private:
  void Clear();
  void BubbleSort(SortOrder order);
  bool StableSortAscending(SortOrder order);

  SoundEntry* entries;
  int count;
  int capacity;
};
