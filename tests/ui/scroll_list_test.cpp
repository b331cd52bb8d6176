// The kinetic list: codes of pen gestures, the drag threshold and tap
// tolerance, the gesture's average velocity and the 500 ms rule, the glide's
// decay, end and clamping on the window timer, rows and indicator as painted,
// and a paint that draws only the rows in view however long the list is.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "device/device.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/DisplayScale.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

// At the test device's 192 dpi: rows of 80 pixels, a slop of 20.
const int kRow = 80;
const int kSlop = 20;
const int kLeft = 5;
const int kTop = 7;
const int kWidth = 200;

enum Action { Down, Move, Up, Wait };

struct Step {
  Action action;
  int x;
  int y = 0;  // list-local; Wait: milliseconds in x
};

ScrollList* gGliding = nullptr;
int gGlideTicks = 0;

void CALLBACK GlideProc(HWND window, UINT, UINT_PTR id, DWORD) {
  ++gGlideTicks;
  gGliding->GlideStep(window, id);
}

class ScrollListTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ASSERT_EQ(ScaleY(40), kRow);
    ASSERT_EQ(ScaleY(10), kSlop);
    gGlideTicks = 0;
  }

  std::unique_ptr<ScrollList> NewList(int rows, int viewHeight, HBITMAP icon = NULL) {
    auto list = std::make_unique<ScrollList>(nullptr, window_, 64);
    list->SetBounds(kLeft, kTop, kWidth, viewHeight);
    for (int i = 0; i < rows; ++i) {
      ListItem item{};
      item.icon = icon;
      item.userData = reinterpret_cast<const void*>(static_cast<intptr_t>(i + 1));
      EXPECT_TRUE(list->AddItem(item));
    }
    return list;
  }

  // Runs the steps as the main window would, answering codes 1 and 3 with
  // StopGlide and StartGlide, then pumps messages until the glide has ended.
  std::vector<WORD> Gesture(ScrollList& list, const std::vector<Step>& steps) {
    gNotifications.clear();
    gGliding = &list;
    for (const Step& step : steps) {
      int x = kLeft + step.x, y = kTop + step.y;
      if (step.action == Wait) Sleep(step.x);
      if (step.action == Down && list.PenDown(window_, 0, x, y)) list.StopGlide(window_, 4);
      if (step.action == Move) list.PenMove(window_, 0, x, y);
      if (step.action == Up && list.PenUp(window_, 0, x, y)) list.StartGlide(window_, 4, 11, GlideProc);
    }
    std::vector<WORD> codes;
    for (const Notification& n : gNotifications) codes.push_back(n.code);
    return codes;
  }

  // Each row drawn writes its two lines, whether or not they show.
  int PaintedRows(ScrollList& list) {
    uint64_t before = wce::TextDrawCount();
    list.Paint(screen_);
    return static_cast<int>(wce::TextDrawCount() - before) / 2;
  }

  void PumpGlide(ScrollList& list, DWORD limitMs = 20000) {
    DWORD end = GetTickCount() + limitMs;
    MSG message;
    while (list.IsGliding() && GetTickCount() < end && GetMessageW(&message, NULL, 0, 0) > 0)
      DispatchMessageW(&message);
  }
};

