#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/FormReader.h"
#include "framework/ImgList.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Bitmaps.h"
#include "tests/support/GdiLeaks.h"

using namespace testing_support;

namespace {

// Colour pixels without alpha, as 24-bit images give them; alpha images are made where a test needs them.
constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kKey = 0xFF00FF, kGreen = 0x00FF00;

class ImageLists : public UiTest {
protected:
  Owned<TImageList> NewList(int w = 4, int h = 4) {
    Owned<TImageList> list(new TImageList(nullptr));
    list->SetSize(w, h);
    return list;
  }
  // A bitmap whose left half is `left` and right half `right`, `frames` images side by side.
  static BitmapPtr Halves(int w, int h, uint32_t left, uint32_t right, int frames = 1) {
    return Bitmap32By(w * frames, h, [=](int x, int) { return x % w < w / 2 ? left : right; });
  }
  // Draws image Index over `fill` into a 32-bit bitmap of the list's size.
  static BitmapPtr Drawn(TCustomImageList* list, int index, uint32_t fill, bool enabled = true) {
    BitmapPtr out = Bitmap32(list->Width(), list->Height(), fill);
    list->Draw(out->Canvas(), 0, 0, index, enabled);
    return out;
  }
};

TEST_F(ImageLists, MaskedImagesDrawTheirColoursAndLeaveKeyPixelsToTheBackground) {
  auto list = NewList();
  EXPECT_FALSE(list->HandleAllocated());
  EXPECT_EQ(list->Count(), 0);
  auto strip = Halves(4, 4, kRed, kKey, 3);
  EXPECT_EQ(list->AddMasked(strip.get(), clDefault), 0);  // the bottom-left pixel is red: red is the key
  EXPECT_EQ(list->AddMasked(strip.get(), static_cast<TColor>(0xFF00FF)), 3);
  EXPECT_EQ(list->Count(), 6);

  auto keyedRed = Drawn(list.get(), 0, kGreen);
  EXPECT_EQ(PixelAt(keyedRed.get(), 0, 0) & 0xFFFFFF, kGreen);
  EXPECT_EQ(PixelAt(keyedRed.get(), 3, 3) & 0xFFFFFF, kKey);
  auto keyedMagenta = Drawn(list.get(), 4, kGreen);
  EXPECT_EQ(PixelAt(keyedMagenta.get(), 1, 2) & 0xFFFFFF, kRed);
  EXPECT_EQ(PixelAt(keyedMagenta.get(), 2, 2) & 0xFFFFFF, kGreen);

  // A background colour fills what the mask leaves out.
  list->SetBkColor(static_cast<TColor>(0xFF0000));  // blue
  auto filled = Drawn(list.get(), 4, kGreen);
  EXPECT_EQ(PixelAt(filled.get(), 3, 0) & 0xFFFFFF, kBlue);
  EXPECT_EQ(list->BkColor(), static_cast<TColor>(0xFF0000));

  // Without a mask every pixel is drawn.
  list->SetBkColor(clNone);
  list->SetMasked(false);
  EXPECT_EQ(list->Count(), 6);
  auto opaque = Drawn(list.get(), 4, kGreen);
  EXPECT_EQ(PixelAt(opaque.get(), 0, 0) & 0xFFFFFF, kRed);
  EXPECT_EQ(PixelAt(opaque.get(), 3, 0) & 0xFFFFFF, 0u);  // the key pixel was blacked out under the mask
}

TEST_F(ImageLists, AlphaImagesBlendOverTheCanvas) {
  auto list = NewList(3, 1);
  auto image = Bitmap32By(3, 1, [](int x, int) { return x == 0 ? 0xFFFF0000 : x == 1 ? 0x00FF0000 : 0x80800000; });
  list->Add(image.get(), nullptr);
  auto out = Drawn(list.get(), 0, 0xFF0000FF);
  EXPECT_EQ(PixelAt(out.get(), 0, 0) & 0xFFFFFF, 0xFF0000u);  // opaque
  EXPECT_EQ(PixelAt(out.get(), 1, 0) & 0xFFFFFF, 0x0000FFu);  // transparent
  // Straight alpha 0x80: red 0x80 * 0x80 / 0xFF, blue 0xFF * 0x7F / 0xFF.
  EXPECT_EQ(PixelAt(out.get(), 2, 0) & 0xFFFFFF, 0x40007Fu);

  // GetBitmap gives the exact pixels back, alpha included; a disabled image is grey.
  auto back = Bitmap32(1, 1);
  list->GetBitmap(0, back.get());
  EXPECT_EQ(PixelAt(back.get(), 2, 0), 0x80800000u);
  auto grey = Drawn(list.get(), 0, 0xFF0000FF, false);
  uint32_t g = PixelAt(grey.get(), 0, 0);
  EXPECT_TRUE(Channel(g, 0) == Channel(g, 1) && Channel(g, 1) == Channel(g, 2)) << std::hex << g;
  EXPECT_NE(g & 0xFFFFFF, 0xFF0000u);
}

TEST_F(ImageLists, ChangesReachEveryRegisteredLinkOnceAndLinksOutliveTheirList) {
  auto list = NewList();
  int a = 0, b = 0, events = 0;
  TChangeLink* first = new TChangeLink;
  TChangeLink* second = new TChangeLink;
  first->OnChange = [&](TObject* Sender) { a += Sender == list.get(); };
  second->OnChange = [&](TObject*) { ++b; };
  list->OnChange = [&](TObject*) { ++events; };
  list->RegisterChanges(first);
  list->RegisterChanges(second);
  list->RegisterChanges(second);
  EXPECT_EQ(second->Sender(), list.get());

  auto image = Halves(4, 4, kRed, kBlue, 2);
  list->Add(image.get(), nullptr);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 1);
  list->BeginUpdate();
  list->Delete(0);
  list->Add(image.get(), nullptr);
  list->BeginUpdate();
  list->Clear();
  list->EndUpdate();
  EXPECT_EQ(a, 1);  // held back until the last EndUpdate
  list->EndUpdate();
  EXPECT_EQ(a, 2);
  EXPECT_EQ(events, 2);

