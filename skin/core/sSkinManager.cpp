#include "skin/core/sSkinManager.h"
#include "skin/core/vkAlphaImageList.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "framework/Controls.h"
#include "framework/FormReader.h"
#include "framework/Forms.h"
#include "framework/LateBinding.h"
#include "framework/Milestones.h"
#include "framework/Registry.h"
#include "framework/Platform.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "skin/core/sSkinLoader.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkPackedSkin.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkSkinImages.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkMainWndHook.h"
#include "skin/core/vkSysColors.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/ToolkitStartup.h"

namespace {
TsSkinManager* gDefaultManager = nullptr;
bool gSkinLoading = false;
std::map<UINT_PTR, TsSkinManager*>& Timers() {
  static std::map<UINT_PTR, TsSkinManager*> timers;
  return timers;
}

// Sets the process-wide loading flag for a scope.
class TLoadingScope {
public:
  TLoadingScope() : prev_(gSkinLoading) { gSkinLoading = true; }
  ~TLoadingScope() { gSkinLoading = prev_; }

private:
  bool prev_;
};

std::string ProgramFolder() {
  char buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return ExtractFilePath(buf);
}

bool EndsWithVkz(const std::string& s) {
  return s.size() > 4 && UpperCase(s.substr(s.size() - 4)) == ".VKZ";
}

std::string ReadWholeFile(const std::string& path) {
  const std::vector<uint8_t> b = ReadFileBytes(path, 64 << 20, "Skin text too large: " + path);
  return std::string(b.begin(), b.end());
}

// An exception an application's handler raised, now that the change it interrupted is whole.
void RaiseIfAny(const std::exception_ptr& E) {
  if (E) std::rethrow_exception(E);
}

// The framework's string lists keep lines; skin texts want one text.
std::string Joined(TStrings* list) { return list ? list->Text() : std::string(); }
}  // namespace

TvkSkinServices& SkinServices() {
  static TvkSkinServices services = [] {
    // The engine's own: the application-window hook and the system-colour patches.
    TvkSkinServices s;
    s.HookMainWindow = InstallMainWindowHook;
    s.UnhookMainWindow = RemoveMainWindowHook;
    s.InstallPatches = InstallSysColorPatches;
    s.RemovePatches = RemoveSysColorPatches;
    s.SetSysColorPatches = SetSysColorPatches;
    s.ClearGlows = [] { ClearAllGlowEffects(true); };
    return s;
  }();
  return services;
}

// ===================================================================== the manager

void RegisterSkinManagerClasses() {
  RegisterClasses({TsSkinManager::StaticClassInfo()});
  RegisterAlphaImageListClasses();
}

TsSkinManager* TsSkinManager::DefaultManager() { return gDefaultManager; }
bool TsSkinManager::SkinIsLoading() { return gSkinLoading; }

int TsSkinManager::ScaleIndexFromDpi(int Dpi) {
  if (Dpi < 120) return 0;
  if (Dpi < 144) return 1;
  if (Dpi < 192) return 2;
  return 3;
}

TsSkinManager::TsSkinManager(TComponent* AOwner) : TComponent(AOwner) {
  FEffects = new TvkSkinEffects(this);
  int dpi = 0;
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKeyReadOnly("Control Panel\\Desktop\\WindowMetrics") && reg.ValueExists("AppliedDPI"))
      dpi = reg.ReadInteger("AppliedDPI");
  } catch (const Exception&) {
    dpi = 0;  // any failure reads as 0
  }
  FRegistryScaleIndex = ScaleIndexFromDpi(dpi);
  for (auto& l : FThirdLists) {
    l = new TStringList();
    l->SetCaseSensitive(true);
  }
  FThirdParty = new TsThirdPartyList();
  FInternalSkins = new TsStoredSkins(this);
  FCommonSections = new TStringList();
  FCommonSections->SetCaseSensitive(true);
  FCommonSections->OnChange = [this](TObject*) {
    // lines are kept without blanks (comments untouched), then the skin is read again
    if (FTidyingCommonSections) return;
    FTidyingCommonSections = true;
    for (int i = 0; i < FCommonSections->Count(); ++i) {
      std::string s = FCommonSections->Strings(i);
      if (!s.empty() && s[0] == ';') continue;
      std::string t;
      for (char c : s)
        if (c != ' ') t += c;
      if (t != s) FCommonSections->SetStrings(i, t);
    }
    FTidyingCommonSections = false;
    ReloadSkin();
  };
  FMenuSupport = new TvkMenuSupport();
  FOptions = new TvkOptions(this);
  FScrollsOptions = new TvkScrollBarsSupport(this);
  FButtonsOptions = new TvkButtonsSupport();
  FLabelsOptions = new TvkLabelsSupport();
  FAnimEffects = new TvkAnimEffects();
  FSkinListController = new TvkSkinListController(this);
  if (!gDefaultManager) {
    gDefaultManager = this;
    if (!ComponentState().Contains(csDesigning) && SkinServices().HookMainWindow) SkinServices().HookMainWindow(this);
  }
  if (FormServices.CreateSkinableMenus) FSkinableMenus = FormServices.CreateSkinableMenus(this);
  // a windowless control is asked and told through its skin data, as every skinned control answers
  GraphicControlIsHot = [](TObject* C) {
    auto* Control = dynamic_cast<TControl*>(C);
    auto* Data = Control != nullptr
                     ? reinterpret_cast<TsCommonData*>(SendControlCommand(Control, VKCMD_QUERY_SKIN_DATA, 0))
                     : nullptr;
    return Data != nullptr && Data->Hot;
  };
  GraphicControlMouseLeft = [](TObject* C, TsSkinManager* M) {
    if (auto* Control = dynamic_cast<TControl*>(C))
      SendControlCommand(Control, VKCMD_MOUSE_LEFT, reinterpret_cast<LPARAM>(M));
  };
  StartTimer();
}

