// TPicture and the registry of picture file formats.
#include <algorithm>
#include <mutex>

#include "framework/Graphics.h"
#include "framework/Jpeg.h"
#include "framework/Streams.h"

IMPLEMENT_CLASS(TPicture)

namespace {

struct FileFormat {
  std::string Extension;  // lower case, no dot
  std::string Description;
  TGraphicClass Class;
};

std::string Lower(std::string Text) {
  CharLowerBuffA(Text.data(), static_cast<DWORD>(Text.size()));
  return Text;
}

std::string WithoutDot(const std::string& Extension) {
  return !Extension.empty() && Extension[0] == '.' ? Extension.substr(1) : Extension;
}

// Newest registration first, so a later format for an extension wins. The built-in formats are there
// from the first use on, independent of the order in which units start.
std::vector<FileFormat>& Formats() {
  static std::vector<FileFormat> List = {
      {"bmp", "Bitmaps", TBitmap::StaticClassInfo()},
      {"ico", "Icons", TIcon::StaticClassInfo()},
      {"jpg", "JPEG images", TJPEGImage::StaticClassInfo()},
      {"jpeg", "JPEG images", TJPEGImage::StaticClassInfo()},
  };
  return List;
}

std::mutex& FormatsLock() {
  static std::mutex Lock;
  return Lock;
}

TGraphic* NewGraphic(TGraphicClass Class) {
  TObject* Object = Class->CreateInstance(nullptr);
  TGraphic* Graphic = As<TGraphic>(Object);
  if (!Graphic) {
    if (Object) Object->Free();
    throw EInvalidGraphic(std::string("Class ") + Class->name + " is not a graphic");
  }
  return Graphic;
}

std::string FileExtension(const std::string& FileName) {
  const size_t Dot = FileName.find_last_of('.');
  const size_t Slash = FileName.find_last_of("\\/:");
  if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) return {};
  return FileName.substr(Dot + 1);
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description, TGraphicClass Class) {
  if (!Class || !Class->InheritsFrom(TGraphic::StaticClassInfo()))
    throw EInvalidGraphic("Only graphic classes can be registered as picture formats");
  std::lock_guard<std::mutex> Guard(FormatsLock());
  Formats().insert(Formats().begin(), FileFormat{Lower(WithoutDot(Extension)), Description, Class});
}

void TPicture::UnregisterGraphicClass(TGraphicClass Class) {
  if (!Class) return;
  std::lock_guard<std::mutex> Guard(FormatsLock());
  auto& List = Formats();
  List.erase(std::remove_if(List.begin(), List.end(), [&](const FileFormat& F) { return F.Class->InheritsFrom(Class); }),
             List.end());
}

TGraphicClass TPicture::FileFormatClass(const std::string& Extension) {
  const std::string Wanted = Lower(WithoutDot(Extension));
  std::lock_guard<std::mutex> Guard(FormatsLock());
  for (const FileFormat& F : Formats())
    if (F.Extension == Wanted) return F.Class;
  return nullptr;
}

TGraphicClass TPicture::GraphicClassByName(const std::string& Name) {
  {
    std::lock_guard<std::mutex> Guard(FormatsLock());
    for (const FileFormat& F : Formats())
      if (Name == F.Class->name) return F.Class;
  }
  // A graphic class registered with the class registry only (read from data, never from a file).
  const TClassInfo* Class = GetClass(Name);
  return Class && Class->InheritsFrom(TGraphic::StaticClassInfo()) ? Class : nullptr;
}

TPicture::TPicture() = default;

TPicture::~TPicture() {
  if (FGraphic) FGraphic->Free();
}

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::ReplaceGraphic(TGraphic* Value) {
  TGraphic* Old = FGraphic;
  FGraphic = Value;
  if (FGraphic) FGraphic->OnChange = [this](TObject* Sender) { Changed(Sender); };
  if (Old) Old->Free();
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic) return;
  if (!Value) {
    ReplaceGraphic(nullptr);
    return;
  }
  ReplaceGraphic(FreeOnThrow(NewGraphic(Value->ClassInfo()), [&](TGraphic* Copy) { Copy->Assign(Value); }));
}

TBitmap* TPicture::Bitmap() {
  if (!As<TBitmap>(FGraphic)) ReplaceGraphic(new TBitmap());
  return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::Icon() {
  if (!As<TIcon>(FGraphic)) ReplaceGraphic(new TIcon());
  return static_cast<TIcon*>(FGraphic);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (TPicture* Other = As<TPicture>(Source)) {
    if (Other != this) SetGraphic(Other->FGraphic);
  } else if (TGraphic* Graphic = As<TGraphic>(Source)) {
    SetGraphic(Graphic);
  } else {
    inherited::Assign(Source);
  }
}

void TPicture::LoadFromFile(const std::string& FileName) {
  const std::string Extension = FileExtension(FileName);
  TGraphicClass Class = FileFormatClass(Extension);
  if (!Class) throw EInvalidGraphic("Unknown picture file extension (." + Extension + ")");
  ReplaceGraphic(FreeOnThrow(NewGraphic(Class), [&](TGraphic* Graphic) { Graphic->LoadFromFile(FileName); }));
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::ReadData(TStream* Stream) {
  std::uint8_t Length = 0;
  if (Stream->Read(&Length, 1) != 1) throw EInvalidGraphic("Picture data ends before the graphic class name");
  std::string Name(Length, '\0');
  if (Length && Stream->Read(Name.data(), Length) != Length)
    throw EInvalidGraphic("Picture data ends before the graphic class name");
  if (Name.empty()) {
    ReplaceGraphic(nullptr);
    return;
  }
  TGraphicClass Class = GraphicClassByName(Name);
  if (!Class) throw EInvalidGraphic("Unknown graphic class " + Name + " in picture data");
  ReplaceGraphic(FreeOnThrow(NewGraphic(Class), [&](TGraphic* Graphic) { Graphic->ReadData(Stream); }));
}

void TPicture::WriteData(TStream* Stream) {
  const std::string Name = FGraphic ? FGraphic->ClassName() : std::string();
  if (Name.size() > 255) throw EInvalidGraphic("Graphic class name too long: " + Name);
  const std::uint8_t Length = static_cast<std::uint8_t>(Name.size());
  Stream->WriteBuffer(&Length, 1);
  if (Length) Stream->WriteBuffer(Name.data(), Length);
  if (FGraphic) FGraphic->WriteData(Stream);
}

void TPicture::DefineProperties(TFiler& Filer) {
  Filer.DefineBinaryProperty("Data", [this](TStream& Stream) { ReadData(&Stream); }, FGraphic != nullptr);
}

void TGraphic::DefineProperties(TFiler& Filer) {
  Filer.DefineBinaryProperty("Data", [this](TStream& Stream) { ReadData(&Stream); }, !Empty());
}
