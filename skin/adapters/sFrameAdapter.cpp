#include "skin/adapters/sFrameAdapter.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/FormsFrame.h"
#include "framework/Menus.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollBars.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"

IMPLEMENT_CLASS(TsFrameAdapter)

namespace {

constexpr UINT kRepaintAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr UINT CM_COLORCHANGED_ = 0xB00B;     // the frame's colour changed
constexpr UINT CM_MOUSEENTER_ = 0xB013;
constexpr UINT CM_SHOWINGCHANGED_ = 0xB019;
constexpr uint32_t kNoColor = 0xFF00FF;

bool Designing(const TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDesigning); }
bool Destroying(const TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDestroying); }

}  // namespace

TsFrameAdapter::TsFrameAdapter(TComponent* AOwner) : TComponent(AOwner) {
  FSkinData = new TsScrollWndData(this, true);
  FSkinData->CtrlType = ctFrameAdapter;
  auto* F = As<TCustomFrame>(AOwner);
  if (F == nullptr) {
    delete FSkinData;
    FSkinData = nullptr;
    throw EInvalidOperation("TsFrameAdapter adapter must be placed on the handled frame");
  }
  Frame = F;
  FSkinData->OwnerControl = F;
  if (!ControlHasSkin(F, false)) {
    OldWndProc = F->WindowProc;
    F->WindowProc = TWndMethod(this, &TsFrameAdapter::NewWndProc);
  }
  FSkinData->AttachToHandle();
}

TsFrameAdapter::~TsFrameAdapter() {
  if (ScrollAdapter != nullptr) FreeAndNil(ScrollAdapter);
  if (Frame != nullptr && !OldWndProc.IsNull()) Frame->WindowProc = OldWndProc;
  Frame = nullptr;
  delete FSkinData;
  FSkinData = nullptr;
}

void TsFrameAdapter::AfterConstruction() {
  TComponent::AfterConstruction();
  if (Frame == nullptr) return;
  FSkinData->AttachToHandle();
  if (Frame->HandleAllocated())
    SendMessageA(Frame->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_APPLIED),
                 reinterpret_cast<LPARAM>(FSkinData->SkinManager()));
}

void TsFrameAdapter::SkinMenus() {
  TsSkinManager* M = FSkinData->SkinManager();
  if (M == nullptr || !M->SkinnedPopups() || FormServices.InitPopupMenu == nullptr || Frame == nullptr) return;
  for (int I = 0; I < Frame->ComponentCount(); ++I)
    if (auto* P = As<TPopupMenu>(Frame->Components(I)))
      FormServices.InitPopupMenu(M->SkinableMenus(), P, M->Active());
}

void TsFrameAdapter::Loaded() {
  TComponent::Loaded();
  TsSkinManager* M = FSkinData->SkinManager();
  if (Frame != nullptr && Frame->HandleAllocated() && WindowHasSkin(Frame->Handle()) && M != nullptr) {
    FSkinData->RefreshSectionIndex(true);
    if (M->Active() && !Designing(M)) {
      SkinMenus();
      if (FSkinData->IsSkinned() && M->SkinningRules().Contains(srThirdParty)) AskFormToAdaptControl(Frame);
    }
  }
  FSkinData->AttachToHandle();
}

void TsFrameAdapter::CallOld(TMessage& Message) {
  if (!OldWndProc.IsNull())
    OldWndProc(Message);
  else if (Frame != nullptr)
    Frame->Dispatch(Message);
}

void TsFrameAdapter::TellChildren(TMessage& Message) {
  if (Frame != nullptr) BroadcastToChildControls(Frame, Message);
}

