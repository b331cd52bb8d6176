// ChangeDisplaySettingsEx as the program uses it: reading, querying and
// setting the display orientation.
#include <windows.h>

#include "device/internal.h"
#include "shell/display_state.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

DEVMODEW Mode(DWORD fields, DWORD orientation = 0) {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = fields;
  mode.dmDisplayOrientation = orientation;
  return mode;
}

LONG Change(DEVMODEW& mode, DWORD flags) { return ChangeDisplaySettingsEx(nullptr, &mode, nullptr, flags, nullptr); }

// What the program reads; -1 when the read fails.
long long Current() {
  DEVMODEW mode = Mode(DM_DISPLAYORIENTATION);
  if (Change(mode, CDS_TEST) != DISP_CHANGE_SUCCESSFUL) return -1;
  return mode.dmDisplayOrientation;
}

using OrientationTest = ShellTest;

TEST_F(OrientationTest, QueryReadAndSet) {
  DEVMODEW query = Mode(DM_DISPLAYQUERYORIENTATION);
  ASSERT_EQ(Change(query, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(query.dmDisplayOrientation, static_cast<DWORD>(DMDO_0 | DMDO_90 | DMDO_180 | DMDO_270));
  EXPECT_EQ(Current(), DMDO_0);

  for (DWORD o : {DMDO_90, DMDO_270, DMDO_180}) {
    DEVMODEW set = Mode(DM_DISPLAYORIENTATION, o);
    EXPECT_EQ(Change(set, CDS_RESET), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Current(), o);
    EXPECT_EQ(wce::shell::DisplayOrientation(), o);
  }
  EXPECT_EQ(Events(), (std::vector<std::string>{"orientation 1", "orientation 4", "orientation 2"}));
}

TEST_F(OrientationTest, SettingTheSameOrientationTracesNothing) {
  DEVMODEW set = Mode(DM_DISPLAYORIENTATION, DMDO_0);
  EXPECT_EQ(Change(set, CDS_RESET), DISP_CHANGE_SUCCESSFUL);
  EXPECT_TRUE(Events().empty());
}

TEST_F(OrientationTest, RestoringAFailedReadIsRefused) {
  DEVMODEW turn = Mode(DM_DISPLAYORIENTATION, DMDO_90);
  ASSERT_EQ(Change(turn, CDS_RESET), DISP_CHANGE_SUCCESSFUL);
  ClearTrace();
  for (DWORD bad : {static_cast<DWORD>(-1), DWORD{3}, DWORD{8}}) {
    DEVMODEW set = Mode(DM_DISPLAYORIENTATION, bad);
    EXPECT_EQ(Change(set, CDS_RESET), DISP_CHANGE_BADPARAM) << bad;
  }
  EXPECT_EQ(Current(), DMDO_90);
  EXPECT_TRUE(Events().empty());
}

TEST_F(OrientationTest, MalformedRequestsAreRefused) {
  DEVMODEW small = Mode(DM_DISPLAYORIENTATION);
  small.dmSize = sizeof(DEVMODEW) - sizeof(DWORD);  // ends before the orientation
  EXPECT_EQ(Change(small, CDS_TEST), DISP_CHANGE_BADPARAM);
  EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, nullptr, nullptr, CDS_TEST, nullptr), DISP_CHANGE_BADPARAM);
  DEVMODEW mode = Mode(DM_DISPLAYORIENTATION);
  EXPECT_EQ(ChangeDisplaySettingsEx(L"\\Display", &mode, nullptr, CDS_TEST, nullptr), DISP_CHANGE_BADPARAM);
  DEVMODEW both = Mode(DM_DISPLAYORIENTATION | DM_DISPLAYQUERYORIENTATION);
  EXPECT_EQ(Change(both, CDS_TEST), DISP_CHANGE_BADPARAM);
  DEVMODEW query = Mode(DM_DISPLAYQUERYORIENTATION);
  EXPECT_EQ(Change(query, CDS_RESET), DISP_CHANGE_BADFLAGS);
  DEVMODEW size = Mode(0x00080000 /* DM_PELSWIDTH */);
  EXPECT_EQ(Change(size, CDS_TEST), DISP_CHANGE_BADMODE);
}

TEST_F(OrientationTest, NewDeviceStartsUnrotated) {
  DEVMODEW turn = Mode(DM_DISPLAYORIENTATION, DMDO_180);
  ASSERT_EQ(Change(turn, CDS_RESET), DISP_CHANGE_SUCCESSFUL);
  wce::internal::ShellReset();
  EXPECT_EQ(Current(), DMDO_0);
}

}  // namespace
}  // namespace shelltest
