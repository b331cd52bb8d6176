#include "sound/SoundBank.h"

#include <aygshell.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>
#include <numeric>

#include "ui/core/GrowArray.h"

namespace {

const int kFirstCapacity = 16;

// Joins the parts into a MAX_PATH buffer. A result that would not fit is
// refused (empty, false) rather than cut into some other file's name.
bool Join(WCHAR* out, LPCWSTR a, LPCWSTR b, LPCWSTR c = L"", LPCWSTR d = L"") {
  out[0] = L'\0';
  if (wcslen(a) + wcslen(b) + wcslen(c) + wcslen(d) >= MAX_PATH) return false;
  return wcscpy_s(out, MAX_PATH, a) == 0 && wcscat_s(out, MAX_PATH, b) == 0 &&
         wcscat_s(out, MAX_PATH, c) == 0 && wcscat_s(out, MAX_PATH, d) == 0;
}

// Missing and empty texts are both stored empty.
bool CopyText(WCHAR* out, LPCWSTR text) {
  out[0] = L'\0';
  if (text == NULL || text[0] == L'\0') return true;
  if (wcslen(text) >= MAX_PATH) return false;
  return wcscpy_s(out, MAX_PATH, text) == 0;
}

bool IsDirectory(const WIN32_FIND_DATAW& item) {
  return (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Windows CE lists no "." and "..", desktop Windows does: they are no packs.
bool IsDotEntry(const WIN32_FIND_DATAW& item) {
  return wcscmp(item.cFileName, L".") == 0 || wcscmp(item.cFileName, L"..") == 0;
}

struct SortRule {
  const WCHAR (SoundEntry::*key)[MAX_PATH];
  bool descending;
};

// Indexed by SoundBank::SortOrder.
const SortRule kSortRules[] = {
    {&SoundEntry::packName, false},
    {&SoundEntry::packName, true},
    {&SoundEntry::fileName, false},
    {&SoundEntry::fileName, true},
};

int CompareKeys(const SoundEntry& a, const SoundEntry& b, const SortRule& rule) {
  return _wcsicmp(a.*rule.key, b.*rule.key);
}

// The pack's pictures are named after it: Drums has DrumsB.png (big) and
// DrumsS.png (small), matched with case; a plain B.png or S.png is not one.
void LoadPackPictures(LPCWSTR soundsFolder, LPCWSTR packName, HBITMAP* bigIcon, HBITMAP* smallIcon) {
  WCHAR bigName[MAX_PATH];
  WCHAR smallName[MAX_PATH];
  WCHAR pattern[MAX_PATH];
  if (!Join(bigName, packName, L"B.png") || !Join(smallName, packName, L"S.png") ||
      !Join(pattern, soundsFolder, packName, L"\\*.png")) {
    return;
  }
  WIN32_FIND_DATAW item;
  HANDLE search = FindFirstFileW(pattern, &item);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    HBITMAP* picture = NULL;
    if (wcscmp(item.cFileName, bigName) == 0) {
      picture = bigIcon;
    } else if (wcscmp(item.cFileName, smallName) == 0) {
      picture = smallIcon;
    }
    WCHAR path[MAX_PATH];
    if (picture != NULL && *picture == NULL && Join(path, soundsFolder, packName, L"\\", item.cFileName)) {
      *picture = SHLoadImageFile(path);
    }
  } while (FindNextFileW(search, &item));
  FindClose(search);
}

}  // namespace

SoundBank::SoundBank() : entries(NULL), count(0), capacity(0) {}

SoundBank::~SoundBank() {
  // The pictures are borrowed by the slot buttons and live as long as the process.
  free(entries);
}

void SoundBank::Clear() { count = 0; }

bool SoundBank::Add(LPCWSTR packName, LPCWSTR fileName, LPCWSTR filePath, HBITMAP bigIcon,
                    HBITMAP smallIcon) {
  SoundEntry entry;
  if (!CopyText(entry.packName, packName) || !CopyText(entry.fileName, fileName) ||
      !CopyText(entry.filePath, filePath)) {
    return false;
  }
  entry.bigIcon = bigIcon;
  entry.smallIcon = smallIcon;
  if (!GrowArray(&entries, count, &capacity, kFirstCapacity)) return false;
  entries[count++] = entry;
  return true;
}

bool SoundBank::Scan(LPCWSTR soundsFolder) {
  Clear();
  if (soundsFolder == NULL) return false;
  WCHAR pattern[MAX_PATH];
  if (!Join(pattern, soundsFolder, L"*")) return false;
  WIN32_FIND_DATAW item;
  HANDLE search = FindFirstFileW(pattern, &item);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    if (IsDirectory(item) && !IsDotEntry(item)) ScanPack(soundsFolder, item.cFileName);
  } while (FindNextFileW(search, &item));
  FindClose(search);
  return true;
}