uint32_t TsFrameAdapter::BackgroundColor() {
  const TsGeneralData* G = FSkinData->Section();
  if (G == nullptr) return static_cast<uint32_t>(ColorToRGB(Frame->Color()));
  const uint32_t Own = G->Props[0].Color;
  const int T = G->Props[0].Transparency;
  if (T == 0) return Own;
  // The parent's background colour: its answer, or its own Color when it has none.
  uint32_t Parent = kNoColor;
  if (TWinControl* P = Frame->Parent(); P != nullptr) {
    if (P->HandleAllocated())
      Parent = static_cast<uint32_t>(SendMessageA(P->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_BG_COLOR), 0));
    if (Parent == 0 || (Parent & 0xFFFFFF) == kNoColor) Parent = static_cast<uint32_t>(ColorToRGB(P->Color()));
  } else {
    Parent = static_cast<uint32_t>(ColorToRGB(clBtnFace));
  }
  if (T >= 100) return Parent;
  // The transparency used as a weight out of 256, as every skinned control mixes for this command.
  return MixBackgroundColor(Parent, Own, T);
}

bool TsFrameAdapter::PrepareCache() {
  FSkinData->RefreshSectionIndex(false);
  TvkParentBgQuery Q{};
  Q.OffsetX = Frame->Left();
  Q.OffsetY = Frame->Top();
  Q.Area = TRect(0, 0, Frame->Width(), Frame->Height());
  if (Frame->Parent() == nullptr) {
    FSkinData->Updating = true;
    return false;
  }
  FSkinData->GetParentBackground(Q);
  if (Q.Kind == bgkNotReady || Q.Kind == bgkNone) {
    FSkinData->Updating = true;
    return false;
  }
  TBitmap* Cache = FSkinData->CacheBmp;
  Cache->SetPixelFormat(pf32bit);
  Cache->SetSize(Frame->Width(), Frame->Height());
  Cache->Canvas()->Font()->Assign(Frame->Font());
  TvkBgCacheRef Bg;
  BgCacheRefFromQuery(Q, Bg);
  RenderControlSkin(FSkinData, Bg, true, Cache, TPoint(), TRect(0, 0, Frame->Width(), Frame->Height()), 0);
  FSkinData->CacheDirty = false;
  return true;
}

void TsFrameAdapter::PaintFrame(HDC DC) {
  if (DC == nullptr) return;
  // while the skin changes only the picture being made of the form is painted
  if (TsSkinManager* M = FSkinData->SkinManager(); M != nullptr && M->Updating() && DC != FSkinData->PrintDC) return;
  if (FSkinData->IsUpdating()) return;
  const TsGeneralData* G = FSkinData->Section();
  if (G != nullptr && G->Props[0].Transparency >= 100 && G->Props[0].TextureIndex < 0) {
    TvkParentBgQuery Q{};
    Q.OffsetX = Frame->Left();
    Q.OffsetY = Frame->Top();
    Q.Area = TRect(0, 0, Frame->Width(), Frame->Height());
    FSkinData->GetParentBackground(Q);
    TvkBgCacheRef Bg;
    BgCacheRefFromQuery(Q, Bg);
    if (Bg.Ready && Bg.Bmp != nullptr)
      BitBlt(DC, 0, 0, Frame->Width(), Frame->Height(), Bg.Bmp->Canvas()->Handle(), Bg.X, Bg.Y, SRCCOPY);
    else
      PaintSolidRect(DC, TRect(0, 0, Frame->Width(), Frame->Height()), Bg.FillColor);
    PaintGraphicChildren(DC, Frame, true, POINT{0, 0});
    return;
  }
  RECT Box{};
  if (GetClipBox(DC, &Box) == NULLREGION) return;
  if ((FSkinData->CacheDirty || FSkinData->ClippedOut) && !PrepareCache()) return;
  BlitCacheExceptChildren(Frame, FSkinData, POINT{0, 0}, 0, 0, false, DC, RECT{0, 0, Frame->Width(), Frame->Height()});
}