  list->UnRegisterChanges(second);
  EXPECT_EQ(second->Sender(), nullptr);
  second->Free();  // after it left the list
  list->Add(image.get(), nullptr);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(a, 3);

  list.reset();  // freed with a link still registered
  EXPECT_EQ(first->Sender(), nullptr);
  first->Free();
}

TEST_F(ImageLists, ASharedSystemListIsNeverDestroyedByTheWrapper) {
  for (bool shared : {true, false}) {
    SCOPED_TRACE(shared ? "shared" : "owned");
    int lists = ImageListHandleCount();
    HIMAGELIST system = ImageList_Create(12, 10, ILC_COLOR32 | ILC_MASK, 1, 1);
    auto list = NewList();
    list->SetShareImages(shared);
    list->SetHandle(system);
    EXPECT_EQ(list->Width(), 12);
    EXPECT_EQ(list->Height(), 10);
    auto image = Halves(12, 10, kRed, kBlue);
    list->Add(image.get(), nullptr);
    if (shared) {
      list->SetWidth(20);  // a new size is the wrapper's own: the system list keeps its size and images
      int w = 0, h = 0;
      ImageList_GetIconSize(system, &w, &h);
      EXPECT_EQ(w, 12);
      EXPECT_EQ(list->Count(), 0);
      list->Handle();  // made here: freed with the wrapper though ShareImages is set
    }
    list.reset();
    EXPECT_EQ(ImageList_GetImageCount(system) == 1, shared);
    if (shared) {
      EXPECT_TRUE(ImageList_Destroy(system));
    }
    EXPECT_EQ(ImageListHandleCount(), lists);
  }
}

