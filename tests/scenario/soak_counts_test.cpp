// The device's resource counts, which the soak compares: each kind goes up by
// one when the program makes one and back down when it lets it go; stock
// objects never count.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "device/device.h"
#include "device_fixture.h"

namespace jptest {
namespace {

class ResourceCountsTest : public DeviceTest {
 protected:
  void SetUp() override {
    config_.audio.kind = wce::AudioSinkKind::Recording;
    config_.audio.recordingPath = temp_ / "out.wav";
    DeviceTest::SetUp();
  }
};

std::string Counts() { return wce::FormatResourceCounts(wce::CountResources()); }

DWORD WINAPI WaitForEvent(LPVOID event) { return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE); }

TEST_F(ResourceCountsTest, EachKindCountsWhileItLives) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = L"CountMe";
  ASSERT_NE(RegisterClassW(&wc), 0);
  WAVEFORMATEX pcm = {WAVE_FORMAT_PCM, 1, 48000, 96000, 2, 16, 0};
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);

  struct Case {
    const char* name;
    size_t wce::ResourceCounts::*field;  // null: nothing counts
    std::function<std::function<void()>()> make;  // returns what frees it
  };
  const Case cases[] = {
      {"bitmap", &wce::ResourceCounts::bitmaps,
       [] {
         HBITMAP b = CreateBitmap(4, 4, 1, 32, nullptr);
         return [b] { DeleteObject(b); };
       }},
      {"brush", &wce::ResourceCounts::brushes,
       [] {
         HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
         return [b] { DeleteObject(b); };
       }},
      {"pen", &wce::ResourceCounts::pens,
       [] {
         HPEN p = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
         return [p] { DeleteObject(p); };
       }},
      {"font", &wce::ResourceCounts::fonts,
       [] {
         LOGFONTW lf = {};
         lf.lfHeight = 20;
         HFONT f = CreateFontIndirectW(&lf);
         return [f] { DeleteObject(f); };
       }},
      {"stock objects", nullptr,
       [] {
         GetStockObject(WHITE_BRUSH);
         GetStockObject(SYSTEM_FONT);
         return [] {};
       }},
      {"dc", &wce::ResourceCounts::dcs,
       [] {
         HDC dc = CreateCompatibleDC(nullptr);
         return [dc] { DeleteDC(dc); };
       }},
      {"window", &wce::ResourceCounts::windows,
       [] {
         HWND w = CreateWindowExW(0, L"CountMe", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
         return [w] { DestroyWindow(w); };
       }},
      {"timer", &wce::ResourceCounts::timers,
       [] {
         UINT_PTR id = SetTimer(nullptr, 0, 100, nullptr);
         return [id] { KillTimer(nullptr, id); };
       }},
      {"wave out", &wce::ResourceCounts::waveOuts,
       [&pcm] {
         HWAVEOUT device = nullptr;
         waveOutOpen(&device, WAVE_MAPPER, &pcm, 0, 0, CALLBACK_NULL);
         return [device] { waveOutClose(device); };
       }},
      {"thread", &wce::ResourceCounts::threads,
       [release] {
         ResetEvent(release);
         HANDLE t = CreateThread(nullptr, 0, WaitForEvent, release, 0, nullptr);
         return [release, t] {
           SetEvent(release);
           WaitForSingleObject(t, INFINITE);
           CloseHandle(t);
         };
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const wce::ResourceCounts before = wce::CountResources();
    wce::ResourceCounts expected = before;
    if (c.field) expected.*c.field += 1;
    expected.gdi = expected.bitmaps + expected.brushes + expected.pens + expected.fonts;
    std::function<void()> free = c.make();
    EXPECT_EQ(Counts(), wce::FormatResourceCounts(expected));
    free();
    EXPECT_EQ(Counts(), wce::FormatResourceCounts(before));
  }
  CloseHandle(release);
}

TEST(ResourceCountsFormat, TotalsFirstThenTheGdiKinds) {
  wce::ResourceCounts c{10, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(wce::FormatResourceCounts(c),
            "gdi=10 dc=5 windows=6 timers=7 wave=8 threads=9 bitmaps=1 brushes=2 pens=3 fonts=4");
}

}  // namespace
}  // namespace jptest