TsSkinManager::~TsSkinManager() {
  StopTimer();
  if (FSkinableMenus != nullptr && FormServices.FreeSkinableMenus) FormServices.FreeSkinableMenus(FSkinableMenus);
  FSkinableMenus = nullptr;
  for (TObject* o : std::initializer_list<TObject*>{FOptions, FAnimEffects, FEffects, FScrollsOptions,
                                                    FButtonsOptions, FLabelsOptions, FCommonSections, FInternalSkins,
                                                    FMenuSupport, FSkinListController, FThirdParty})
    o->Free();
  for (auto& l : FThirdLists) FreeAndNil(l);
  FModel.Clear();
  if (gDefaultManager == this) gDefaultManager = nullptr;
}

void TsSkinManager::AfterConstruction() {
  inherited::AfterConstruction();
  UpdateThirdNames();
  if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
}

void TsSkinManager::BeforeDestruction() {
  inherited::BeforeDestruction();
  // switched off as a user would, so OnDeactivate fires and the skin list hears of it
  if (FModel.SkinData.Active) SetActive(false);
  if (FModel.SkinData.Active) RemoveSkin();
  FExtendedBorders = false;
  // the hook goes with the manager that set it up, also when another one became the default since
  if (!ComponentState().Contains(csDesigning) && SkinServices().UnhookMainWindow) SkinServices().UnhookMainWindow(this);
  if (gDefaultManager == this) gDefaultManager = nullptr;
}

void TsSkinManager::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && FHotGraphicControl == AComponent) FHotGraphicControl = nullptr;
}

bool TsSkinManager::ReadingState() const {
  TComponentState s = ComponentState();
  return s.Contains(csLoading) || s.Contains(csReading);
}

void TsSkinManager::UpdateThirdNames() {
  for (int i = 0; i < kThirdPartyKinds; ++i) {
    if (FThirdParty->GetList(i).empty()) FThirdParty->SetList(i, ForeignKindDefaults[i]);
    FThirdLists[i]->SetText(FThirdParty->GetList(i));
  }
}

void TsSkinManager::Loaded() {
  inherited::Loaded();
  if (FOptions->ScaleMode() != smOldMode && !ComponentState().Contains(csDesigning)) {
    if (TSetProcessDPIAware aware = SetProcessDPIAwareEntry()) aware();
  }
  if (FSkinDirectory.empty()) FSkinDirectory = "c:\\Skins";
  if (FMenuSupport->IcoLineSkin().empty()) FMenuSupport->SetIcoLineSkin("ICOLINE");
  UpdateThirdNames();
  // the load that the setters deferred while the form was read happens once, here
  if (FActive && !FSkinName.empty()) LoadNamedSkin(false);
}

std::string TsSkinManager::MakeAbsoluteSkinDirectory(const std::string& D, const std::string& Folder) {
  std::string A = IncludeTrailingBackslash(Folder);
  if (D.compare(0, 2, "..") == 0) {
    std::string up = A.substr(0, A.size() - 1);
    size_t p = up.find_last_of("\\/");
    up = p == std::string::npos ? std::string() : up.substr(0, p + 1);
    return up + (D.size() > 3 ? D.substr(3) : std::string());
  }
  if (D.compare(0, 2, ".\\") == 0 || D.compare(0, 2, "./") == 0) return A + D.substr(2);
  if (D == ".") return A;
  if (D.find(':') != std::string::npos || D.find("\\\\") != std::string::npos) return D;
  return A + D;
}

std::string TsSkinManager::AbsoluteSkinDirectory() const {
  return MakeAbsoluteSkinDirectory(FSkinDirectory, ProgramFolder());
}

std::string TsSkinManager::SkinInfo() const {
  if (!FModel.SkinData.Active) return "N/A";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", FModel.SkinData.Version);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  for (char& c : s)
    if (c == ',') c = '.';
  return s;
}

// ---- property setters ----