bool TsFrameAdapter::ParentBackgroundReady() {
  TvkParentBgQuery Q{};
  Q.OffsetX = Frame->Left();
  Q.OffsetY = Frame->Top();
  Q.Area = TRect(0, 0, Frame->Width(), Frame->Height());
  FSkinData->GetParentBackground(Q);
  // a parent with nothing to give answers the key colour
  return Q.Kind == bgkBitmap || (Q.Kind == bgkColor && Q.Color != kNoColor);
}

void TsFrameAdapter::DoPaint(TMessage& Message) {
  PAINTSTRUCT PS{};
  const HWND W = Frame->Handle();
  BeginPaint(W, &PS);
  HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetWindowDC(W);
  if (!FSkinData->IsUpdating()) PaintFrame(DC);
  if (Message.WParam == 0) ReleaseDC(W, DC);
  EndPaint(W, &PS);
  Message.Result = 0;
}

void TsFrameAdapter::PumpPaintsOnly() {
  MSG Msg;
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
    // a system that hands the quit out with any filter gets it back for the program's loop
    if (Msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(Msg.wParam));
      return;
    }
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
}

void TsFrameAdapter::SkinCommand(TMessage& Message, bool& Done) {
  Done = true;
  TsSkinManager* M = FSkinData->SkinManager();
  const bool Ours = M != nullptr && Message.LParam == reinterpret_cast<LPARAM>(M);
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_SKIN_APPLIED:
      if (!Ours) break;
      TellChildren(Message);
      FSkinData->RefreshSectionIndex(true);
      SkinMenus();
      SyncScrollWndAdapter(FSkinData, ScrollAdapter);
      return;
    case VKCMD_SKIN_DROPPED: {
      if (!Ours) break;
      if (ScrollAdapter != nullptr) FreeAndNil(ScrollAdapter);
      FSkinData->RefreshSectionIndex(true);
      if (Application == nullptr || !Application->Terminated()) {
        const HWND W = Frame->Handle();
        SetClassLongA(W, GCL_HBRBACKGROUND, static_cast<LONG>(reinterpret_cast<LONG_PTR>(GetSysColorBrush(COLOR_BTNFACE))));
        SetWindowPos(W, nullptr, 0, 0, 0, 0, kFrameChangeFlags);
        RedrawWindow(W, nullptr, nullptr, kRepaintAll);
        // The paints waiting are done so the frame is shown plainly before the children change; never nested.
        // Only paints: what else waits stays for the program's own loop (the quit; a release that would free the
        // frame, and this adapter with it, under the children's notice).
        if (!FPumping) {
          FPumping = true;
          PumpPaintsOnly();
          FPumping = false;
        }
      }
      TellChildren(Message);
      return;
    }
    case VKCMD_REPAINT_AFTER_CHANGE:
      if (!Ours) break;
      FSkinData->RefreshSectionIndex(true);
      if (M != nullptr) {
        if (SkinCommandLow(Message.WParam) != 1) TellChildren(Message);
        Frame->Invalidate();
        SyncScrollWndAdapter(FSkinData, ScrollAdapter);
      }
      if (M != nullptr && Frame->HandleAllocated())
        SetClassLongA(Frame->Handle(), GCL_HBRBACKGROUND, static_cast<LONG>(reinterpret_cast<LONG_PTR>(M->PaletteBrush(0))));
      return;
    case VKCMD_QUERY_SKINNED:
      Message.Result = 1;
      return;
    case VKCMD_QUERY_OWNER_SECTION:
      if (!FSkinData->SkinSection().empty())
        Message.Result = FSkinData->SkinIndex + 1;
      else if (M != nullptr)
        Message.Result = M->FindSectionIndex("FORM") + 1;
      return;
    case VKCMD_REREAD_SECTION_INDEX:
      TellChildren(Message);
      return;
    case VKCMD_QUERY_BG_COLOR:
      if (FSkinData->IsSkinned()) break;
      Message.Result = static_cast<LRESULT>(ColorToRGB(Frame->Color()));
      return;
    case VKCMD_REFRESH_CACHE:
      if (!FSkinData->IsUpdating() && !PrepareCache()) FSkinData->Updating = true;
      return;
    case VKCMD_QUERY_SECTION_INDEX:
      if (Message.LParam != 0) reinterpret_cast<int32_t*>(Message.LParam)[1] = FSkinData->SkinIndex;
      return;
    case VKCMD_QUERY_SKIN_DATA:
      Message.Result = reinterpret_cast<LRESULT>(FSkinData);
      return;
    case VKCMD_SUSPEND_REDRAW:
    case VKCMD_RESUME_REDRAW:
      if (!FSkinData->IsUpdating()) {
        const bool Resume = SkinCommandCode(Message.WParam) == VKCMD_RESUME_REDRAW;
        SendMessageA(Frame->Handle(), WM_SETREDRAW, Resume ? 1 : 0, 0);
        if (Resume) Frame->Invalidate();
      }
      return;
    default:
      break;
  }
  Done = false;
}