bool SoundBank::ScanPack(LPCWSTR soundsFolder, LPCWSTR packName) {
  if (soundsFolder == NULL || packName == NULL) return false;
  WCHAR pattern[MAX_PATH];
  if (!Join(pattern, soundsFolder, packName, L"\\*.wav")) return false;
  HBITMAP bigIcon = NULL;
  HBITMAP smallIcon = NULL;
  LoadPackPictures(soundsFolder, packName, &bigIcon, &smallIcon);

  WIN32_FIND_DATAW item;
  HANDLE search = FindFirstFileW(pattern, &item);
  if (search == INVALID_HANDLE_VALUE) return true;
  do {
    WCHAR path[MAX_PATH];
    if (IsDirectory(item)) continue;
    if (!Join(path, soundsFolder, packName, L"\\", item.cFileName)) continue;
    Add(packName, item.cFileName, path, bigIcon, smallIcon);
  } while (FindNextFileW(search, &item));
  FindClose(search);
  return true;
}

const SoundEntry* SoundBank::At(int index) const {
  if (index < 0 || index >= count) return NULL;
  return &entries[index];
}

const SoundEntry* SoundBank::FindByFileName(LPCWSTR fileName) const {
  if (fileName == NULL) return NULL;
  for (int i = 0; i < count; ++i) {
    if (wcscmp(entries[i].fileName, fileName) == 0) return &entries[i];
  }
  return NULL;
}

void SoundBank::Sort(SortOrder order) {
  if (order < PackNameAscending || order > FileNameDescending) return;
  // The ascending orders are plain stable sorts; the descending ones swap
  // equal names too, which only the pairwise walk reproduces.
  if (kSortRules[order].descending || !StableSortAscending(order)) BubbleSort(order);
}

void SoundBank::BubbleSort(SortOrder order) {
  const SortRule& rule = kSortRules[order];
  for (int pass = 0; pass < count; ++pass) {
    for (int k = 0; k + 1 < count - pass; ++k) {
      int cmp = CompareKeys(entries[k], entries[k + 1], rule);
      bool swap = rule.descending ? cmp <= 0 : cmp > 0;
      if (swap) std::swap(entries[k], entries[k + 1]);
    }
  }
}

bool SoundBank::StableSortAscending(SortOrder order) {
  if (count < 2) return true;
  // Entries are big records: sort their indexes, then move each entry once.
  int* from = new (std::nothrow) int[count];
  if (from == NULL) return false;
  const SortRule& rule = kSortRules[order];
  std::iota(from, from + count, 0);
  std::stable_sort(from, from + count, [&](int a, int b) {
    return CompareKeys(entries[a], entries[b], rule) < 0;
  });
  // Position i takes the entry that was at from[i]; follow each cycle once.
  for (int i = 0; i < count; ++i) {
    if (from[i] == i) continue;
    SoundEntry held = entries[i];
    int j = i;
    for (;;) {
      int k = from[j];
      from[j] = j;
      if (k == i) {
        entries[j] = held;
        break;
      }
      entries[j] = entries[k];
      j = k;
    }
  }
  delete[] from;
  return true;
}
