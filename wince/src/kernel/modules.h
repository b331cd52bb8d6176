// Inside the device: the libraries LoadLibraryW can find. There are no DLL
// files here; each library is built in, with a table of exports and a test of
// whether this device has it at all.
#pragma once

#include <string>
#include <vector>

#include "windef.h"

namespace wce {

struct ModuleExport {
  const wchar_t* name;  // matched exactly, as GetProcAddressW does on the device
  FARPROC proc;
};

struct BuiltinModule {
  const wchar_t* fileName;  // e.g. L"HTCSensorSDK.dll"
  std::vector<ModuleExport> exports;
  bool (*available)();      // false: the device lacks the library
};

// Makes a built-in library known to LoadLibraryW; the area that brings one
// registers it at device set-up. Registering a module again changes nothing.
void RegisterBuiltinModule(const BuiltinModule& module);

// What the program's own instance handle is (GetModuleHandleW(NULL)); a fixed
// value like an executable's load address, outside every handle table.
HMODULE ProgramInstance();

// Forgets every loaded module (device reset); the registered ones stay known.
void ModulesReset();

}  // namespace wce