void TsFrameAdapter::SkinnedMessage(TMessage& Message) {
  TsSkinManager* M = FSkinData->SkinManager();
  const bool ThirdParty = M != nullptr && M->SkinningRules().Contains(srThirdParty);
  switch (Message.Msg) {
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_PARENT_UPDATE_DONE:
          // a lock holds the frame's updates until its own unlock
          if (FSkinData->Updating && (FSkinData->StateFlags & sfLocked) == 0) {
            FSkinData->Updating = false;
            if (FSkinData->CacheDirty) PrepareCache();
            Frame->Invalidate();
            RepaintChildrenAfterUpdate(Frame);
          }
          return;
        case VKCMD_SET_UPDATE_STATE:
          FSkinData->Updating = SkinCommandLow(Message.WParam) == 1;
          TellChildren(Message);
          return;
        case VKCMD_QUERY_BG_READY: {
          const TsGeneralData* G = FSkinData->Section();
          const bool SeeThrough = G != nullptr && (G->Props[0].TextureIndex >= 0 || G->Props[0].Transparency > 0);
          Message.Result = SeeThrough || !FSkinData->Updating ? 1 : 0;
          return;
        }
        case VKCMD_QUERY_BG_COLOR:
          Message.Result = static_cast<LRESULT>(BackgroundColor());
          return;
        default:
          if (!ProcessSkinCommand(Message, FSkinData)) CallOld(Message);
          return;
      }
    case WM_HSCROLL:
    case WM_VSCROLL:
      CallOld(Message);
      if (ScrollAdapter != nullptr) ReloadScrollBarInfo(ScrollAdapter, true);
      return;
    case WM_PARENTNOTIFY:
      // the children a frame's window makes with it are adapted with the frame, not one notice at a time
      if ((LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY) &&
          !Frame->ComponentState().Contains(csLoading) && !Frame->ControlState().Contains(csCreating)) {
        if (LOWORD(Message.WParam) == WM_CREATE && ThirdParty) AskFormToAdaptControl(Frame);
        CallOld(Message);
        if (ScrollAdapter != nullptr) ReloadScrollBarInfo(ScrollAdapter, true);
        return;
      }
      break;
    case WM_PRINTCLIENT: {
      FSkinData->Updating = false;
      auto DC = reinterpret_cast<HDC>(Message.WParam);
      // the frame's own face only over a background that is there (its children are printed in any case)
      if (ParentBackgroundReady()) PaintFrame(DC);
      for (int I = 0; I < Frame->ControlCount(); ++I)
        if (auto* W = As<TWinControl>(Frame->Controls(I)); W != nullptr && W->Visible() && W->HandleAllocated()) {
          const int Saved = SaveDC(DC);
          SetViewportOrgEx(DC, W->Left(), W->Top(), nullptr);
          SendMessageA(W->Handle(), WM_PRINT, Message.WParam, PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
          RestoreDC(DC, Saved);
        }
      return;
    }
    case CM_COLORCHANGED_:
      FSkinData->CacheDirty = true;
      CallOld(Message);
      Frame->Invalidate();
      return;
    case CM_MOUSEENTER_: {
      CallOld(Message);
      if (Designing(Frame)) return;
      // the mouse is on this child (or on the frame itself): the other adapted children lose their hover
      auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
      for (int I = 0; I < Frame->ControlCount(); ++I)
        if (auto* W = As<TWinControl>(Frame->Controls(I)); W != nullptr && W != Sender && W->Visible() &&
                                                            W->HandleAllocated() && WindowHasSkin(W->Handle()))
          SendSkinCommand(W->Handle(), VKCMD_MOUSE_LEFT, reinterpret_cast<LPARAM>(FSkinData->SkinManager()));
      // the frame's window is the hot one while the mouse is on it or on one of its graphic children
      if (TsSkinManager* M = FSkinData->SkinManager(); M != nullptr && (Sender == nullptr || !Sender->Is<TWinControl>() || Sender == Frame))
        M->ChangeHotWindow(Frame->Handle());
      return;
    }
    case CM_SHOWINGCHANGED_:
      CallOld(Message);
      SyncScrollWndAdapter(FSkinData, ScrollAdapter);
      if (ThirdParty) AskFormToAdaptControl(Frame);
      if (Frame->Showing()) Frame->Realign();
      return;
    case WM_NCPAINT:
      // the system's frame is painted while the parent is updating (no skinned face is there yet)
      if (Designing(Frame) || (Frame->Parent() != nullptr && SendControlCommand(Frame->Parent(), VKCMD_QUERY_UPDATE_STATE, 0) == 1))
        break;
      Message.Result = 0;
      return;
    case WM_PAINT:
      if (Frame->Parent() != nullptr && !Designing(Frame->Parent())) {
        DoPaint(Message);
        return;
      }
      break;
    case WM_CREATE:
    case WM_NCCREATE:
      CallOld(Message);
      if (Frame->HandleAllocated()) FSkinData->AttachToHandle();
      return;
    case WM_ERASEBKGND:
      if (!Designing(Frame) && Frame->Showing()) {
        if (!InAnimationProcess && !FSkinData->IsUpdating() && !FSkinData->CacheDirty)
          PaintFrame(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
      }
      break;
    case WM_SIZE:
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED: {
      if (Message.Msg == WM_SIZE || FSkinData->Updating) FSkinData->CacheDirty = true;
      if (FSkinData->CacheDirty) {
        TMessage Changed{SM_VKCMD, SkinCommandWParam(VKCMD_BG_CHANGED), 0, 0};
        TellChildren(Changed);
      }
      if (Message.Msg != WM_MOVE && Frame->HandleAllocated()) InvalidateRect(Frame->Handle(), nullptr, FALSE);
      CallOld(Message);
      return;
    }
    default:
      break;
  }
  CallOld(Message);
}

void TsFrameAdapter::NewWndProc(TMessage& Message) {
  if (Designing(this)) {
    CallOld(Message);
    return;
  }
  if (Message.Msg == WM_SIZE) FSkinData->CacheDirty = true;
  if (Message.Msg == SM_VKCMD) {
    bool Done = false;
    SkinCommand(Message, Done);
    if (Done) return;
  }
  TsSkinManager* M = FSkinData->SkinManager();
  const bool Loaded = M != nullptr && M->Active();
  if (Destroying(this) || Destroying(Frame) || !FSkinData->IsSkinned() || !Loaded) {
    if ((Message.Msg == CM_COLORCHANGED_ || Message.Msg == CM_SHOWINGCHANGED_) && Loaded && Frame->HandleAllocated()) {
      FSkinData->RefreshSectionIndex(true);
      SendMessageA(Frame->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_REPAINT_AFTER_CHANGE), reinterpret_cast<LPARAM>(M));
    }
    CallOld(Message);
    return;
  }
  SkinnedMessage(Message);
}