TEST_F(ScrollListTest, GesturesSendTheirCodesAndMoveTheContentPastTheThreshold) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<WORD> codes;
    int offset;     // while the pen is still down after the steps
    int selection;  // row 2 sits under y = 200
  };
  const Case cases[] = {
      {"tap", {{Down, 50, 200}, {Up, 50, 200}}, {1, 3, 4}, 0, 2},
      {"move of exactly the threshold", {{Down, 50, 200}, {Move, 50, 200 - kSlop}}, {1, 2}, 0, 2},
      {"one pixel more drags the whole distance", {{Down, 50, 200}, {Move, 50, 199 - kSlop}}, {1, 2}, kSlop + 1, -1},
      {"drags follow the last pen y", {{Down, 50, 200}, {Move, 50, 150}, {Move, 50, 170}}, {1, 2, 2}, 30, -1},
      {"sideways never drags", {{Down, 50, 200}, {Move, 190, 200}}, {1, 2}, 0, 2},
      {"lifted at the tolerance: no tap", {{Down, 50, 200}, {Move, 50 + kSlop, 200}, {Up, 50 + kSlop, 200}},
       {1, 2, 3}, 0, 2},
      {"lifted just inside the tolerance", {{Down, 50, 200}, {Up, 50 - kSlop + 1, 200 + kSlop - 1}}, {1, 3, 4}, 0, 2},
      {"lifted outside the list, near the press", {{Down, 2, 200}, {Up, -5, 200}}, {1, 3, 4}, 0, 2},
      {"down outside", {{Down, -1, 200}, {Up, 50, 200}}, {}, 0, 7},
      {"down below the last row", {{Down, 50, 1000}}, {1}, 0, -1},
      {"down just below the last row", {{Down, 50, 10 * kRow}}, {1}, 0, -1},
  };
  for (const Case& c : cases) {
    auto list = NewList(10, 1200);
    list->SetSelection(7);
    EXPECT_EQ(Gesture(*list, c.steps), c.codes) << c.name;
    EXPECT_EQ(list->GetScrollOffset(), c.offset) << c.name;
    EXPECT_EQ(list->Selection(), c.selection) << c.name;
  }
}

TEST_F(ScrollListTest, VelocityIsTheWholeGesturesAverageAndZeroAfter500Ms) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    double velocity;
  };
  const Case cases[] = {
      {"tap", {{Down, 50, 300}, {Wait, 100}, {Up, 50, 300}}, 0},
      {"flick up", {{Down, 50, 300}, {Wait, 100}, {Move, 50, 100}, {Up, 50, 100}}, -2.0},
      {"flick down", {{Down, 50, 100}, {Wait, 50}, {Move, 50, 300}, {Up, 50, 300}}, 4.0},
      {"quick move, then held", {{Down, 50, 300}, {Move, 50, 100}, {Wait, 400}, {Up, 50, 100}}, -0.5},
      {"exactly 500 ms", {{Down, 50, 300}, {Wait, 500}, {Move, 50, 100}, {Up, 50, 100}}, -0.4},
      {"longer than 500 ms", {{Down, 50, 300}, {Wait, 501}, {Move, 50, 100}, {Up, 50, 100}}, 0},
      {"no time at all", {{Down, 50, 300}, {Move, 50, 100}, {Up, 50, 100}}, 0},
      // Moves inside the threshold do not count, so this one lifts with none.
      {"wobble", {{Down, 50, 300}, {Wait, 100}, {Move, 50, 300 - kSlop}, {Up, 50, 300 - kSlop}}, 0},
  };
  for (const Case& c : cases) {
    auto list = NewList(100, 400);
    Gesture(*list, {{Down, 10, 200}, {Move, 10, 0}, {Wait, 600}, {Up, 10, 0}});  // somewhere in the middle
    Gesture(*list, c.steps);
    EXPECT_DOUBLE_EQ(list->GetVelocity(), c.velocity) << c.name;
    EXPECT_TRUE(list->IsGliding()) << c.name;
  }
}

TEST_F(ScrollListTest, GlideStepsDecayWithTheRealTimeBetweenTicks) {
  struct Case {
    DWORD dt;
    int step;  // first step of a 2 px/ms flick up: trunc(2 (1 - 0.0008 dt) dt)
  };
  const Case cases[] = {{11, 21}, {33, 64}, {1, 1}, {1250, 0}, {2000, 0}};
  for (const Case& c : cases) {
    auto list = NewList(1000, 400);
    Gesture(*list, {{Down, 10, 300}, {Wait, 100}, {Move, 10, 100}, {Up, 10, 100}});
    int before = list->GetScrollOffset();
    Sleep(c.dt);
    list->GlideStep(window_, 4);
    EXPECT_EQ(list->GetScrollOffset() - before, c.step) << c.dt;
    EXPECT_EQ(list->IsGliding(), c.step != 0) << c.dt;
  }
}

