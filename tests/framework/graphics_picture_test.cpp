// Icons, pictures and the registry of picture file formats.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>

#include "framework/Graphics.h"
#include "framework/Jpeg.h"
#include "framework/Streams.h"
#include "graphics_test_util.h"
#include "tests/framework/core_test_util.h"
#include "tests/support/GdiLeaks.h"

using namespace graphics_test;

namespace {

// A 32-bit icon image of one colour (opaque), with its AND mask.
Bytes IconImage(int Size, std::uint32_t Pixel) {
  Bytes Image;
  Put32(Image, 40);
  Put32(Image, Size);
  Put32(Image, Size * 2);
  Put16(Image, 1);
  Put16(Image, 32);
  for (int i = 0; i < 6; ++i) Put32(Image, 0);
  for (int i = 0; i < Size * Size; ++i) Put32(Image, Pixel);
  Image.resize(Image.size() + static_cast<size_t>((Size + 31) / 32 * 4) * Size, 0);
  return Image;
}

// An .ico file holding the given images (square sizes).
Bytes IconFile(const std::vector<std::pair<int, Bytes>>& Images) {
  Bytes File;
  Put16(File, 0);
  Put16(File, 1);
  Put16(File, static_cast<std::uint32_t>(Images.size()));
  std::uint32_t Offset = static_cast<std::uint32_t>(6 + 16 * Images.size());
  for (const auto& [Size, Image] : Images) {
    File.push_back(static_cast<std::uint8_t>(Size));
    File.push_back(static_cast<std::uint8_t>(Size));
    File.push_back(0);
    File.push_back(0);
    Put16(File, 1);
    Put16(File, 32);
    Put32(File, static_cast<std::uint32_t>(Image.size()));
    Put32(File, Offset);
    Offset += static_cast<std::uint32_t>(Image.size());
  }
  for (const auto& Entry : Images) File.insert(File.end(), Entry.second.begin(), Entry.second.end());
  return File;
}

// Takes what a class defines beyond its published properties, as the form reader does.
class RecordingFiler : public TFiler {
public:
  void DefineProperty(const std::string& Name, const std::function<void(TReader&)>&, bool HasData) override {
    Defined[Name] = HasData;
  }
  void DefineBinaryProperty(const std::string& Name, const std::function<void(TStream&)>& ReadData,
                            bool HasData) override {
    Defined[Name] = HasData;
    Binary[Name] = ReadData;
  }
  std::map<std::string, bool> Defined;
  std::map<std::string, std::function<void(TStream&)>> Binary;
};

// A graphic class of the tests' own, for the registry.
class TTestGraphic : public TBitmap {
  DECLARE_CLASS(TTestGraphic, TBitmap)
};
IMPLEMENT_CLASS(TTestGraphic)

const Bytes BlueRedIcon = IconFile({{16, IconImage(16, 0xFF0000FF)}, {32, IconImage(32, 0xFFFF0000)}});

TEST(GraphicsIcon, LoadsTheImageOfTheSystemSizeAndDrawsIt) {
  const TGdiObjectCounts Before = GdiObjectCounts();
  {
    Owned<TIcon> Icon(new TIcon());
    EXPECT_TRUE(Icon->Empty());
    EXPECT_TRUE(Icon->Transparent());
    auto Stream = StreamOf(BlueRedIcon);
    Icon->LoadFromStream(Stream.get());
    EXPECT_EQ(Stream->Position(), Stream->Size());
    const int Size = GetSystemMetrics(SM_CXICON) <= 24 ? 16 : 32;
    EXPECT_EQ(Icon->Width(), Size);
    EXPECT_EQ(Icon->Height(), Size);
    EXPECT_TRUE(Icon->HandleAllocated());
    EXPECT_EQ(GdiObjectCount(gkIcon), Before[gkIcon] + 1);

    auto Target = Bitmap32(40, 40);
    Target->Canvas()->Draw(2, 3, Icon.get());
    EXPECT_EQ(ChangedArea(Target.get(), 0xFFFFFF), Bounds(2, 3, Size, Size));
    EXPECT_EQ(ColorsIn(Target.get(), Bounds(2, 3, Size, Size)),
              std::set<std::uint32_t>{Size == 32 ? 0xFF0000u : 0x0000FFu});

    TMemoryStream Saved;
    Icon->SaveToStream(&Saved);
    EXPECT_EQ(Contents(Saved), BlueRedIcon);

    Owned<TIcon> Copy(new TIcon());
    Copy->Assign(Icon.get());
    EXPECT_NE(Copy->Handle(), Icon->Handle());
    EXPECT_EQ(Copy->Width(), Size);
    EXPECT_EQ(GdiObjectCount(gkIcon), Before[gkIcon] + 2);
    EXPECT_THROW(Copy->SetWidth(Size + 1), EInvalidGraphicOperation);
    Copy->SetWidth(Size);  // the same size is no change
  }
  EXPECT_EQ(GdiObjectCounts(), Before) << GdiObjectCounts().ToString();
}

TEST(GraphicsIcon, HandlesAreAdoptedAndReleasedWithTheirCount) {
  const TGdiObjectCounts Before = GdiObjectCounts();
  Owned<TIcon> Source(new TIcon());
  auto Stream = StreamOf(BlueRedIcon);
  Source->LoadFromStream(Stream.get());
  HICON Handle = Source->ReleaseHandle();
  EXPECT_TRUE(Source->Empty());
  EXPECT_EQ(GdiObjectCount(gkIcon), Before[gkIcon] + 1);  // still alive, now the caller's
  {
    Owned<TIcon> Adopter(new TIcon());
    int Changes = 0;
    Adopter->OnChange = [&](TObject*) { ++Changes; };
    Adopter->SetHandle(Handle);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Adopter->Handle(), Handle);
    EXPECT_GT(Adopter->Width(), 0);
    EXPECT_THROW(Adopter->SaveToStream(Stream.get()), EInvalidGraphicOperation);  // nothing to write it from
  }
  EXPECT_EQ(GdiObjectCounts(), Before) << GdiObjectCounts().ToString();

