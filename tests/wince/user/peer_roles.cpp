// The other process of the single-instance tests. When this binary starts
// with JP_USER_PEER_ROLE set, it plays that role on a device of its own and
// exits before any test runs.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "device/device.h"
#include "device/internal.h"
#include "peer.h"
#include "user_fixture.h"

namespace usertest {
namespace {

constexpr UINT kReleased = WM_APP + 1;

std::string Setting(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

void StartDevice() {
  wce::ClockReset(wce::ClockMode::Virtual);
  wce::internal::UserReset();
  wce::internal::UserStart(Setting("JP_PEER_DIR"));
  WNDCLASSW wc{};
  wc.lpfnWndProc = LogProc;
  wc.lpszClassName = L"PeerClass";
  RegisterClassW(&wc);
  wce::RegisterProgramThread();
}

// The first start: a minimised window, served to the other processes until
// the test lets go; then what happened to it, one fact a line.
int Serve() {
  StartDevice();
  TraceLog trace;
  HWND w = CreateWindowExW(0, L"PeerClass", Wide(Setting("JP_PEER_TITLE")).c_str(), WS_VISIBLE, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  if (!w) return 3;
  ShowWindow(w, SW_MINIMIZE);
  ClearLog();
  trace.Take();

  DWORD me = GetCurrentThreadId();
  std::thread watcher([me] {
    char c = 0;
    while (read(0, &c, 1) > 0) {
    }
    PostThreadMessageW(me, kReleased, 0, 0);
  });
  if (write(3, "r", 1) != 1) return 4;
  close(3);
  MSG m{};
  while (GetMessageW(&m, nullptr, 0, 0) > 0 && m.message != kReleased) DispatchMessageW(&m);
  watcher.join();

  std::ofstream out(Setting("JP_PEER_OUT"));
  for (const std::string& event : trace.Take()) out << event << "\n";
  for (const Logged& l : LoggedOf(WM_ACTIVATE)) out << "WM_ACTIVATE " << l.wParam << "\n";
  out << "iconic " << (IsIconic(w) ? 1 : 0) << "\n";
  out << "foreground " << (GetForegroundWindow() == w ? 1 : 0) << "\n";
  wce::internal::UserReset();
  wce::internal::UserStart("");
  return 0;
}

// The second start: finds the first one's window and brings it forward.
int FindAndRaise() {
  StartDevice();
  HWND found = FindWindowW(L"LOGCLASS", Wide(Setting("JP_PEER_TITLE")).c_str());
  BOOL raised = found ? SetForegroundWindow(WithLowBit(found)) : FALSE;
  std::ofstream out(Setting("JP_PEER_OUT"));
  out << "found " << (found ? 1 : 0) << "\n";
  out << "valid " << (IsWindow(found) ? 1 : 0) << "\n";
  out << "raised " << (raised ? 1 : 0) << "\n";
  wce::internal::UserStart("");
  return 0;
}

int PlayRole(const std::string& role) {
  if (role == "serve") return Serve();
  if (role == "find-and-raise") return FindAndRaise();
  return 2;
}

[[maybe_unused]] const bool kPlayedRole = [] {
  if (const char* role = std::getenv(kPeerRoleVariable)) std::exit(PlayRole(role));
  return false;
}();

}  // namespace
}  // namespace usertest
