#include "skin/core/sSkinModel.h"

#include "framework/Graphics.h"
#include "framework/SysUtils.h"

#include <map>
#include <mutex>
#include <set>
#include <utility>

const TsGenState& DefaultGenState() {
  static const TsGenState state;
  return state;
}

HBRUSH LastingSolidBrush(COLORREF Color) {
  // any thread may ask through the patched GetSysColorBrush; made once, never destroyed
  static auto* Lock = new std::mutex;
  static auto* Brushes = new std::map<COLORREF, HBRUSH>;
  std::lock_guard<std::mutex> Hold(*Lock);
  HBRUSH& B = (*Brushes)[Color & 0xFFFFFF];
  // not a counted object: the counts measure what a piece of work makes and frees again
  if (B == nullptr) B = CreateSolidBrush(Color & 0xFFFFFF);
  return B;
}

namespace {

// A palette brush and the number of models that use it.
struct TSkinBrush {
  HBRUSH Brush = nullptr;
  int Users = 0;
};

std::map<COLORREF, TSkinBrush>& SkinBrushes() {
  static auto* Brushes = new std::map<COLORREF, TSkinBrush>;
  return *Brushes;
}

// The window classes of the windows the library skinned, by module and name.
std::set<std::pair<HINSTANCE, std::string>>& SkinnedClasses() {
  static auto* Classes = new std::set<std::pair<HINSTANCE, std::string>>;
  return *Classes;
}

// Whether a noted class has Brush as its background; a class that no longer exists is forgotten.
bool HeldByAClass(HBRUSH Brush) {
  auto& Classes = SkinnedClasses();
  for (auto It = Classes.begin(); It != Classes.end();) {
    WNDCLASSEXA Info{};
    Info.cbSize = sizeof Info;
    // the system's classes are found without their module as well
    const char* Name = It->second.c_str();
    if (!GetClassInfoExA(It->first, Name, &Info) && !GetClassInfoExA(nullptr, Name, &Info)) {
      It = Classes.erase(It);
      continue;
    }
    if (Info.hbrBackground == Brush) return true;
    ++It;
  }
  return false;
}

// Frees the brushes that no model uses and no class holds.
void SweepSkinBrushes() {
  auto& Brushes = SkinBrushes();
  for (auto It = Brushes.begin(); It != Brushes.end();) {
    if (It->second.Users == 0 && !HeldByAClass(It->second.Brush)) {
      DeleteObject(It->second.Brush);
      It = Brushes.erase(It);
    } else {
      ++It;
    }
  }
}

}  // namespace

HBRUSH AcquireSkinBrush(COLORREF Color) {
  TSkinBrush& B = SkinBrushes()[Color & 0xFFFFFF];
  // not a counted object: a retired one outlives the work that made it, until its class lets it go
  if (B.Brush == nullptr) B.Brush = CreateSolidBrush(Color & 0xFFFFFF);
  if (B.Brush == nullptr) {
    SkinBrushes().erase(Color & 0xFFFFFF);
    return nullptr;
  }
  ++B.Users;
  return B.Brush;
}

void ReleaseSkinBrushes(const std::array<HBRUSH, 6>& Brushes) {
  bool Released = false;
  for (HBRUSH Brush : Brushes)
    for (auto& Entry : SkinBrushes())
      if (Brush != nullptr && Entry.second.Brush == Brush && Entry.second.Users > 0) {
        --Entry.second.Users;
        Released = true;
        break;
      }
  if (Released) SweepSkinBrushes();
}

void NoteSkinnedWindowClass(HWND Wnd) {
  char Name[256] = {};
  if (Wnd == nullptr || GetClassNameA(Wnd, Name, sizeof Name) == 0) return;
  SkinnedClasses().emplace(reinterpret_cast<HINSTANCE>(GetClassLongPtrA(Wnd, GCLP_HMODULE)), Name);
}

TvkSkinModel::TvkSkinModel() {
  Palette.fill(kNoPaletteColor);
  Brushes.fill(nullptr);
}

TvkSkinModel::~TvkSkinModel() { Clear(); }

void TvkSkinModel::Clear() {
  for (auto& m : ma) m.Bmp = nullptr;
  ma.clear();
  gd.clear();
  for (auto it = Images.rbegin(); it != Images.rend(); ++it)
    if (it->Bmp) it->Bmp->Free();
  Images.clear();
  FreeAndNil(MasterBitmap);
  FreeAndNil(ExtBorderActive);
  FreeAndNil(ExtBorderInactive);
  ExtBorderMargins = TRect();
  ReleaseSkinBrushes(Brushes);
  Brushes.fill(nullptr);
  Palette.fill(kNoPaletteColor);
  SkinData = TsSkinData();
  OuterEffects.clear();
  ConstData.Clear();
  Packed = false;
}