  Owned<TIcon> Missing(new TIcon());
  EXPECT_THROW(Missing->LoadFromResourceName(GetModuleHandleA(nullptr), "MAINICON"), EResNotFound);
  // A group icon resource of the system (the application icon, IDI_APPLICATION) at the system icon size.
  Missing->LoadFromResourceName(GetModuleHandleA("user32.dll"), "#32512");
  EXPECT_EQ(Missing->Width(), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(GdiObjectCount(gkIcon), Before[gkIcon] + 1);
  Missing->Assign(nullptr);
  EXPECT_EQ(GdiObjectCounts(), Before) << GdiObjectCounts().ToString();
}

TEST(GraphicsIcon, MalformedIconFilesRaiseInvalidGraphic) {
  Owned<TIcon> Icon(new TIcon());
  auto Stream = StreamOf(BlueRedIcon);
  Icon->LoadFromStream(Stream.get());
  const HICON Kept = Icon->Handle();
  auto Expect = [&](const Bytes& Data, const std::string& What) {
    auto Bad = StreamOf(Data);
    EXPECT_THROW(Icon->LoadFromStream(Bad.get()), EInvalidGraphic) << What;
    EXPECT_EQ(Icon->Handle(), Kept) << What;
  };
  Bytes Cursor = BlueRedIcon;
  Cursor[2] = 2;
  Expect(Cursor, "a cursor file");
  Bytes NoImages = BlueRedIcon;
  NoImages[4] = 0;
  Expect(Bytes(NoImages.begin(), NoImages.begin() + 6), "no images");
  Bytes InsideDirectory = BlueRedIcon;
  InsideDirectory[6 + 12] = 10;  // first image said to start inside the directory
  InsideDirectory[6 + 13] = 0;
  Expect(InsideDirectory, "offset inside the directory");
  Bytes HugeImage = IconImage(16, 0);
  HugeImage[4] = 0xE8;  // width 1000
  HugeImage[5] = 0x03;
  Expect(IconFile({{16, HugeImage}, {32, HugeImage}}), "image header lies about its size");
  Bytes OddDepth = IconImage(32, 0);
  OddDepth[14] = 3;
  Expect(IconFile({{32, OddDepth}}), "three bits per pixel");
  Bytes Short = IconImage(32, 0);
  Short.resize(200);
  Expect(IconFile({{32, Short}}), "image data shorter than its header says");
  for (size_t Length = 1; Length < BlueRedIcon.size(); Length += 7)
    Expect(Bytes(BlueRedIcon.begin(), BlueRedIcon.begin() + static_cast<std::ptrdiff_t>(Length)), "truncated");
}

TEST(GraphicsPicture, BuiltInFormatsAndRegistrationByExtension) {
  EXPECT_EQ(TPicture::FileFormatClass("bmp"), TBitmap::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatClass(".ICO"), TIcon::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatClass("jpg"), TJPEGImage::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatClass("Jpeg"), TJPEGImage::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatClass("tst"), nullptr);

  TPicture::RegisterFileFormat("tst", "Test images", TTestGraphic::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatClass("TST"), TTestGraphic::StaticClassInfo());
  EXPECT_EQ(TPicture::GraphicClassByName("TTestGraphic"), TTestGraphic::StaticClassInfo());
  TPicture::RegisterFileFormat("bmp", "Test bitmaps", TTestGraphic::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatClass("bmp"), TTestGraphic::StaticClassInfo());  // the latest wins
  TPicture::UnregisterGraphicClass(TTestGraphic::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatClass("tst"), nullptr);
  EXPECT_EQ(TPicture::FileFormatClass("bmp"), TBitmap::StaticClassInfo());
  EXPECT_EQ(TPicture::GraphicClassByName("TTestGraphic"), nullptr);

  EXPECT_THROW(TPicture::RegisterFileFormat("fnt", "Fonts", TFont::StaticClassInfo()), EInvalidGraphic);
}

TEST(GraphicsPicture, LoadsFilesByExtension) {
  auto Bitmap = NewBitmap(pf24bit, 3, 2);
  Bitmap->Canvas()->SetPixels(2, 1, clRed);
  const std::string Path = TempFile("picture.BMP");
  Bitmap->SaveToFile(Path);
  Owned<TPicture> Picture(new TPicture());
  int Changes = 0;
  Picture->OnChange = [&](TObject*) { ++Changes; };
  Picture->LoadFromFile(Path);
  EXPECT_EQ(Changes, 1);
  ASSERT_NE(As<TBitmap>(Picture->Graphic()), nullptr);
  EXPECT_EQ(Picture->Width(), 3);
  EXPECT_EQ(Picture->Bitmap()->Canvas()->Pixels(2, 1), clRed);
  DeleteFileA(Path.c_str());

  const std::string Garbage = TempFile("garbage.bmp");
  {
    TFileStream File(Garbage, fmCreate);
    File.WriteBuffer("not a bitmap", 12);
  }
  TGraphic* Kept = Picture->Graphic();
  EXPECT_THROW(Picture->LoadFromFile(Garbage), EInvalidGraphic);
  EXPECT_EQ(Picture->Graphic(), Kept);
  DeleteFileA(Garbage.c_str());

  const std::string Unknown =
      MessageOf<EInvalidGraphic>([&] { Picture->LoadFromFile("C:\\folder.with.dots\\picture.xyz"); });
  EXPECT_NE(Unknown.find(".xyz"), std::string::npos) << Unknown;
  EXPECT_THROW(Picture->LoadFromFile("C:\\folder.bmp\\noextension"), EInvalidGraphic);
}

TEST(GraphicsPicture, GraphicsAreCopiedAndChangesReported) {
  auto Bitmap = Bitmap32(2, 2);
  SetPixelAt(Bitmap.get(), 0, 0, 0x11223344);
  Owned<TPicture> Picture(new TPicture());
  int Changes = 0;
  Picture->OnChange = [&](TObject*) { ++Changes; };
  Picture->SetGraphic(Bitmap.get());
  EXPECT_EQ(Changes, 1);
  ASSERT_NE(Picture->Graphic(), Bitmap.get());
  EXPECT_EQ(PixelAt(Picture->Bitmap(), 0, 0), 0x11223344u);
  Picture->Bitmap()->SetSize(5, 5);  // the graphic's own changes reach the picture
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(Picture->Width(), 5);

  Owned<TPicture> Other(new TPicture());
  Other->Assign(Picture.get());
  EXPECT_EQ(Other->Width(), 5);
  EXPECT_NE(Other->Graphic(), Picture->Graphic());

  Picture->Icon();  // asking for an icon replaces the bitmap
  EXPECT_NE(As<TIcon>(Picture->Graphic()), nullptr);
  EXPECT_EQ(Picture->Width(), 0);
  Picture->Assign(nullptr);
  EXPECT_EQ(Picture->Graphic(), nullptr);
  Owned<TFont> Font(new TFont());
  EXPECT_THROW(Picture->Assign(Font.get()), EConvertError);
}

TEST(GraphicsPicture, StoredDataNamesTheGraphicClassAndAnIconsOwnIsThePlainFile) {
  Owned<TPicture> Picture(new TPicture());
  RecordingFiler Empty;
  Picture->DefineProperties(Empty);
  EXPECT_FALSE(Empty.Defined.at("Data"));

  Picture->Bitmap()->SetPixelFormat(pf24bit);
  Picture->Bitmap()->SetSize(2, 3);
  Picture->Bitmap()->Canvas()->SetPixels(1, 2, clLime);
  TMemoryStream Data;
  Picture->WriteData(&Data);
  const Bytes Written = Contents(Data);
  ASSERT_GT(Written.size(), 8u);
  EXPECT_EQ(Written[0], 7);
  EXPECT_EQ(std::string(Written.begin() + 1, Written.begin() + 8), "TBitmap");

  RecordingFiler Filer;
  Owned<TPicture> Read(new TPicture());
  Read->DefineProperties(Filer);
  Data.SetPosition(0);
  Filer.Binary.at("Data")(Data);
  ASSERT_NE(As<TBitmap>(Read->Graphic()), nullptr);
  EXPECT_EQ(Read->Bitmap()->Canvas()->Pixels(1, 2), clLime);

  Bytes IconData = {5, 'T', 'I', 'c', 'o', 'n'};
  IconData.insert(IconData.end(), BlueRedIcon.begin(), BlueRedIcon.end());
  auto IconStream = StreamOf(IconData);
  Read->ReadData(IconStream.get());
  ASSERT_NE(As<TIcon>(Read->Graphic()), nullptr);
  EXPECT_GT(Read->Width(), 0);

  auto Nothing = StreamOf({0});
  Read->ReadData(Nothing.get());
  EXPECT_EQ(Read->Graphic(), nullptr);

  auto Unknown = StreamOf({4, 'T', 'N', 'o', 'p', 1, 2});
  EXPECT_THROW(Read->ReadData(Unknown.get()), EInvalidGraphic);
  auto CutName = StreamOf({9, 'T', 'B', 'i'});
  EXPECT_THROW(Read->ReadData(CutName.get()), EInvalidGraphic);
  auto NotAGraphic = StreamOf({5, 'T', 'F', 'o', 'n', 't'});
  EXPECT_THROW(Read->ReadData(NotAGraphic.get()), EInvalidGraphic);

  // An icon's own stored data is the plain file.
  Owned<TIcon> Icon(new TIcon());
  RecordingFiler IconFiler;
  Icon->DefineProperties(IconFiler);
  EXPECT_FALSE(IconFiler.Defined.at("Data"));
  auto IconFileStream = StreamOf(BlueRedIcon);
  IconFiler.Binary.at("Data")(*IconFileStream);
  EXPECT_FALSE(Icon->Empty());
}

TEST(GraphicsPicture, PicturesGiveBackEveryGdiObject) {
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(200, [] {
    Owned<TPicture> Picture(new TPicture());
    Picture->Bitmap()->SetSize(4, 4);
    Picture->Bitmap()->Canvas()->TextOut(0, 0, "x");
    auto Stream = StreamOf(BlueRedIcon);
    Picture->Icon()->LoadFromStream(Stream.get());
    Owned<TPicture> Copy(new TPicture());
    Copy->Assign(Picture.get());
  }));
}

}  // namespace