void TsSkinManager::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (ReadingState()) return;
  if (Value) {
    SetSkinName(FSkinName);
  } else {
    if (!FSkinName.empty()) {
      RemoveSkin();
      FModel.Clear();
      if (OnDeactivate && !ComponentState().Contains(csDesigning)) OnDeactivate(this);
    }
  }
  FSkinListController->ActiveSkinChanged();
}

void TsSkinManager::SetSkinnedPopups(bool Value) {
  if (FSkinnedPopups == Value) return;
  FSkinnedPopups = Value;
  if (!GetIsDefault() || ComponentState().Contains(csDesigning) || ReadingState()) return;
  if (FSkinableMenus == nullptr) return;
  if (Value) {
    if (FormServices.SyncMenusActive) FormServices.SyncMenusActive(FSkinableMenus);
  } else if (FormServices.ApplyToAllMenus) {
    FormServices.ApplyToAllMenus(FSkinableMenus, false);
  }
}

void TsSkinManager::SetExtendedBorders(bool Value) {
  if (FExtendedBorders == Value) return;
  FExtendedBorders = Value;
  if (!FModel.SkinData.Active) return;
  ReloadFromSource();
  const std::exception_ptr handlerError = TakeHandlerError();
  if (!ReadingState() && !ComponentState().Contains(csDesigning)) RepaintAll();
  RaiseIfAny(handlerError);
}

bool TsSkinManager::GetExtendedBorders() const {
  return FExtendedBorders && HasLayeredWindowApi();
}

void TsSkinManager::SetIsDefault(bool Value) {
  if (!Value) {
    if (gDefaultManager) return;  // some manager stays the default
    return;
  }
  if (gDefaultManager == this) return;
  TsSkinManager* previous = gDefaultManager;
  gDefaultManager = this;
  // only the default hooks: the thread hook and the patches go with the old one, the application window's
  // hook comes over to this one
  if (previous != nullptr) previous->RemoveHooks();
  if (!ComponentState().Contains(csDesigning) && SkinServices().HookMainWindow) SkinServices().HookMainWindow(this);
  if (ReadingState()) return;
  if (FActive)
    SetSkinName(FSkinName);
  else
    RemoveSkin();
}

int TsSkinManager::GetColorAdjustment(int Index) const {
  switch (Index) {
    case 0: return FBrightness;
    case 1: return FHueOffset;
    case 2: return FSaturation;
    default: return 0;
  }
}

void TsSkinManager::SetColorAdjustment(int Index, int Value) {
  int* field = Index == 0 ? &FBrightness : Index == 1 ? &FHueOffset : Index == 2 ? &FSaturation : nullptr;
  if (!field) return;
  if (Index == 0) Value = std::clamp(Value, -100, 100);
  if (*field == Value) return;
  *field = Value;
  ReloadSkin();
}

void TsSkinManager::SetSkinsFilter(TvkSkinsFilter Value) {
  if (FSkinsFilter == Value) return;
  FSkinsFilter = Value;
  if (ReadingState()) return;
  FSkinListController->Update();
  if (OnSkinListChanged) OnSkinListChanged(this);
}

void TsSkinManager::SetSkinDirectory(const std::string& Value) {
  if (FSkinDirectory == Value) return;
  FSkinDirectory = Value;
  if (ReadingState()) return;
  FSkinListController->Update();
  if (OnSkinListChanged) OnSkinListChanged(this);
}

namespace {
struct TRescaleContext {
  TsSkinManager* Manager;
  int OldPercent;
};
BOOL CALLBACK RescaleSkinnedForm(HWND w, LPARAM p) {
  auto* c = reinterpret_cast<TRescaleContext*>(p);
  // no exception may unwind through the system's frames: a form that failed is reported, the others rescale
  try {
    // forms answer command 4 with their skinner
    if (SendSkinCommand(w, VKCMD_QUERY_FORM_SKINNER, 0) != 0)
      if (TWinControl* form = FindControl(w)) c->Manager->RescaleControl(form, c->OldPercent);
  } catch (...) {
    HandleCallbackException(nullptr);
  }
  return TRUE;
}
}  // namespace

void TsSkinManager::SetScaleModeInternal(TvkScaleMode Value) {
  TvkScaleMode old = FOptions->FScaleMode;
  if (old == Value) return;
  bool designing = ComponentState().Contains(csDesigning);
  auto percent = [&](TvkScaleMode m) {
    static const int kPercent[4] = {100, 125, 150, 200};
    if (m == smOldMode) return 100;
    if (m == smAuto) return kPercent[FRegistryScaleIndex];
    return kPercent[static_cast<int>(m)];
  };
  if (!designing && OnScaleModeChange) OnScaleModeChange(this, TvkScaleChangeInfo{old, Value, percent(old), percent(Value)});
  FOptions->FScaleMode = Value;
  if (designing) return;
  // menu items without a picture of their own keep a glyph column of the new scale, also when the mode comes
  // with a stored form
  if (percent(old) > 0) DefaultMenuGlyphSize = MulDiv(DefaultMenuGlyphSize, percent(Value), percent(old));
  if (ReadingState()) return;
  if (FActive && !FModel.gd.empty()) ReloadFromSource();
  const std::exception_ptr handlerError = TakeHandlerError();
  // every skinned form of the thread takes the new size
  TRescaleContext ctx{this, percent(old)};
  EnumThreadWindows(GetCurrentThreadId(), RescaleSkinnedForm, reinterpret_cast<LPARAM>(&ctx));
  // the image lists build their system lists at the new size (reading the size re-applies the scale)
  if (GetIsDefault()) ForEachAlphaImageList([](TsAlphaImageList* L, void*) { L->Height(); }, nullptr);
  RaiseIfAny(handlerError);
}