TEST_F(ScrollListTest, TheGlideRunsOnTheWindowTimerSlowsAndStops) {
  auto list = NewList(1000, 400);
  Gesture(*list, {{Down, 10, 300}, {Wait, 100}, {Move, 10, 100}, {Up, 10, 100}});
  DWORD start = GetTickCount();
  int last = list->GetScrollOffset();
  int lastStep = 1 << 30;
  while (list->IsGliding()) {
    PumpGlide(*list, 11);
    int step = list->GetScrollOffset() - last;
    EXPECT_LE(step, lastStep);
    EXPECT_GE(step, 0);
    last = list->GetScrollOffset();
    lastStep = step;
  }
  // Velocity 2 px/ms falls under a pixel a tick after about 350 ticks.
  EXPECT_NEAR(gGlideTicks, 350, 5);
  EXPECT_EQ(GetTickCount() - start, 11u * gGlideTicks);
  Sleep(100);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, window_, WM_TIMER, WM_TIMER, PM_REMOVE)) << "timer still running";
}

TEST_F(ScrollListTest, OffsetComesToRestInsideTheContent) {
  struct Case {
    const char* name;
    int rows;
    std::vector<Step> steps;
    int offset;  // once the glide has ended; 10 rows in 400 pixels: 0..400
  };
  const Case cases[] = {
      {"pulled past the top", 10, {{Down, 10, 100}, {Wait, 600}, {Move, 10, 300}, {Up, 10, 300}}, 0},
      {"pulled past the bottom", 10, {{Down, 10, 390}, {Wait, 600}, {Move, 10, 0}, {Move, 10, -200}, {Up, 10, 0}}, 400},
      {"flicked into the bottom", 10, {{Down, 10, 300}, {Wait, 50}, {Move, 10, 100}, {Up, 10, 100}}, 400},
      {"flicked into the top", 10, {{Down, 10, 100}, {Wait, 50}, {Move, 10, 300}, {Up, 10, 300}}, 0},
      {"content shorter than the view", 3, {{Down, 10, 100}, {Wait, 50}, {Move, 10, 0}, {Up, 10, 0}}, 0},
      {"slow drag stays put", 10, {{Down, 10, 300}, {Wait, 600}, {Move, 10, 150}, {Up, 10, 150}}, 150},
  };
  for (const Case& c : cases) {
    auto list = NewList(c.rows, 400);
    Gesture(*list, c.steps);
    PumpGlide(*list);
    EXPECT_FALSE(list->IsGliding()) << c.name;
    EXPECT_EQ(list->GetScrollOffset(), c.offset) << c.name;
  }
}

TEST_F(ScrollListTest, APenDownOnAGlidingListStopsItWhereItIsAndKeepsTheSelection) {
  auto list = NewList(1000, 400);
  Gesture(*list, {{Down, 10, 300}, {Wait, 100}, {Move, 10, 100}, {Up, 10, 100}});
  PumpGlide(*list, 110);
  list->SetSelection(3);
  int offset = list->GetScrollOffset();
  ASSERT_TRUE(list->IsGliding());
  EXPECT_EQ(Gesture(*list, {{Down, 10, 10}}), (std::vector<WORD>{1}));
  EXPECT_EQ(list->Selection(), 3);
  EXPECT_FALSE(list->IsGliding());
  Sleep(100);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, window_, WM_TIMER, WM_TIMER, PM_REMOVE)) << "timer still running";
  EXPECT_EQ(list->GetScrollOffset(), offset);
}

