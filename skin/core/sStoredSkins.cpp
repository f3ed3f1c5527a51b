// Skins stored in a form, and the list of skins a user could choose with their previews.
#include <algorithm>

#include "framework/FormReader.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkAlphaImageList.h"
#include "skin/core/vkPackedSkin.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkSkinImages.h"

// ===================================================================== stored skins

TsStoredSkin::TsStoredSkin() : FMasterBitmap(new TBitmap()), FPackedData(new TMemoryStream()) {}
TsStoredSkin::~TsStoredSkin() {
  FMasterBitmap->Free();
  FPackedData->Free();
}

void TsStoredSkin::SetName(const std::string& Value) {
  if (FName == Value) return;
  FName = Value;
  Changed(false);
}

void TsStoredSkin::SetMasterBitmap(TBitmap* Value) { FMasterBitmap->Assign(Value); }

void TsStoredSkin::SetPackedData(const std::vector<uint8_t>& Bytes) {
  FPackedData->Clear();
  if (!Bytes.empty()) FPackedData->WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
  FPackedData->SetPosition(0);
}

void TsStoredSkin::Assign(TPersistent* Source) {
  auto* src = As<TsStoredSkin>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  FPackedData->Clear();
  FPackedData->LoadFromStream(*src->FPackedData);
  FMasterBitmap->Assign(src->FMasterBitmap);
  FName = src->FName;
  FAuthor = src->FAuthor;
  FDescription = src->FDescription;
  FShadow1Color = src->FShadow1Color;
  FShadow1Offset = src->FShadow1Offset;
  FShadow1Blur = src->FShadow1Blur;
  FShadow1Transparency = src->FShadow1Transparency;
  FBorderColor = src->FBorderColor;
  FVersion = src->FVersion;
}

void TsStoredSkin::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineBinaryProperty("Data", [this](TStream& s) { FPackedData->LoadFromStream(s); }, FPackedData->Size() > 0);
  Filer.DefineProperty(
      "OriginName", [this](TReader& r) { FOriginName = r.ReadString(); }, !FOriginName.empty());
}

PUBLISHED(TsStoredSkin) {
  p.Str("Name", &TsStoredSkin::Name, &TsStoredSkin::SetName);
  p.Object("MasterBitmap", &TsStoredSkin::MasterBitmap, &TsStoredSkin::SetMasterBitmap);
  p.Color("Shadow1Color", &TsStoredSkin::Shadow1Color, &TsStoredSkin::SetShadow1Color).Default(0);
  p.Int("Shadow1Offset", &TsStoredSkin::Shadow1Offset, &TsStoredSkin::SetShadow1Offset).Default(0);
  p.Int("Shadow1Blur", &TsStoredSkin::Shadow1Blur, &TsStoredSkin::SetShadow1Blur).Default(-1);
  p.Int("Shadow1Transparency", &TsStoredSkin::Shadow1Transparency, &TsStoredSkin::SetShadow1Transparency).Default(0);
  p.Color("BorderColor", &TsStoredSkin::BorderColor, &TsStoredSkin::SetBorderColor).Default(0xFF00FF);
  p.Float("Version", &TsStoredSkin::Version, &TsStoredSkin::SetVersion);
  p.Str("Author", &TsStoredSkin::Author, &TsStoredSkin::SetAuthor);
  p.Str("Description", &TsStoredSkin::Description, &TsStoredSkin::SetDescription);
}

TsStoredSkins::TsStoredSkins(TsSkinManager* Manager)
    : TOwnedCollection(Manager, TsStoredSkin::StaticClassInfo()), FManager(Manager) {}
IMPLEMENT_CLASS(TsStoredSkins)

int TsStoredSkins::IndexOf(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name() == Name) return i;
  return -1;
}

void TsStoredSkins::Update(TCollectionItem* Item) {
  (void)Item;
  if (FManager && FManager->OnSkinListChanged) FManager->OnSkinListChanged(FManager);
}

// ===================================================================== skin list

IMPLEMENT_CLASS(TvkSkinListController)