void TvkSkinModel::Swap(TvkSkinModel& o) {
  std::swap(gd, o.gd);
  std::swap(ma, o.ma);
  std::swap(SkinData, o.SkinData);
  std::swap(OuterEffects, o.OuterEffects);
  std::swap(ConstData, o.ConstData);
  std::swap(Palette, o.Palette);
  std::swap(Brushes, o.Brushes);
  std::swap(MasterBitmap, o.MasterBitmap);
  std::swap(Images, o.Images);
  std::swap(ExtBorderActive, o.ExtBorderActive);
  std::swap(ExtBorderInactive, o.ExtBorderInactive);
  std::swap(ExtBorderMargins, o.ExtBorderMargins);
  std::swap(Packed, o.Packed);
}

int TvkSkinModel::AddMask(int SkinIndex, const std::string& PropertyName, int ImageCount, int MaskType, int DrawMode,
                          const TRect& R, uint8_t Kind, const std::string& SectionName, TsSkinManager* Manager) {
  TsMaskData md;
  md.SkinIndex = SkinIndex;
  md.PropertyName = PropertyName;
  md.ImageCount = static_cast<int16_t>(ImageCount);
  md.MaskType = static_cast<int16_t>(MaskType);
  md.DrawMode = static_cast<int16_t>(DrawMode);
  md.R = R;
  md.MaskKind = Kind;
  md.ClassName = SectionName;
  md.Manager = Manager;
  ma.push_back(std::move(md));
  return static_cast<int>(ma.size()) - 1;
}

int TvkSkinModel::AddSection(const std::string& Name, int CopyFrom, uint32_t FontColor, uint32_t Color,
                             int Transparency, int States) {
  TsGeneralData g;
  if (SectionIndexInRange(CopyFrom)) {
    g = gd[CopyFrom];
  } else {
    g.States = States;
    TsGenState st;
    st.Transparency = Transparency;
    st.Color = Color;
    st.FontColor = FontColor;
    for (auto& p : g.Props) p = st;
  }
  g.ClassName = Name;
  gd.push_back(std::move(g));
  return static_cast<int>(gd.size()) - 1;
}

int TvkSkinModel::FindSectionIndex(const std::string& Name) const {
  if (Name.empty()) return -1;
  for (size_t i = 0; i < gd.size(); ++i)
    if (gd[i].ClassName == Name) return static_cast<int>(i);
  return -1;
}

int TvkSkinModel::FindMaskInherited(int SkinIndex, const std::string& PropertyName) const {
  // the walk starts at the section's own name; a section out of range ends it after its own masks
  const std::string own = SectionIndexInRange(SkinIndex) ? gd[SkinIndex].ClassName : std::string();
  return FindMaskOfSection(SkinIndex, own, PropertyName);
}

int TvkSkinModel::FindMaskOfSection(int SkinIndex, const std::string& SectionName,
                                    const std::string& PropertyName) const {
  int s = SkinIndex;
  std::string name = SectionName;
  for (int step = 0; step < ChainLimit(); ++step) {
    if (s < 0) return -1;
    for (size_t i = 0; i < ma.size(); ++i)
      if (ma[i].SkinIndex == s && ma[i].PropertyName == PropertyName) return static_cast<int>(i);
    if (!SectionIndexInRange(s)) return -1;
    const std::string& parent = gd[s].ParentClass;
    if (parent.empty() || parent == name) return -1;
    s = FindSectionIndex(parent);
    name = parent;
  }
  return -1;
}

int TvkSkinModel::FindTextureInherited(int SkinIndex, const std::string& SectionName,
                                       const std::string& PropertyName) const {
  int s = SkinIndex;
  std::string name = SectionName;
  for (int step = 0; step < ChainLimit(); ++step) {
    if (s < 0 || ma.empty() || name.empty()) return -1;
    for (size_t i = 0; i < ma.size(); ++i)
      if (ma[i].MaskKind == mkTexture && ma[i].PropertyName == PropertyName && ma[i].ClassName == name)
        return static_cast<int>(i);
    if (!SectionIndexInRange(s)) return -1;
    const std::string& parent = gd[s].ParentClass;
    if (parent.empty() || parent == name) return -1;
    int p = FindSectionIndex(parent);
    if (p < 0) return -1;
    s = p;
    name = parent;
  }
  return -1;
}

int TvkSkinModel::FindMaskByNames(const std::string& SectionName, const std::string& PropertyName) const {
  if (SectionName.empty()) return -1;
  for (size_t i = 0; i < ma.size(); ++i)
    if (ma[i].ClassName == SectionName && ma[i].PropertyName == PropertyName) return static_cast<int>(i);
  return -1;
}

TBitmap* TvkSkinModel::FindImage(const std::string& Name) const {
  std::string up = UpperCase(Name);
  for (const auto& img : Images)
    if (img.Name == up) return img.Bmp;
  return nullptr;
}
