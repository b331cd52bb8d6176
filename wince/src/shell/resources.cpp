// The executable's resources: LoadBitmapW and LoadIconW find them by number in
// the table the build made from resources/, LoadCursorW gives stock cursors.

#include <windows.h>

#include <map>
#include <mutex>
#include <new>
#include <utility>

#include "device/device.h"
#include "gdi/bitmap.h"
#include "kernel/modules.h"
#include "shell/icon_file.h"
#include "shell/icons.h"
#include "shell/shell_internal.h"

namespace wce {
namespace {

constexpr WORD kIdcArrow = 32512;
constexpr WORD kIdcWait = 32514;
constexpr WORD kIdiApplication = 32512;
constexpr int kIconSide = 32;  // at 96 dpi

struct ModuleTable {
  std::mutex lock;
  const EmbeddedResource* table = nullptr;
  size_t count = 0;
};

ModuleTable& Module() {
  static ModuleTable module;
  return module;
}

struct IconObject {
  std::shared_ptr<const shell::Picture> picture;  // none for stock cursors and icons
};

// Icons load once and are shared, as the platform shares what LoadIconW
// returns; a reset of the device drops them all.
struct IconState {
  std::mutex lock;
  HandleTable<IconObject> handles{shell::kIconHandleKind};
  std::map<WORD, HICON> loaded;     // the program's icons by number
  std::map<WORD, HICON> stock;      // cursors and system icons by number
  std::map<WORD, HICON> stockIcons;
};

IconState& Icons() {
  static auto* state = new IconState;  // handles may be asked about while threads end
  return *state;
}

HICON NewIcon(std::shared_ptr<const shell::Picture> picture) {
  return reinterpret_cast<HICON>(Icons().handles.Insert(std::make_shared<IconObject>(IconObject{std::move(picture)})));
}

// MAKEINTRESOURCE(n) or the text "#n"; named resources do not exist here.
bool ResourceNumber(LPCWSTR name, WORD& id) {
  if (name == nullptr) return false;
  if (IS_INTRESOURCE(name)) {
    id = LOWORD(reinterpret_cast<ULONG_PTR>(name));
    return true;
  }
  if (name[0] != L'#' || name[1] == 0) return false;
  unsigned long value = 0;
  for (const wchar_t* p = name + 1; *p; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    value = value * 10 + static_cast<unsigned long>(*p - L'0');
    if (value > 0xFFFF) return false;
  }
  id = static_cast<WORD>(value);
  return true;
}

// The program's own resources answer to its instance and, here, to NULL.
bool IsProgram(HINSTANCE instance) { return instance == nullptr || instance == ProgramInstance(); }

const EmbeddedResource* FindEmbedded(ResourceKind kind, LPCWSTR name) {
  WORD id = 0;
  if (!ResourceNumber(name, id)) return nullptr;
  ModuleTable& m = Module();
  std::lock_guard<std::mutex> guard(m.lock);
  for (size_t i = 0; i < m.count; ++i)
    if (m.table[i].kind == kind && m.table[i].id == id) return &m.table[i];
  return nullptr;
}

// A resource that cannot be had: which error says why.
template <class Handle>
Handle Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

HBITMAP DecodeBitmapResource(const EmbeddedResource& resource) {
  std::optional<shell::Picture> picture = shell::DecodeBmpFile(resource.bytes, resource.size);
  if (!picture) return Fail<HBITMAP>(ERROR_INVALID_DATA);
  gdi::Bitmap bitmap;
  bitmap.width = picture->width;
  bitmap.height = picture->height;
  bitmap.pixels = std::move(picture->pixels);
  for (uint32_t& p : bitmap.pixels) p &= 0xFFFFFF;
  HBITMAP handle = gdi::AddBitmap(std::move(bitmap));
  return handle ? handle : Fail<HBITMAP>(ERROR_NOT_ENOUGH_MEMORY);
}

// Stock cursors and system icons: handles the device knows, with no picture
// (the phone shows no pointer, and nothing here draws system icons).
HICON StockHandle(std::map<WORD, HICON>& stock, WORD id) {
  IconState& s = Icons();
  std::lock_guard<std::mutex> guard(s.lock);
  auto found = stock.find(id);
  if (found != stock.end()) return found->second;
  HICON handle = NewIcon(nullptr);
  stock[id] = handle;
  return handle;
}

HICON ProgramIcon(LPCWSTR name) {
  const EmbeddedResource* resource = FindEmbedded(ResourceKind::Icon, name);
  if (!resource) return Fail<HICON>(ERROR_RESOURCE_NAME_NOT_FOUND);
  IconState& s = Icons();
  std::lock_guard<std::mutex> guard(s.lock);
  auto found = s.loaded.find(resource->id);
  if (found != s.loaded.end()) return found->second;
  int dpi = GetScreenDpiX();
  int side = dpi > 0 ? (kIconSide * dpi + 48) / 96 : kIconSide;
  std::optional<shell::Picture> picture = shell::DecodeIconFile(resource->bytes, resource->size, side);
  if (!picture) return Fail<HICON>(ERROR_INVALID_DATA);
  HICON handle = NewIcon(std::make_shared<const shell::Picture>(std::move(*picture)));
  s.loaded[resource->id] = handle;
  return handle;
}

bool IsNumber(LPCWSTR name, WORD id) { return IS_INTRESOURCE(name) && LOWORD(reinterpret_cast<ULONG_PTR>(name)) == id; }

}  // namespace

void SetModuleResources(const EmbeddedResource* table, size_t count) {
  ModuleTable& m = Module();
  std::lock_guard<std::mutex> guard(m.lock);
  m.table = table;
  m.count = table ? count : 0;
}

namespace shell {

std::shared_ptr<const Picture> IconPicture(HICON icon) {
  std::shared_ptr<IconObject> object = Icons().handles.Lookup(icon);
  return object ? object->picture : nullptr;
}

void ResourcesReset() {
  IconState& s = Icons();
  std::lock_guard<std::mutex> guard(s.lock);
  s.loaded.clear();
  s.stock.clear();
  s.stockIcons.clear();
  s.handles.Clear();
}

}  // namespace shell
}  // namespace wce