void TsSkinManager::SetSkinName(const std::string& Value) {
  FSkinName = Value;
  // while the form is read only the value is kept: Loaded loads once, when everything is known
  if (ReadingState()) return;
  LoadNamedSkin();
}

// ---- loading ----

void TsSkinManager::LoadNamedSkin(bool Repaint) {
  bool wasApplied = FModel.SkinData.Active;
  if (!FActive) {
    FSkinListController->ActiveSkinChanged();
    return;
  }
  if (OnBeforeChange) OnBeforeChange(this);
  Milestone("skin load", FSkinName);
  auto& sv = SkinServices();
  const bool animated = GetExtendedBorders() && !FUpdating && FAnimEffects->SkinChanging()->Active() &&
                        FEffects->AllowAnimation() && sv.StartSkinChangeAnimation;
  if (animated) sv.StartSkinChangeAnimation(this);
  try {
    // held until the skin is applied and announced: no state fade may start on a half-changed skin
    TLoadingScope loading;
    if (EndsWithVkz(FSkinName)) FSkinName.resize(FSkinName.size() - 4);
    const bool read = LoadFromSource();
    const std::exception_ptr handlerError = TakeHandlerError();
    if (!read) {
      DropUnloadedSkin(wasApplied);
    } else if (FActive && !FUpdating) {
      Milestone("skin loaded", FSkinName);
      ApplySkin(Repaint);
      Milestone("skin applied", FSkinName);
    }
    RaiseIfAny(handlerError);
    if (OnActivate && !wasApplied && FModel.SkinData.Active && !ComponentState().Contains(csLoading) &&
        !ComponentState().Contains(csDesigning))
      OnActivate(this);
  } catch (...) {
    if (animated && sv.EndFormsChange) sv.EndFormsChange(this);
    throw;
  }
  // also after a failed load or an application without repaint, which never reached the change's last step
  if (animated && sv.EndFormsChange) sv.EndFormsChange(this);
  if (!FUpdating && OnAfterChange) OnAfterChange(this);
  FSkinListController->ActiveSkinChanged();
}

bool TsSkinManager::LoadFromSource() {
  TLoadingScope loading;
  // the packed file's path, with a separator between directory and name
  std::string packed = IncludeTrailingBackslash(AbsoluteSkinDirectory()) + FSkinName + ".vkz";
  bool read = false;
  try {
    // while an editor preview is active a folder of the name wins over the packed file
    bool previewFolder = EditorPreviewActive() && DirExists(IncludeTrailingBackslash(AbsoluteSkinDirectory()) + FSkinName);
    read = !FSkinName.empty() && FileExists(packed) && !previewFolder ? LoadPackedSkinFile(packed) : LoadSkinFolder();
  } catch (const std::exception&) {
    ReportLoadFailure();
    return false;
  }
  // the application's handler failing is no fault of the skin: the skin read stays, and the caller hears of the
  // exception once the change is in place
  if (read && OnSkinLoading) {
    try {
      OnSkinLoading(this);
    } catch (...) {
      FHeldHandlerError = std::current_exception();
    }
  }
  return read;
}

std::exception_ptr TsSkinManager::TakeHandlerError() {
  std::exception_ptr e = FHeldHandlerError;
  FHeldHandlerError = nullptr;
  return e;
}

void TsSkinManager::DropUnloadedSkin(bool WasApplied) {
  // a skin is applied whole or not at all: what was applied before goes
  if (WasApplied || FModel.SkinData.Active) RemoveSkin();
  FModel.Clear();
}

bool TsSkinManager::ReloadFromSource() {
  bool applied = FModel.SkinData.Active;
  if (!LoadFromSource()) {
    DropUnloadedSkin(applied);
    return false;
  }
  // a fresh model is not applied; reading the same skin again does not change that
  FModel.SkinData.Active = applied;
  return true;
}

void TsSkinManager::ReportLoadFailure() {
  ShowLoaderMessage("Internal format error in the \"" + FSkinName + "\" skin. Please, update this skin to latest version.",
                    MB_OK);
}