TEST_F(ScrollListTest, RowsAreCopiedInAndOutAndIndexesPastTheEndRefused) {
  auto list = NewList(0, 400);
  EXPECT_FALSE(list->SetSelection(-1)) << "an empty list refuses even a clear";
  ListItem item{};
  const std::wstring longText(300, L'x');
  wcsncpy_s(item.firstLine, kListTextLength, L"Pack", _TRUNCATE);
  wcsncpy_s(item.secondLine, kListTextLength, longText.c_str(), _TRUNCATE);
  item.userData = &item;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(list->AddItem(item));
  EXPECT_TRUE(list->SetSelection(2));
  EXPECT_FALSE(list->SetSelection(3));
  EXPECT_EQ(list->Selection(), 2);
  list->AddItem(item);
  EXPECT_EQ(list->Selection(), -1) << "adding a row clears the selection";
  EXPECT_EQ(list->GetContentHeight(), 4 * kRow);
  ListItem out{};
  out.userData = &out;
  EXPECT_FALSE(list->GetItem(-1, &out));
  EXPECT_FALSE(list->GetItem(4, &out));
  EXPECT_EQ(out.userData, &out);
  ASSERT_TRUE(list->GetItem(3, &out));
  EXPECT_STREQ(out.firstLine, L"Pack");
  EXPECT_EQ(std::wstring(out.secondLine), longText.substr(0, 259));
  EXPECT_EQ(out.userData, &item);
}

TEST_F(ScrollListTest, PaintsOnlyTheRowsInViewWhateverTheListsLength) {
  struct Case {
    int offset;  // reached by a slow drag that the pen still holds
    int painted;
  };
  const Case cases[] = {{0, 5}, {40, 6}, {80, 5}, {-100, 4}, {-400, 0}, {-399, 1}};
  for (int rows : {10, 10000}) {
    for (const Case& c : cases) {
      auto list = NewList(rows, 400);
      Gesture(*list, {{Down, 10, 390}, {Move, 10, 390 - c.offset}});
      ASSERT_EQ(list->GetScrollOffset(), c.offset);
      EXPECT_EQ(PaintedRows(*list), c.painted) << rows << " rows at " << c.offset;
    }
  }
  auto list = NewList(10000, 400);
  Gesture(*list, {{Down, 10, 390}, {Move, 10, 390 - 9999 * kRow}});
  EXPECT_EQ(PaintedRows(*list), 1) << "the last row alone at the top";
}

// Background, selection, keyed icon and image separator of each row, the
// selection tile anchored at its row, for a list scrolled half a row.
TEST_F(ScrollListTest, RowsPaintTheirPartsInPlace) {
  const uint32_t kCanvas = 0x101010, kBack = 0x000080, kSelection = 0x00C000, kLine = 0xC0C000;
  jptest::Image iconPicture = Numbered(10, 6);
  iconPicture.At(0, 0) = 0xFF00FF;  // keyed out
  HBITMAP icon = NewBitmap(iconPicture);
  jptest::Image tile = Numbered(3, 2, 0x11);
  for (int style : {ScrollList::SelectionSolid, ScrollList::SelectionTiled}) {
    const int view = 200, offset = 40, selected = 1;
    auto list = NewList(3, view, icon);
    list->SetBackgroundColor(ToColorRef(kBack)).SetSelectionColor(ToColorRef(kSelection));
    list->SetSelectionStyle(style).SetSelectionImage(NewBitmap(tile));
    list->SetSeparatorStyle(ScrollList::SeparatorImage).SetSeparatorImage(NewBitmap(jptest::Image(1, 1, kLine)));
    Gesture(*list, {{Down, 10, 100}, {Wait, 600}, {Move, 10, 100 - offset}, {Up, 10, 100 - offset}});
    PumpGlide(*list);
    ASSERT_EQ(list->GetScrollOffset(), offset);
    list->SetSelection(selected);
    Canvas& canvas = NewCanvas(kWidth + 10, view + 14, kCanvas);
    list->Paint(canvas.dc);

    jptest::Image area(kWidth, view, kBack);
    for (int i = 0; i < 3; ++i) {
      int top = i * kRow - offset;
      for (int y = 0; y < kRow; ++y)
        for (int x = 0; x < kWidth && i == selected; ++x)
          if (top + y >= 0 && top + y < view)
            area.At(x, top + y) = style == ScrollList::SelectionSolid ? kSelection : tile.At(x % 3, y % 2);
      jptest::Image placed = iconPicture;
      placed.At(0, 0) = area.At(35, std::max(top + 37, 0));
      Paste(area, placed, 35, top + 37);
      Paste(area, jptest::Image(kWidth, 1, kLine), 0, top + kRow - 1);
    }
    jptest::Image expected(kWidth + 10, view + 14, kCanvas);
    Paste(expected, area, kLeft, kTop);
    EXPECT_TRUE(jptest::ImagesMatch(Pixels(canvas), expected)) << "style " << style;
  }
}

