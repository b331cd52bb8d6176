// The kill test's subject: opens the hive named on its command line and saves
// it over and over, each save one new generation in every value, until it is
// killed. It prints nothing. Once the hive is open it writes one byte to the
// descriptor given as its second argument, so the test knows saving starts.
#include <regext.h>
#include <unistd.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>

#include "device/device.h"
#include "generation.h"
#include "registry/store.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  if (!wce::RegistryOpenHive(argv[1])) return 1;
  DWORD gen = 0;
  if (FAILED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, saver::kKey, L"Gen", &gen))) gen = 0;

  int ready = std::atoi(argv[2]);
  if (write(ready, "r", 1) != 1) return 1;
  close(ready);

  // Never outlives a test that lost track of it.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    auto result = wce::registry::SetValues(wce::registry::Root::LocalMachine, saver::kKey, saver::Generation(++gen));
    if (result != wce::registry::SetResult::Ok) return 1;
  }
  return 0;
}