void TsSkinManager::ShowLoaderMessage(const std::string& Text, UINT Flags) {
  // a plain system box: no skinned dialog and no patched colours while it is up
  TvkSkinningRules rules = FSkinningRules;
  bool sysColors = FOptions->ChangeSysColors();
  FSkinningRules.Exclude(srStdDialogs);
  FOptions->SetFlag(4, false);
  TMessageBoxRequest request;
  request.source = TMessageBoxRequest::MessageBoxA;
  request.text = Text;
  request.caption = "";
  request.flags = Flags;
  try {
    PlatformMessageBox(request);
  } catch (...) {
    FSkinningRules = rules;
    FOptions->SetFlag(4, sysColors);
    throw;
  }
  FSkinningRules = rules;
  FOptions->SetFlag(4, sysColors);
}

bool TsSkinManager::ReadSkinText(const std::string& Text, const TvkSkinConvertor* Packed, const std::string& SkinPath) {
  TvkSkinLoadSettings s;
  s.ScaleIndex = EffectiveScaleMode();
  s.HueOffset = FHueOffset;
  s.Saturation = FSaturation;
  s.Brightness = FBrightness;
  s.CommonSections = Joined(FCommonSections);
  s.ExtendedBorders = FActive && GetExtendedBorders();
  s.Manager = this;
  s.VersionCheck = [this](double v) {
    if (v < 8.45) {
      if (ComponentState().Contains(csDesigning))
        ShowLoaderMessage("You are using an old version of the \"" + FSkinName + "\" skin. " +
                              "Please, update skins to latest or contact the VelkorControls support for upgrading of "
                              "existing skin.\r\n\r\nThis notification occurs in design-time only for your information "
                              "and will not be shown in real-time.",
                          MB_OK);
    } else if (v > 12.99) {
      ShowLoaderMessage("This version of the skin has not complete support by used VelkorControls package release.\r\n"
                        "Components must be updated to latest version for using this skin.",
                        MB_OK | MB_ICONWARNING);
    }
  };
  TvkSkinModel fresh;
  ReadSkin(fresh, Text, Packed, SkinPath, s);
  fresh.SkinData.SkinPath = SkinPath;
  // the applied skin is replaced only now that the new one was read whole
  FModel.Swap(fresh);
  FSkinIsPacked = Packed != nullptr;
  return true;
}

bool TsSkinManager::LoadPackedSkinFile(const std::string& Path) {
  if (!FActive) return false;
  TvkSkinConvertor* conv = nullptr;
  struct Guard {
    TvkSkinConvertor*& c;
    ~Guard() { FreeAndNil(c); }
  } guard{conv};
  bool signature = LoadPackedSkin(Path, conv);
  if (!signature) ShowLoaderMessage(kNotPackedSkinMessage, MB_OK | MB_ICONERROR);
  if (!conv || !conv->Options) {
    ReportLoadFailure();
    return false;
  }
  return ReadSkinText(*conv->Options, conv, IncludeTrailingBackslash(AbsoluteSkinDirectory()));
}

bool TsSkinManager::LoadSkinFolder() {
  if (!FActive) return false;
  std::string path = IncludeTrailingBackslash(AbsoluteSkinDirectory()) + FSkinName + "\\";
  std::string text = path + "Options.dat";
  if (const TStringList* preview = EditorPreviewText()) {
    FSkinIsPacked = false;
    return ReadSkinText(preview->Text(), nullptr, path);
  }
  if (!FSkinName.empty() && FileExists(text)) {
    FSkinIsPacked = false;
    return ReadSkinText(ReadWholeFile(text), nullptr, path);
  }
  int index = FInternalSkins->IndexOf(FSkinName);
  if (index < 0) {
    if (FInternalSkins->Count() == 0) {
      FActive = false;  // no source at all: the program runs without a skin
      return false;
    }
    index = 0;
    FSkinName = FInternalSkins->Items(0)->Name();
  }
  TMemoryStream* data = FInternalSkins->Items(index)->PackedData();
  if (data->Size() <= 0) {
    FActive = false;  // a stored skin without data is no source
    return false;
  }
  TvkSkinConvertor conv;
  bool signature = UnpackSkin(static_cast<const uint8_t*>(data->Memory()), static_cast<size_t>(data->Size()), conv);
  if (!signature) ShowLoaderMessage(kNotPackedSkinMessage, MB_OK | MB_ICONERROR);
  if (!conv.Options) {
    ReportLoadFailure();
    return false;
  }
  return ReadSkinText(*conv.Options, &conv, "");
}

void TsSkinManager::ReloadSkin() {
  // with nothing loaded there is nothing to read again, and the no-source rule would switch Active off
  if (!FActive || ReadingState() || FModel.gd.empty()) return;
  std::exception_ptr handlerError;
  {
    TLoadingScope loading;
    const bool read = ReloadFromSource();
    handlerError = TakeHandlerError();
    // during an update the skin is only read: EndUpdate applies it
    if (read && !FUpdating) ApplySkin(true);
  }
  RaiseIfAny(handlerError);
  if (FUpdating) return;
  if (OnAfterChange) OnAfterChange(this);
  RepaintAll();
}

