// Built-in libraries through LoadLibraryW/GetProcAddressW, and the
// executable's own name.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "device/device.h"
#include "device/internal.h"
#include "windows.h"

namespace {

class Modules : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::internal::KernelReset();
    wce::internal::SensorReset();  // the library these tests load
    wce::SetSensorSource(nullptr);
  }
  void TearDown() override {
    wce::internal::KernelReset();
    wce::SetSensorSource(nullptr);
    wce::SetModulePath("");
  }
  void GiveSensor() { wce::SetSensorSource(std::make_shared<wce::FixedSensorSource>()); }
};

TEST_F(Modules, SensorLibraryLoadsOnlyWithASource) {
  EXPECT_EQ(LoadLibraryW(L"HTCSensorSDK.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  GiveSensor();
  HMODULE module = LoadLibraryW(L"HTCSensorSDK.dll");
  ASSERT_NE(module, nullptr);
  // Another spelling of the same library is the same module.
  EXPECT_EQ(LoadLibraryW(L"\\Windows\\htcsensorsdk.DLL"), module);
  EXPECT_EQ(LoadLibraryW(L"HTCSENSORSDK"), module);
  EXPECT_EQ(GetModuleHandleW(L"HTCSensorSDK.dll"), module);
  // Once loaded it stays, even when the source goes.
  wce::SetSensorSource(nullptr);
  EXPECT_EQ(LoadLibraryW(L"HTCSensorSDK.dll"), module);
  EXPECT_NE(GetProcAddressW(module, L"HTCSensorOpen"), nullptr);
}

TEST_F(Modules, UnknownLibrariesAreNotFound) {
  GiveSensor();
  const wchar_t* names[] = {L"coredll.dll", L"HTCSensorSDK.dl", L"HTCSensorSDK2.dll", L"", L"\\Windows\\"};
  for (const wchar_t* name : names) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(name), nullptr) << name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND)) << name;
  }
  EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
}

TEST_F(Modules, ExportsMatchExactly) {
  GiveSensor();
  HMODULE module = LoadLibraryW(L"HTCSensorSDK.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddressW(module, L"HTCSensorOpen"), nullptr);
  EXPECT_NE(GetProcAddressW(module, L"HTCSensorGetDataOutput"), nullptr);
  EXPECT_NE(GetProcAddressW(module, L"HTCSensorClose"), nullptr);
  const wchar_t* missing[] = {L"htcsensoropen", L"HTCSensorOpen ", L"HTCSensor", L""};
  for (const wchar_t* name : missing) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddressW(module, name), nullptr) << name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND)) << name;
  }
  // An ordinal in the name's place is a small number, never read as text.
  EXPECT_EQ(GetProcAddressW(module, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(1))), nullptr);
  EXPECT_EQ(GetProcAddressW(nullptr, L"HTCSensorOpen"), nullptr);
}

TEST_F(Modules, HandlesCountLoadsAndDieWithTheLastFreeOrAReset) {
  GiveSensor();
  HMODULE module = LoadLibraryW(L"HTCSensorSDK.dll");
  ASSERT_EQ(LoadLibraryW(L"HTCSensorSDK.dll"), module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_NE(GetProcAddressW(module, L"HTCSensorOpen"), nullptr);  // one load still holds it
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetProcAddressW(module, L"HTCSensorOpen"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleW(L"HTCSensorSDK.dll"), nullptr);

  module = LoadLibraryW(L"HTCSensorSDK.dll");
  ASSERT_NE(module, nullptr);
  wce::internal::KernelReset();
  EXPECT_EQ(GetProcAddressW(module, L"HTCSensorOpen"), nullptr);
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x4242))));
}

TEST_F(Modules, ModuleFileNameIsTheDevicePathOfTheExecutable) {
  wce::SetModulePath("/opt/jp/Jostlepad.exe");
  wchar_t name[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameW(nullptr, name, MAX_PATH), 21u);
  EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), name, MAX_PATH), 21u);

  wce::SetModulePath("/opt/\xC3\xA9t\xC3\xA9/jp");
  EXPECT_EQ(GetModuleFileNameW(nullptr, name, MAX_PATH), 11u);
  EXPECT_STREQ(name, L"\\opt\\\u00e9t\u00e9\\jp");

  // Relative paths are made absolute, as a device reports them.
  wce::SetModulePath("bin/Jostlepad");
  GetModuleFileNameW(nullptr, name, MAX_PATH);
  EXPECT_EQ(wce::DevicePathToPosix(name), (std::filesystem::current_path() / "bin/Jostlepad").string());

  wce::SetModulePath("");  // back to the real executable
  GetModuleFileNameW(nullptr, name, MAX_PATH);
  EXPECT_EQ(wce::DevicePathToPosix(name), std::filesystem::read_symlink("/proc/self/exe").string());
}

TEST_F(Modules, ModuleFileNameIsCutAndTerminatedWhenTheBufferIsSmall) {
  wce::SetModulePath("/opt/jp/Jostlepad.exe");
  wchar_t name[32];
  std::fill(name, name + 32, L'#');
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameW(nullptr, name, 5), 5u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_STREQ(name, L"\\opt");
  EXPECT_EQ(name[5], L'#');
  EXPECT_EQ(GetModuleFileNameW(nullptr, name, 21), 21u);  // no room for the terminator
  EXPECT_EQ(std::wstring(name), L"\\opt\\jp\\Jostlepad.ex");
  EXPECT_EQ(GetModuleFileNameW(nullptr, name, 22), 21u);  // exactly enough
  EXPECT_STREQ(name, L"\\opt\\jp\\Jostlepad.exe");
  EXPECT_EQ(GetModuleFileNameW(nullptr, name, 0), 0u);
  EXPECT_EQ(GetModuleFileNameW(nullptr, nullptr, 10), 0u);
}

TEST_F(Modules, LibraryFileNames) {
  GiveSensor();
  HMODULE module = LoadLibraryW(L"htcsensorsdk");
  wchar_t name[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameW(module, name, MAX_PATH), 25u);
  EXPECT_STREQ(name, L"\\Windows\\HTCSensorSDK.dll");
  FreeLibrary(module);
  EXPECT_EQ(GetModuleFileNameW(module, name, MAX_PATH), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