TvkSkinListController::TvkSkinListController(TsSkinManager* Manager)
    : FManager(Manager), FPreviews(Create<TsAlphaImageList>(nullptr)) {
  FPreviews->ScaleImages = false;
  FPreviews->CopyOpaque = true;
  FPreviews->SetWidth(kPreviewWidth);
  FPreviews->SetHeight(kPreviewHeight);
}

TvkSkinListController::~TvkSkinListController() { FPreviews->Free(); }

void TvkSkinListController::ClearPreviews() { FPreviews->ClearImages(); }

int TvkSkinListController::AddPreview(const std::vector<uint8_t>& Packed) {
  std::vector<uint8_t> png;
  if (Packed.empty() || !FindPreviewImage(Packed.data(), Packed.size(), png)) return -1;
  TMemoryStream* Bytes = new TMemoryStream();
  Bytes->WriteBuffer(png.data(), static_cast<int32_t>(png.size()));
  const bool Added = FPreviews->AddFromStream(Bytes);
  Bytes->Free();
  // preview bytes that are no PNG give no preview
  return Added ? FPreviews->Items()->Count() - 1 : -1;
}

void TvkSkinListController::Update() {
  TsSkinManager* def = TsSkinManager::DefaultManager();
  if ((def && def != FManager) || FManager->ComponentState().Contains(csLoading)) return;
  ClearPreviews();
  FItems.clear();
  if (FManager->SkinsFilter().Contains(sfiInternal)) {
    TsStoredSkins* skins = FManager->InternalSkins();
    for (int i = 0; i < skins->Count(); ++i) {
      TvkSkinListItem item;
      item.Name = skins->Items(i)->Name();
      TMemoryStream* data = skins->Items(i)->PackedData();
      std::vector<uint8_t> bytes(static_cast<const uint8_t*>(data->Memory()),
                                 static_cast<const uint8_t*>(data->Memory()) + data->Size());
      item.ImageIndex = AddPreview(bytes);
      FItems.push_back(item);
    }
  }
  std::string dir = FManager->AbsoluteSkinDirectory();
  if (FManager->SkinsFilter().Contains(sfiExternal) && DirectoryExists(dir)) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((IncludeTrailingBackslash(dir) + "*.*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string name = fd.cFileName;
        if (name.empty() || name[0] == '.' || (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (name.size() <= 4 || name.substr(name.size() - 4) != ".vkz") continue;  // case-sensitive
        TvkSkinListItem item;
        item.Name = name.substr(0, name.size() - 4);
        item.External = true;
        try {
          const std::string path = IncludeTrailingBackslash(dir) + name;
          item.ImageIndex = AddPreview(ReadFileBytes(path, 64 << 20, "Packed skin too large: " + path));
        } catch (const Exception&) {
          item.ImageIndex = -1;
        }
        FItems.push_back(item);
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
  }
  for (HWND w : FControls) SendMessageA(w, SM_VKCMD, MAKEWPARAM(0, VKCMD_SKIN_LIST_CHANGED), 0);
}

void TvkSkinListController::ActiveSkinChanged() {
  for (HWND w : FControls) PostMessageA(w, SM_VKCMD, MAKEWPARAM(0, VKCMD_ACTIVE_SKIN_CHANGED), 0);
}

void TvkSkinListController::RegisterControl(HWND Wnd) {
  if (std::find(FControls.begin(), FControls.end(), Wnd) == FControls.end()) FControls.push_back(Wnd);
}
void TvkSkinListController::UnregisterControl(HWND Wnd) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), Wnd), FControls.end());
}

void TsSkinManager::ListAvailableSkins(TStrings* List, int Kind, std::string& FirstName, bool WithImages) {
  FirstName.clear();
  for (const auto& item : FSkinListController->Items()) {
    bool wanted = Kind == 2 || (Kind == 0 && item.External) || (Kind == 1 && !item.External);
    if (!wanted) continue;
    if (WithImages)
      List->AddObject(item.Name, reinterpret_cast<TObject*>(static_cast<intptr_t>(item.ImageIndex)));
    else
      List->Add(item.Name);
  }
  if (List->Count() > 0) FirstName = List->Strings(0);
}