void TsSkinManager::EndUpdate(bool Repaint, bool Animate) {
  FUpdating = false;
  if (FActive && !FModel.gd.empty()) {
    // the setting comes back also when the application raises
    struct TKeepSetting {
      TvkAnimEffect* Effect;
      bool Was;
      ~TKeepSetting() { Effect->SetActive(Was); }
    } keep{FAnimEffects->SkinChanging(), FAnimEffects->SkinChanging()->Active()};
    if (!Animate) keep.Effect->SetActive(false);
    ApplySkin(Repaint);
  }
  if (OnAfterChange) OnAfterChange(this);
}

// ---- application ----

namespace {
BOOL CALLBACK RedrawTop(HWND w, LPARAM) {
  if (IsWindowVisible(w))
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return TRUE;
}
}  // namespace

void TsSkinManager::BroadcastCommand(WORD Command, LPARAM Param) {
  TMessage M{SM_VKCMD, SkinCommandWParam(Command), Param, 0};
  BroadcastToScreenForms(M);
}

void TsSkinManager::ApplySkin(bool Repaint) {
  if (ReadingState()) return;
  auto& sv = SkinServices();
  if (GetIsDefault() && sv.ClearGlows) sv.ClearGlows();
  const bool frozen = !ComponentState().Contains(csDesigning) && Repaint && sv.PrepareFormsForChange;
  if (frozen) sv.PrepareFormsForChange(this);
  try {
    if (FSkinableMenus != nullptr && FormServices.ResetMenuSectionIndex) FormServices.ResetMenuSectionIndex(FSkinableMenus);
    FModel.SkinData.Active = false;
    BroadcastCommand(VKCMD_SKIN_APPLIED, reinterpret_cast<LPARAM>(this));
    FModel.SkinData.Active = true;
    if (GetIsDefault() && !FHooksInstalled) InstallHooks();
    if (Repaint) RepaintAll();
    if (frozen && sv.FinishFormsChange) sv.FinishFormsChange(this, 1);
  } catch (...) {
    // no form may stay frozen, nor painters held back, by a change that stopped half-way
    if (frozen && sv.EndFormsChange) sv.EndFormsChange(this);
    throw;
  }
}

void TsSkinManager::RemoveSkin() {
  TLoadingScope removing;
  auto& sv = SkinServices();
  if (sv.ClearGlows) sv.ClearGlows();
  RemoveHooks();
  bool was = FModel.SkinData.Active;
  FModel.SkinData.Active = false;
  if (was) BroadcastCommand(VKCMD_SKIN_DROPPED, reinterpret_cast<LPARAM>(this));
  FModel.Clear();
}

void TsSkinManager::InstallHooks() {
  if (ComponentState().Contains(csDesigning) || !GetIsDefault() || FHooksInstalled) return;
  FHooksInstalled = true;
  // the thread hook skins the forms and dialogs created or activated while the skin is applied
  if (FormServices.CbtHookProc)
    FThreadHook = SetWindowsHookExA(WH_CBT, FormServices.CbtHookProc, nullptr, GetCurrentThreadId());
  if (SkinServices().InstallPatches) SkinServices().InstallPatches(this);
}

void TsSkinManager::RemoveHooks() {
  if (!FHooksInstalled) return;
  if (FormServices.FreeMenuWindowAdapters) FormServices.FreeMenuWindowAdapters();
  if (FThreadHook) UnhookWindowsHookEx(FThreadHook);
  FThreadHook = nullptr;
  if (FormServices.FreeDialogAdapters) FormServices.FreeDialogAdapters();
  if (SkinServices().RemovePatches) SkinServices().RemovePatches(this);
  FHooksInstalled = false;
}

void TsSkinManager::RepaintAll() {
  BroadcastCommand(VKCMD_REREAD_SECTION_INDEX, reinterpret_cast<LPARAM>(this));
  BroadcastCommand(VKCMD_REPAINT_AFTER_CHANGE, reinterpret_cast<LPARAM>(this));
  if (FSkinableMenus != nullptr && FormServices.SyncMenusActive) FormServices.SyncMenusActive(FSkinableMenus);
  if (GetIsDefault()) EnumThreadWindows(GetCurrentThreadId(), RedrawTop, 0);
}

// ---- queries ----

int TsSkinManager::EffectiveScaleMode() const {
  if (ComponentState().Contains(csDesigning)) return 0;
  TvkScaleMode m = FOptions->ScaleMode();
  if (m == smOldMode) return 0;
  if (m == smAuto) return FRegistryScaleIndex;
  return static_cast<int>(m);
}

int TsSkinManager::ScalePercent() const {
  static const int kPercent[4] = {100, 125, 150, 200};
  return kPercent[EffectiveScaleMode()];
}

int TsSkinManager::ApplyScale(int V, int K) const {
  static const int kPercent[4] = {100, 125, 150, 200};
  if (FOptions->ScaleMode() == smOldMode) return V;
  int s = EffectiveScaleMode();
  if (K == 0) {
    switch (s) {
      case 1: return V + V / 4;
      case 2: return V + V / 2;
      case 3: return 2 * V;
      default: return V;
    }
  }
  if (K > 0 && K < 4 && K < s) return V * kPercent[K] / 100;
  return V;
}