TEST_F(ScrollListTest, LinesTakeTheirHalfOfTheRowAndTheSelectedColours) {
  auto list = NewList(0, 200);
  ListItem item{};
  wcsncpy_s(item.firstLine, kListTextLength, L"MMMM", _TRUNCATE);
  wcsncpy_s(item.secondLine, kListTextLength, L"MMMM", _TRUNCATE);
  list->AddItem(item);
  list->AddItem(item);
  list->SetFirstLineColors(RGB(255, 0, 0), RGB(0, 0, 255)).SetSecondLineColors(RGB(0, 255, 0), RGB(255, 0, 255));
  // Over black, anti-aliased glyphs keep to their colour's channels.
  list->SetSelectionColor(0).SetSelection(1);
  Canvas& canvas = NewCanvas(kWidth + 10, 214, 0);
  list->Paint(canvas.dc);
  jptest::Image pixels = Pixels(canvas);
  // Whether a pixel of only the mask's channels shows in that half row, right of the icon square.
  auto found = [&](int row, int half, uint32_t mask) {
    for (int y = kTop + row * kRow + half * kRow / 2; y < kTop + row * kRow + (half + 1) * kRow / 2; ++y)
      for (int x = kLeft + kRow; x < kLeft + kWidth; ++x)
        if ((pixels.At(x, y) & ~mask) == 0 && (pixels.At(x, y) & mask) != 0) return true;
    return false;
  };
  EXPECT_TRUE(found(0, 0, 0xFF0000));
  EXPECT_FALSE(found(0, 1, 0xFF0000));
  EXPECT_TRUE(found(0, 1, 0x00FF00));
  EXPECT_TRUE(found(1, 0, 0x0000FF));
  EXPECT_TRUE(found(1, 1, 0xFF00FF));
}

TEST_F(ScrollListTest, TheIndicatorShowsOnlyWhileTheContentMovesAndOutgrowsTheView) {
  // 10 rows (800) in 400: track 396, thumb 198, travel 198, 2 px wide at 4 from the right.
  struct Case {
    const char* name;
    int rows;
    int offset;
    int phase;     // 0: the pen still drags, 1: released into a glide, 2: the glide has ended
    int thumbTop;  // -1: no indicator
  };
  const Case cases[] = {
      {"top", 10, 0, 0, 2},           {"middle", 10, 200, 0, 101},     {"bottom", 10, 400, 0, 200},
      {"past the top", 10, -150, 0, 2}, {"past the bottom", 10, 700, 0, 200}, {"gliding", 10, 200, 1, 101},
      {"idle", 10, 200, 2, -1},       {"content fits", 5, 0, 0, -1},
  };
  for (const Case& c : cases) {
    auto list = NewList(c.rows, 400);
    Gesture(*list, {{Down, 10, 390}, {Wait, 600}, {Move, 10, 290}, {Move, 10, 390 - c.offset}});
    if (c.phase > 0) Gesture(*list, {{Up, 10, 390 - c.offset}});
    if (c.phase > 1) PumpGlide(*list);
    ASSERT_EQ(list->GetScrollOffset(), c.offset) << c.name;
    list->SetScrollIndicatorColor(RGB(0xFF, 0xFF, 0xFF)).SetBackgroundColor(0);
    Canvas& canvas = NewCanvas(kWidth + 10, 414, 0);
    list->Paint(canvas.dc);
    jptest::Image pixels = Pixels(canvas);
    for (int y = 0; y < 400; ++y)
      for (int x = kWidth - 8; x < kWidth; ++x) {
        bool inside = c.thumbTop >= 0 && x >= kWidth - 6 && x < kWidth - 2 && y >= c.thumbTop && y < c.thumbTop + 198;
        ASSERT_EQ(pixels.At(kLeft + x, kTop + y) == 0xFFFFFF, inside) << c.name << " at " << x << ", " << y;
      }
  }
}

}  // namespace
}  // namespace uitest