using namespace wce;

extern "C" {

HBITMAP WINAPI LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName) {
  if (!IsProgram(hInstance)) return Fail<HBITMAP>(ERROR_RESOURCE_DATA_NOT_FOUND);
  const EmbeddedResource* resource = FindEmbedded(ResourceKind::Bitmap, lpBitmapName);
  if (!resource) return Fail<HBITMAP>(ERROR_RESOURCE_NAME_NOT_FOUND);
  try {
    return DecodeBitmapResource(*resource);
  } catch (const std::bad_alloc&) {
    return Fail<HBITMAP>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
  if (hInstance == nullptr && IsNumber(lpIconName, kIdiApplication)) return StockHandle(Icons().stockIcons, kIdiApplication);
  if (!IsProgram(hInstance)) return Fail<HICON>(ERROR_RESOURCE_DATA_NOT_FOUND);
  try {
    return ProgramIcon(lpIconName);
  } catch (const std::bad_alloc&) {
    return Fail<HICON>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
  // The program carries no cursors; the system has the arrow and the hourglass.
  if (hInstance != nullptr) return Fail<HCURSOR>(IsProgram(hInstance) ? ERROR_RESOURCE_NAME_NOT_FOUND
                                                                       : ERROR_RESOURCE_DATA_NOT_FOUND);
  if (IsNumber(lpCursorName, kIdcArrow)) return StockHandle(Icons().stock, kIdcArrow);
  if (IsNumber(lpCursorName, kIdcWait)) return StockHandle(Icons().stock, kIdcWait);
  return Fail<HCURSOR>(ERROR_RESOURCE_NAME_NOT_FOUND);
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
  // Every icon here is shared or stock: the call succeeds and the icon stays
  // for whoever else holds it, as the platform treats shared icons.
  if (Icons().handles.Lookup(hIcon)) return TRUE;
  SetLastError(ERROR_INVALID_CURSOR_HANDLE);
  return FALSE;
}

}  // extern "C"
