// FindWindowW and SetForegroundWindow, in this process and across two
// processes of one device.
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "device/internal.h"
#include "peer.h"
#include "test_files.h"
#include "user/rendezvous.h"
#include "user_fixture.h"

namespace usertest {
namespace {

class FindWindowTest : public UserTest {
 protected:
  void TearDown() override {
    wce::internal::UserStart("");
    UserTest::TearDown();
  }
};

// 0 when something listens there.
int ConnectError(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  int result = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? 0 : errno;
  close(fd);
  return result;
}

// What a process that died leaves: a socket file nobody listens on.
void LeaveDeadSocket(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);
}

TEST_F(FindWindowTest, FindsTopLevelWindowsByClassInAnyCaseAndExactTitle) {
  HWND a = CreateWindowExW(0, L"LogClass", L"Jostle", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(FindWindowW(L"LOGCLASS", L"Jostle"), a);  // hidden windows are found too
  EXPECT_EQ(FindWindowW(nullptr, L"Jostle"), a);
  EXPECT_EQ(FindWindowW(L"logclass", nullptr), a);
  EXPECT_EQ(FindWindowW(nullptr, L"jostle"), nullptr);
  EXPECT_EQ(FindWindowW(L"NoClass", nullptr), nullptr);
}

TEST_F(FindWindowTest, SecondStartFindsTheFirstWindowAndBringsItForward) {
  jptest::TempDir tmp;
  // the long folder does not fit a socket address and meets under another name
  for (const std::string& dir : {tmp / "device", tmp / std::string(120, 'd')}) {
    SCOPED_TRACE(dir);
    Peer first("serve", {{"JP_PEER_DIR", dir}, {"JP_PEER_OUT", tmp / "out.txt"}, {"JP_PEER_TITLE", "Peer Window"}});
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(first.WaitReady());
    EXPECT_EQ(FindWindowW(L"PeerClass", nullptr), nullptr);  // no device folder: this process only
    wce::internal::UserStart(dir);

    HWND found = FindWindowW(L"peerclass", L"Peer Window");
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(IsWindow(found));
    EXPECT_FALSE(IsWindowVisible(found));  // not ours to ask about beyond that
    EXPECT_EQ(FindWindowW(nullptr, L"Peer Window"), found);  // the same handle when found again
    EXPECT_EQ(FindWindowW(L"PeerClass", L"peer window"), nullptr);
    EXPECT_EQ(PostMessageW(found, WM_USER, 0, 0), FALSE);
    EXPECT_TRUE(SetForegroundWindow(WithLowBit(found)));

    first.Release();
    EXPECT_EQ(first.Wait(), 0);
    std::vector<std::string> report = ReadLines(tmp / "out.txt");
    EXPECT_EQ(report, (std::vector<std::string>{"foreground", "window restored", "activate", "WM_ACTIVATE 1",
                                                 "iconic 0", "foreground 1"}));
    // gone with its process: nothing to find, and no waiting for it
    EXPECT_EQ(FindWindowW(L"PeerClass", nullptr), nullptr);
    EXPECT_FALSE(SetForegroundWindow(found));
    wce::internal::UserStart("");
  }
}

TEST_F(FindWindowTest, FirstStartServesInPlaceOfADeadProcessAndStopsCleanly) {
  jptest::TempDir tmp;
  std::string dir = tmp / "device";
  ASSERT_TRUE(jptest::MakeDirs(dir));
  std::string socketPath = wce::user::RendezvousSocketPath(dir);
  LeaveDeadSocket(socketPath);
  ASSERT_NE(ConnectError(socketPath), 0);

  wce::internal::UserStart(dir);
  HWND w = CreateWindowExW(0, L"LogClass", L"Parent Window", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(ConnectError(socketPath), 0);
  ShowWindow(w, SW_MINIMIZE);
  ClearLog();
  TraceLog trace;

  // This thread pumps while the other process finds and raises our window;
  // a watcher ends the loop when that process has ended.
  Peer second("find-and-raise", {{"JP_PEER_DIR", dir}, {"JP_PEER_OUT", tmp / "out.txt"},
                                  {"JP_PEER_TITLE", "Parent Window"}});
  ASSERT_TRUE(second.Started());
  second.Release();
  int status = -2;
  DWORD me = GetCurrentThreadId();
  std::thread watcher([&] {
    status = second.Wait();
    PostThreadMessageW(me, WM_APP + 2, 0, 0);
  });
  MSG m{};
  while (GetMessageW(&m, nullptr, 0, 0) > 0 && m.message != WM_APP + 2) DispatchMessageW(&m);
  watcher.join();

  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadLines(tmp / "out.txt"), (std::vector<std::string>{"found 1", "valid 1", "raised 1"}));
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(GetForegroundWindow(), w);
  ASSERT_EQ(LoggedOf(WM_ACTIVATE).size(), 1u);
  EXPECT_EQ(LoggedOf(WM_ACTIVATE)[0].thread, me);
  EXPECT_EQ(trace.Take(), (std::vector<std::string>{"foreground", "window restored", "activate"}));

  wce::internal::UserStart("");
  EXPECT_FALSE(std::filesystem::exists(socketPath));
}

}  // namespace
}  // namespace usertest
