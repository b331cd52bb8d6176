#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "device/internal.h"
#include "gdi/bitmap.h"
#include "gdi/objects.h"
#include "kernel/handles.h"

using namespace wce::gdi;

namespace {

class GdiObjects : public ::testing::Test {
 protected:
  void TearDown() override { wce::internal::GdiReset(); }
};

TEST_F(GdiObjects, GetObjectDescribesABitmapAndItsPixels) {
  HBITMAP bitmap = CreateBitmapObject(3, 2, 0x123456);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));

  BITMAP info;
  std::memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(GetObjectW(bitmap, sizeof info - 1, &info), 0);
  EXPECT_EQ(info.bmWidth, static_cast<LONG>(0xABABABAB)) << "a short buffer must stay untouched";

  ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmType, 0);
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(info.bmWidthBytes, 12);
  EXPECT_EQ(info.bmPlanes, 1);
  EXPECT_EQ(info.bmBitsPixel, 32);
  auto* bits = static_cast<uint32_t*>(info.bmBits);
  EXPECT_EQ(bits[5], 0x123456u);
  bits[4] = 0xABCDEF;  // the same storage the rest of the device draws on
  EXPECT_EQ(FindBitmap(bitmap)->At(1, 1), 0xABCDEFu);
}

TEST_F(GdiObjects, BadStaleNullAndForeignHandlesFail) {
  HBITMAP deleted = CreateBitmapObject(1, 1);
  ASSERT_TRUE(DeleteObject(deleted));
  EXPECT_FALSE(DeleteObject(deleted)) << "double delete";
  HBITMAP live = CreateBitmapObject(1, 1);  // a live bitmap, flagged below
  wce::HandleTable<int> windows(wce::HandleKind::Window);
  uintptr_t foreign = windows.Insert(std::make_shared<int>(0));
  uintptr_t flagged = reinterpret_cast<uintptr_t>(live) | 1;

  for (uintptr_t value :
       {uintptr_t{0}, reinterpret_cast<uintptr_t>(deleted), uintptr_t{0x1234}, foreign, flagged}) {
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(value);
    BITMAP info{};
    EXPECT_EQ(GetObjectW(handle, sizeof info, &info), 0) << std::hex << value;
    EXPECT_EQ(GetObjectW(handle, 0, nullptr), 0) << std::hex << value;
    EXPECT_EQ(GetObjectType(handle), 0u) << std::hex << value;
    EXPECT_FALSE(DeleteObject(handle)) << std::hex << value;
  }
  EXPECT_EQ(GetObjectType(live), static_cast<DWORD>(OBJ_BITMAP))
      << "failed deletes must not hit the live one";
}

TEST_F(GdiObjects, StockObjectsSurviveDeleteAndSelectedOnesRefuseIt) {
  HGDIOBJ stock = AddStockObject(Bitmap{1, 1, {0}});
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_EQ(GetObjectType(stock), static_cast<DWORD>(OBJ_BITMAP));

  HBITMAP selected = CreateBitmapObject(2, 2);
  std::shared_ptr<GdiObject> object = MarkSelected(selected);
  ASSERT_NE(object, nullptr);
  MarkSelected(selected);  // a second DC
  EXPECT_FALSE(DeleteObject(selected));
  MarkDeselected(*object);
  EXPECT_FALSE(DeleteObject(selected));
  MarkDeselected(*object);
  EXPECT_TRUE(DeleteObject(selected));
  EXPECT_EQ(MarkSelected(selected), nullptr);
}

TEST_F(GdiObjects, ResetDropsEveryHandleButNotPixelsStillInUse) {
  HBITMAP a = CreateBitmapObject(4, 4, 0x00FF00);
  HBITMAP b = CreateBitmapObject(1, 1);
  std::shared_ptr<Bitmap> held = FindBitmap(a);
  wce::internal::GdiReset();
  EXPECT_EQ(ObjectCount(), 0u);
  EXPECT_EQ(GetObjectType(a), 0u);
  EXPECT_FALSE(DeleteObject(b));
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->At(3, 3), 0x00FF00u);
}

TEST_F(GdiObjects, BitmapSizesOutsideTheLimitsAreRefused) {
  EXPECT_EQ(CreateBitmapObject(0, 5), nullptr);
  EXPECT_EQ(CreateBitmapObject(5, -1), nullptr);
  EXPECT_EQ(CreateBitmapObject(kMaxBitmapSide + 1, 1), nullptr);
  EXPECT_EQ(CreateBitmapObject(4096, 4097), nullptr);  // one row past the pixel limit
  EXPECT_EQ(AddBitmap(Bitmap{2, 2, {1, 2, 3}}), nullptr) << "pixel count must match the size";
  EXPECT_EQ(ObjectCount(), 0u);
}

}  // namespace