void TsSkinManager::ChangeHotWindow(HWND Wnd) {
  if (Wnd == FHotWindow) return;
  if (FHotWindow && FHotGraphicControl) {
    ChangeHotGraphicControl(nullptr);
    if (FHotGraphicControl) return;  // it refused
  }
  HWND old = FHotWindow;
  FHotWindow = Wnd;
  if (old) SendSkinCommand(old, VKCMD_MOUSE_LEFT, reinterpret_cast<LPARAM>(this));
  if (Wnd) SendSkinCommand(Wnd, VKCMD_MOUSE_ENTERED, reinterpret_cast<LPARAM>(this));
}

void TsSkinManager::ChangeHotGraphicControl(TObject* Control) {
  TComponent* owner = Owner();
  if ((owner && owner->ComponentState().Contains(csDestroying)) || Control == FHotGraphicControl) return;
  if (!Control && FHotGraphicControl && GraphicControlIsHot && GraphicControlIsHot(FHotGraphicControl)) return;
  TObject* old = FHotGraphicControl;
  FHotGraphicControl = Control;
  if (old && GraphicControlMouseLeft) GraphicControlMouseLeft(old, this);
}

void TsSkinManager::CheckHotControl() {
  if (!FHotWindow) return;
  POINT p{};
  RECT r{};
  Platform().GetCursorPos(&p);
  if (!GetWindowRect(FHotWindow, &r) || !PtInRect(&r, p)) {
    TObject* graphic = FHotGraphicControl;
    ChangeHotWindow(nullptr);
    if (graphic && graphic == FHotGraphicControl && GraphicControlMouseLeft) GraphicControlMouseLeft(graphic, this);
  }
}

void CALLBACK TsSkinManager::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
  // no exception may leave a timer callback
  try {
    auto it = Timers().find(Id);
    if (it != Timers().end()) it->second->CheckHotControl();
  } catch (...) {
    HandleCallbackException(nullptr);
  }
}

void TsSkinManager::StartTimer() {
  FTimer = SetTimer(nullptr, 0, 100, TimerProc);
  if (FTimer) Timers()[FTimer] = this;
}

void TsSkinManager::StopTimer() {
  if (!FTimer) return;
  KillTimer(nullptr, FTimer);
  Timers().erase(FTimer);
  FTimer = 0;
}

namespace {
// What a window held of the keyboard before it was hidden: hiding hands the activation and the focus to other
// windows, and showing it again without activation does not take them back.
struct TKeyboardHeld {
  HWND Window = nullptr;    // the hidden window
  bool Foreground = false;  // it was the foreground window
  bool Active = false;      // it was its thread's active window
  HWND Focus = nullptr;     // the focused window, itself or inside it
};

TKeyboardHeld KeyboardHeldBy(HWND Wnd) {
  TKeyboardHeld h;
  h.Window = Wnd;
  h.Foreground = GetForegroundWindow() == Wnd;
  h.Active = GetActiveWindow() == Wnd;
  const HWND focus = GetFocus();
  if (focus != nullptr && (focus == Wnd || IsChild(Wnd, focus))) h.Focus = focus;
  return h;
}

void GiveKeyboardBack(const TKeyboardHeld& h) {
  if (h.Foreground)
    SetForegroundWindow(h.Window);
  else if (h.Active)
    SetActiveWindow(h.Window);
  if (h.Focus != nullptr && IsWindow(h.Focus) && GetFocus() != h.Focus) SetFocus(h.Focus);
}
}  // namespace

