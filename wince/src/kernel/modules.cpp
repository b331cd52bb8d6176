// LoadLibraryW and friends over the device's built-in libraries, and the
// executable's own module name.
#include "kernel/modules.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "device/device.h"
#include "kernel/handles.h"
#include "kernel/paths.h"
#include "winbase.h"

namespace wce {

namespace {

struct LoadedModule {
  const BuiltinModule* module;
  int references = 1;
};

struct ModuleState {
  std::mutex mutex;
  // Every library this device may have; whether it has it is asked at load time.
  std::vector<const BuiltinModule*> builtins;
  HandleTable<LoadedModule> table{HandleKind::Module};
  std::map<const BuiltinModule*, uintptr_t> handles;  // one handle per loaded library
};

ModuleState& State() {
  static ModuleState state;
  return state;
}

// "\Windows\HTCSensorSDK.DLL", "htcsensorsdk.dll" and "HTCSensorSDK" all name
// the same library: no folder, no ".dll", no case.
std::wstring LibraryKey(std::wstring_view name) {
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring_view::npos) name.remove_prefix(slash + 1);
  std::wstring key;
  for (wchar_t c : name) key += FoldCase(c);
  if (key.size() > 4 && key.compare(key.size() - 4, 4, L".dll") == 0) key.resize(key.size() - 4);
  return key;
}

// With the state's mutex held.
const BuiltinModule* FindBuiltinLocked(const ModuleState& state, std::wstring_view name) {
  std::wstring key = LibraryKey(name);
  for (const BuiltinModule* module : state.builtins)
    if (LibraryKey(module->fileName) == key) return module;
  return nullptr;
}

bool IsProgram(HMODULE module) { return module == nullptr || module == ProgramInstance(); }

// Only the name of a built-in library, as the device would show it.
bool DeviceNameOf(HMODULE module, std::wstring& name) {
  if (IsProgram(module)) {
    name = PosixPathToDevice(ModulePosixPath());
    return true;
  }
  std::shared_ptr<LoadedModule> loaded = State().table.Lookup(module);
  if (!loaded) return false;
  name = std::wstring(L"\\Windows\\") + loaded->module->fileName;
  return true;
}

// Ordinals arrive as small integers in the name's place; none are exported.
bool IsOrdinal(LPCWSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

}  // namespace

void RegisterBuiltinModule(const BuiltinModule& module) {
  ModuleState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (std::find(state.builtins.begin(), state.builtins.end(), &module) == state.builtins.end())
    state.builtins.push_back(&module);
}

HMODULE ProgramInstance() { return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x10000)); }

void ModulesReset() {
  ModuleState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.table.Clear();
  state.handles.clear();
}

}  // namespace wce

using namespace wce;

extern "C" HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
  if (lpLibFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ModuleState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const BuiltinModule* module = FindBuiltinLocked(state, lpLibFileName);
  auto loaded = state.handles.find(module);
  if (module != nullptr && loaded != state.handles.end()) {
    // Loading again only counts up, as on the device; the handle stays.
    if (std::shared_ptr<LoadedModule> entry = state.table.Lookup(loaded->second)) {
      entry->references++;
      return reinterpret_cast<HMODULE>(loaded->second);
    }
    state.handles.erase(loaded);
  }
  if (module == nullptr || !module->available()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  uintptr_t handle = state.table.Insert(std::make_shared<LoadedModule>(LoadedModule{module}));
  state.handles[module] = handle;
  return reinterpret_cast<HMODULE>(handle);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  if (hLibModule == ProgramInstance()) return TRUE;
  ModuleState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  std::shared_ptr<LoadedModule> loaded = state.table.Lookup(hLibModule);
  if (!loaded) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (--loaded->references == 0) {
    state.table.Remove(hLibModule);
    state.handles.erase(loaded->module);
  }
  return TRUE;
}

extern "C" FARPROC WINAPI GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName) {
  if (IsProgram(hModule)) {  // the executable exports nothing
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  std::shared_ptr<LoadedModule> loaded = State().table.Lookup(hModule);
  if (!loaded) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!IsOrdinal(lpProcName)) {
    for (const ModuleExport& entry : loaded->module->exports)
      if (std::wcscmp(entry.name, lpProcName) == 0) return entry.proc;
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

extern "C" HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
  if (lpModuleName == nullptr) return ProgramInstance();
  ModuleState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const BuiltinModule* module = FindBuiltinLocked(state, lpModuleName);
  auto loaded = state.handles.find(module);
  if (module == nullptr || loaded == state.handles.end()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HMODULE>(loaded->second);
}

// A buffer too small gets the path cut to nSize - 1 characters and terminated;
// the result is nSize with ERROR_INSUFFICIENT_BUFFER. That is the later desktop
// contract; Windows CE and XP left the cut text unterminated, which no caller
// should rely on, and a terminated text can never be overrun by the next copy.
extern "C" DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
  std::wstring name;
  if (!DeviceNameOf(hModule, name)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (lpFilename == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (name.size() >= nSize) {
    std::copy_n(name.begin(), nSize - 1, lpFilename);
    lpFilename[nSize - 1] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::copy(name.begin(), name.end(), lpFilename);
  lpFilename[name.size()] = L'\0';
  return static_cast<DWORD>(name.size());
}