TEST_F(ImageLists, StoredImagesReadBackEqualDirectlyAndThroughAStoredDescription) {
  auto list = NewList(4, 2);
  auto strip = Bitmap32By(8, 2, [](int x, int y) { return x == 1 && y == 1 ? kKey : static_cast<uint32_t>(x * 30 << 8) | (y * 90); });
  list->AddMasked(strip.get(), static_cast<TColor>(0xFF00FF));
  auto alpha = Bitmap32By(4, 2, [](int x, int) { return (x * 60u) << 24 | 0x102030u; });
  list->Add(alpha.get(), nullptr);
  ASSERT_EQ(list->Count(), 3);

  TMemoryStream data;
  list->WriteData(&data);
  auto copy = NewList();
  data.SetPosition(0);
  copy->ReadData(&data);
  EXPECT_EQ(copy->Width(), 4);
  EXPECT_EQ(copy->Count(), 3);
  TMemoryStream again;
  copy->WriteData(&again);
  ASSERT_EQ(again.Size(), data.Size());
  EXPECT_EQ(memcmp(again.Memory(), data.Memory(), static_cast<size_t>(data.Size())), 0);

  std::string hex;
  for (int64_t i = 0; i < data.Size(); ++i) hex += IntToHex(static_cast<const uint8_t*>(data.Memory())[i], 2);
  TForm* form = TForm::CreateNew(Application);
  ReadComponentFromText("object F: TForm\n  object Images: TImageList\n    Height = 2\n    Width = 4\n    BkColor = clRed\n"
                        "    Bitmap = {" + hex + "}\n  end\nend\n", form);
  auto* stored = As<TImageList>(form->FindComponent("Images"));
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->Count(), 3);
  EXPECT_EQ(stored->BkColor(), clRed);
  for (int i = 0; i < 3; ++i) {
    auto expected = Drawn(list.get(), i, kGreen);
    auto got = Drawn(copy.get(), i, kGreen);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(got.get(), x, y), PixelAt(expected.get(), x, y)) << i << " " << x << "," << y;
  }
  form->Free();

  TMemoryStream bad;
  bad.WriteBuffer("IL32\4\0\0\0\4\0\0\0\xFF\xFF\0\0\0", 17);  // 65535 images of 4 x 4 in 17 bytes
  bad.SetPosition(0);
  EXPECT_THROW(copy->ReadData(&bad), EReadError);
  EXPECT_EQ(copy->Count(), 3);
}

TEST_F(ImageLists, SizeIconsAndIndexesFollowTheSystemList) {
  auto list = NewList();
  auto strip = Halves(4, 4, kRed, kBlue, 2);
  list->Add(strip.get(), nullptr);
  TIcon icon;
  list->GetIcon(1, &icon);
  EXPECT_TRUE(icon.HandleAllocated());
  EXPECT_EQ(list->AddIcon(&icon), 2);
  list->Replace(0, Halves(4, 4, kBlue, kBlue).get(), nullptr);
  EXPECT_EQ(PixelAt(Drawn(list.get(), 0, kGreen).get(), 0, 0) & 0xFFFFFF, kBlue);
  EXPECT_THROW(list->Delete(3), EInvalidOperation);
  EXPECT_THROW(list->GetIcon(-1, &icon), EInvalidOperation);
  EXPECT_THROW(list->Add(nullptr, nullptr), EInvalidOperation);
  list->SetWidth(8);  // a new size empties the list
  EXPECT_EQ(list->Count(), 0);
  EXPECT_THROW(list->SetHeight(0), EInvalidOperation);
}

TEST_F(ImageLists, RepeatedUseLeavesNoObjectsBehind) {
  int lists = ImageListHandleCount();
  auto strip = Halves(4, 4, kRed, kKey, 2);
  EXPECT_TRUE(GivesBackGdiObjects(100, [&] {
    auto list = NewList();
    list->AddMasked(strip.get(), clDefault);
    TIcon icon;
    list->GetIcon(0, &icon);
    Drawn(list.get(), 1, kGreen, false);
    auto copy = NewList();
    copy->Assign(list.get());
  }));
  EXPECT_EQ(ImageListHandleCount(), lists);
}

}  // namespace