void TsSkinManager::RescaleControl(TControl* Control, int DefaultPercent) {
  if (!Control) return;
  int current = static_cast<int>(Control->Perform(SM_VKCMD, MAKEWPARAM(0, VKCMD_QUERY_SCALE), 0));
  if (current == 0) current = DefaultPercent;
  const int wanted = ScalePercent();
  if (current == wanted || current <= 0) return;
  const RECT before = Control->BoundsRect();
  const int w = MulDiv(before.right - before.left, wanted, current);
  const int h = MulDiv(before.bottom - before.top, wanted, current);
  auto* win = dynamic_cast<TWinControl*>(Control);
  HWND wnd = win && win->HandleAllocated() ? win->Handle() : nullptr;
  const bool anim = FEffects->AllowAnimation();
  const bool shown = wnd && IsWindowVisible(wnd);
  {
    FEffects->SetAllowAnimation(false);
    const TKeyboardHeld held = shown ? KeyboardHeldBy(wnd) : TKeyboardHeld{};
    if (shown) ShowWindow(wnd, SW_HIDE);
    // what was switched off comes back also when the control's own scaling raises
    struct TRestore {
      TvkSkinEffects* effects;
      HWND wnd;
      bool shown, anim;
      TKeyboardHeld held;
      ~TRestore() {
        if (shown) ShowWindow(wnd, SW_SHOWNA);
        GiveKeyboardBack(held);
        effects->SetAllowAnimation(anim);
      }
    } restore{FEffects, wnd, shown, anim, held};
    if (win) win->DisableAlign();
    try {
      Control->ChangeScale(wanted, current);
      // the control keeps its place; only its size follows the scale
      Control->SetBounds(before.left, before.top, w, h);
    } catch (...) {
      if (win) win->EnableAlign();
      throw;
    }
    if (win) win->EnableAlign();
    Control->Perform(SM_VKCMD, MAKEWPARAM(0, VKCMD_SET_SCALE), wanted);
  }
  if (w >= before.right - before.left && h >= before.bottom - before.top) return;
  // the area it no longer covers shows what lies beneath
  TWinControl* parent = Control->Parent();
  if (!parent)
    RedrawWindow(nullptr, &before, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  else if (parent->HandleAllocated())
    InvalidateRect(parent->Handle(), &before, TRUE);
}

int SkinScrollBarWidth(const TsSkinManager* Manager) {
  if (Manager && Manager->ScrollsOptions()->ScrollSize() >= 0) return Manager->ScrollsOptions()->ScrollSize();
  return GetSystemMetrics(SM_CXVSCROLL);
}

int SkinScrollBarWidthAtLeastSystem(const TsSkinManager* Manager) {
  return std::max(GetSystemMetrics(SM_CXVSCROLL), SkinScrollBarWidth(Manager));
}

// ===================================================================== published properties

PUBLISHED(TsSkinManager) {
  p.Bool("Active", &TsSkinManager::Active, &TsSkinManager::SetActive).Default(1);
  p.Object("AnimEffects", &TsSkinManager::AnimEffects);
  p.Object("ButtonsOptions", &TsSkinManager::ButtonsOptions);
  p.Object("CommonSections", &TsSkinManager::CommonSections);
  p.Bool("ExtendedBorders", &TsSkinManager::ExtendedBorders, &TsSkinManager::SetExtendedBorders).Default(0);
  p.Bool("IsDefault", &TsSkinManager::IsDefault, &TsSkinManager::SetIsDefault).Default(1);
  p.Object("Effects", &TsSkinManager::Effects);
  p.Object("InternalSkins", &TsSkinManager::InternalSkins);
  p.Object("LabelsOptions", &TsSkinManager::LabelsOptions);
  p.Object("MenuSupport", &TsSkinManager::MenuSupport);
  p.Object("Options", &TsSkinManager::Options);
  p.Object("ScrollsOptions", &TsSkinManager::ScrollsOptions);
  p.Int("Brightness", &TsSkinManager::Brightness, &TsSkinManager::SetBrightness).Default(0);
  p.Int("HueOffset", &TsSkinManager::HueOffset, &TsSkinManager::SetHueOffset).Default(0);
  p.Int("Saturation", &TsSkinManager::Saturation, &TsSkinManager::SetSaturation).Default(0);
  p.Bool("SkinnedPopups", &TsSkinManager::SkinnedPopups, &TsSkinManager::SetSkinnedPopups).Default(1);
  p.Set("SkinsFilter", &TsSkinManager::SkinsFilter, &TsSkinManager::SetSkinsFilter, {"sfiInternal", "sfiExternal"})
      .Default(3);
  p.Set("SkinningRules", &TsSkinManager::SkinningRules, &TsSkinManager::SetSkinningRules,
        {"srStdForms", "srStdDialogs", "srThirdParty"})
      .Default(7);
  p.Str("SkinDirectory", &TsSkinManager::SkinDirectory, &TsSkinManager::SetSkinDirectory);
  p.Str("SkinName", &TsSkinManager::SkinName, &TsSkinManager::SetSkinName);
  // read-only: the form keeps it for its reader, which skips it
  p.Str("SkinInfo", &TsSkinManager::SkinInfo, nullptr);
  p.Str("Version", &TsSkinManager::Version, nullptr).Stored([](TObject*) { return false; });
  p.Object("ThirdParty", &TsSkinManager::ThirdParty);
  p.Event("OnActivate", &TsSkinManager::OnActivate);
  p.Event("OnAfterChange", &TsSkinManager::OnAfterChange);
  p.Event("OnBeforeChange", &TsSkinManager::OnBeforeChange);
  p.Event("OnDeactivate", &TsSkinManager::OnDeactivate);
  p.Event("OnSkinListChanged", &TsSkinManager::OnSkinListChanged);
  p.Event("OnSkinLoading", &TsSkinManager::OnSkinLoading);
  p.Event("OnScaleModeChange", &TsSkinManager::OnScaleModeChange);
  p.Event("OnGetMenuExtraLineData", &TsSkinManager::OnGetMenuExtraLineData);
  p.Event("OnGetPopupItemData", &TsSkinManager::OnGetPopupItemData);
  p.Event("OnSysDlgInit", &TsSkinManager::OnSysDlgInit);
}
