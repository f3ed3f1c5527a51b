#include "skin/adapters/vkStaticWnds.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "framework/Forms.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkWindowImages.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkSkinText.h"
#include "skin/graphics/ToolkitStartup.h"

IMPLEMENT_CLASS(TvkStaticWnd)
IMPLEMENT_CLASS(TvkIconWnd)
IMPLEMENT_CLASS(TvkLinkWnd)

namespace {

constexpr UINT kPaintNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
constexpr UINT kRepaintAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
// Tabs expanded to stops every 10 characters (the count in bits 8 to 15).
constexpr UINT kStaticTabFlags = DT_EXPANDTABS | DT_TABSTOP | (10 << 8);

bool RightToLeftApplication() { return Application != nullptr && Application->BiDiMode() != bdLeftToRight; }

// Whether S holds, at P, a link tag: "<a" followed by ">" or a blank, or "</a>", in any case.
size_t LinkTagLength(const std::string& S, size_t P) {
  auto Lower = [&](size_t I) { return I < S.size() ? static_cast<char>(tolower(static_cast<unsigned char>(S[I]))) : '\0'; };
  if (Lower(P) != '<') return 0;
  const bool Closing = Lower(P + 1) == '/';
  const size_t A = P + (Closing ? 2 : 1);
  if (Lower(A) != 'a') return 0;
  const char After = Lower(A + 1);
  if (Closing) return After == '>' ? A + 2 - P : 0;
  if (After != '>' && !isspace(static_cast<unsigned char>(After))) return 0;
  const size_t End = S.find('>', A);
  return End == std::string::npos ? 0 : End + 1 - P;
}

// Every "&" doubled, so that prefix processing draws it as it is.
std::string WithLiteralAmpersands(const std::string& S) {
  std::string R;
  for (char C : S) {
    R += C;
    if (C == '&') R += '&';
  }
  return R;
}

}  // namespace

bool IsTextStaticType(LONG Type) {
  return Type == SS_LEFT || Type == SS_CENTER || Type == SS_RIGHT || Type == SS_SIMPLE || Type == SS_LEFTNOWORDWRAP;
}

bool IsFrameStaticType(LONG Type) {
  return (Type >= SS_BLACKFRAME && Type <= SS_WHITEFRAME) || (Type >= SS_ETCHEDHORZ && Type <= SS_ETCHEDFRAME);
}

UINT StaticTextFlags(LONG Style, LONG ExStyle) {
  struct TTypeFlags {
    LONG Type;
    UINT Flags;
  };
  static const TTypeFlags kByType[] = {{SS_LEFT, DT_WORDBREAK},
                                       {SS_CENTER, DT_WORDBREAK | DT_CENTER},
                                       {SS_RIGHT, DT_WORDBREAK | DT_RIGHT},
                                       {SS_SIMPLE, DT_SINGLELINE},
                                       {SS_LEFTNOWORDWRAP, 0}};
  const LONG Type = Style & SS_TYPEMASK;
  UINT Flags = kStaticTabFlags;
  for (const TTypeFlags& T : kByType)
    if (T.Type == Type) Flags |= T.Flags;
  if (Type != SS_SIMPLE) {
    // One line, as the system draws these: centred vertically, or cut with "..." at its end, path or word.
    static const UINT kEllipsis[] = {0, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS, DT_WORD_ELLIPSIS};
    const UINT Ellipsis = kEllipsis[(Style & SS_ELLIPSISMASK) >> 14];
    if ((Style & SS_CENTERIMAGE) != 0) Flags |= DT_SINGLELINE | DT_VCENTER;
    // The tab stops' count takes bits the end and path ellipses need: with an ellipsis, tabs keep the system's stops.
    if (Ellipsis != 0) Flags = (Flags & ~static_cast<UINT>(DT_TABSTOP | 0xFF00)) | DT_SINGLELINE | Ellipsis;
  }
  if ((Flags & DT_SINGLELINE) != 0) Flags &= ~static_cast<UINT>(DT_WORDBREAK);
  if ((ExStyle & WS_EX_RIGHT) != 0) Flags = (Flags & ~static_cast<UINT>(DT_CENTER)) | DT_RIGHT;
  return Flags;
}

std::string LinkTextWithoutTags(const std::string& Text) {
  std::string S;
  for (size_t P = 0; P < Text.size();) {
    if (const size_t N = LinkTagLength(Text, P)) {
      P += N;
    } else {
      S += Text[P++];
    }
  }
  return S;
}

// ---- text statics ----

void TvkStaticWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRANSPARENT");
  TvkMainWnd::FinishCreation();
}

void TvkStaticWnd::WndProc(TMessage& Message) {
  const HWND W = CtrlHandle;
  if (SkinData == nullptr || (GetWindowLongA(W, GWL_STYLE) & WS_TABSTOP) ||
      (GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_STATICEDGE)) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  const bool Visible = IsWindowVisible(W) != FALSE;
  switch (Message.Msg) {
    case WM_MOVE:
    case WM_ENABLE:
      if (!Visible) break;
      SkinData->CacheDirty = true;
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      RedrawWindow(W, nullptr, nullptr, kPaintNow);
      return;
    case WM_SETTEXT:
      if (!Visible) break;
      PerformMessage(WM_SETREDRAW, 0, 0);
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      Caption = GetWindowTextWide(W);
      SkinData->CacheDirty = true;
      PerformMessage(WM_SETREDRAW, 1, 0);
      RedrawWindow(W, nullptr, nullptr, kPaintNow);
      return;
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      BeginPaint(W, &PS);
      if (Visible) PaintToDC(Message);
      EndPaint(W, &PS);
      return;
    }
    case WM_PRINT:
      PaintToDC(Message);
      return;
    case WM_ERASEBKGND:
      if (!Visible) break;
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      if (HasFrame()) break;  // the system draws the border
      return;
    default:
      break;
  }
  TvkMainWnd::WndProc(Message);
}

TRect TvkStaticWnd::ContentRect() const {
  RECT C{};
  GetClientRect(CtrlHandle, &C);
  const POINT O = ClientOriginInWindow(CtrlHandle);
  return TRect(O.x, O.y, O.x + C.right, O.y + C.bottom);
}

bool TvkStaticWnd::HasFrame() const {
  RECT W{};
  GetWindowRect(CtrlHandle, &W);
  return ContentRect() != TRect(0, 0, W.right - W.left, W.bottom - W.top);
}

void TvkStaticWnd::PaintToDC(TMessage& Message) {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  // A bordered static keeps the system's border: the cache goes to its client area alone.
  const bool Framed = HasFrame();
  const bool Own = Message.WParam == 0;
  HDC DC = !Own ? reinterpret_cast<HDC>(Message.WParam) : Framed ? GetDC(CtrlHandle) : GetWindowDC(CtrlHandle);
  const bool Printing = !Own && Message.Msg == WM_PRINT;
  if (Framed && Printing && (Message.LParam & PRF_NONCLIENT) != 0) {
    LPARAM Border = PRF_NONCLIENT;
    ForwardToOldWndProc(CtrlHandle, WM_PRINT, Message.WParam, Border);
  }
  const int Saved = SaveDC(DC);
  // The cache runs left to right: a mirrored DC (a right-to-left window's) would show it flipped.
  if (QueryDCLayout(DC) != 0) ApplyDCLayout(DC, 0);
  SkinData->CacheDirty = true;
  PrepareAdapterCache(this);
  PaintAdapterCache(SkinData, CtrlHandle, false);
  if (DrawContent()) {
    const TRect C = ContentRect();
    // A print's DC starts at the window's corner, a paint's at the client's.
    const POINT At = Printing ? POINT{C.Left, C.Top} : POINT{0, 0};
    BitBlt(DC, At.x, At.y, C.Width(), C.Height(), SkinData->CacheBmp->Canvas()->Handle(), C.Left, C.Top, SRCCOPY);
  }
  RestoreDC(DC, Saved);
  if (Own) ReleaseDC(CtrlHandle, DC);
}

bool TvkStaticWnd::DrawContent() {
  const std::string Text = WideToAnsi(Caption);
  if (Text.empty()) return true;
  TCanvas* Canvas = SkinData->CacheBmp->Canvas();
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  const TRect R = ContentRect();
  SelectAdapterFont(this);
  const LONG Style = GetWindowLongA(CtrlHandle, GWL_STYLE);
  UINT Flags = StaticTextFlags(Style, GetWindowLongA(CtrlHandle, GWL_EXSTYLE));
  if (RightToLeftApplication()) Flags |= DT_RTLREADING;
  Canvas->Font()->SetColor(static_cast<TColor>(FontColorForWindow(CtrlHandle, SkinData->SkinIndex, SkinData->SkinManager(), 0)));
  SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
  // The tab stops take the bits DT_NOPREFIX would need: without prefixes every "&" stays by being doubled.
  DrawSectionTextStr(Canvas, (Style & SS_NOPREFIX) ? WithLiteralAmpersands(Text) : Text,
                     IsWindowEnabled(CtrlHandle) != FALSE, nullptr, 0, -1, Flags, R);
  return true;
}

// ---- icons and bitmaps ----

void TvkIconWnd::FinishCreation() {
  IsBitmap = (GetWindowLongA(CtrlHandle, GWL_STYLE) & SS_TYPEMASK) != SS_ICON;
  ImageCache = nullptr;
  TvkStaticWnd::FinishCreation();
}

void TvkIconWnd::ReleaseOwnObjects() {
  delete ImageCache;
  ImageCache = nullptr;
  TvkStaticWnd::ReleaseOwnObjects();
}

void TvkIconWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr || (Message.Msg != STM_SETIMAGE && Message.Msg != STM_SETICON)) {
    TvkStaticWnd::WndProc(Message);
    return;
  }
  // A new picture: the copy of the old one goes, and the window shows the new one at once.
  Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
  delete ImageCache;
  ImageCache = nullptr;
  SkinData->CacheDirty = true;
  RedrawWindow(CtrlHandle, nullptr, nullptr, kPaintNow);
}

bool TvkIconWnd::DrawContent() {
  // Without a picture the background alone shows, never what the window held before.
  TBitmap* Cache = SkinData->CacheBmp;
  const TRect C = ContentRect();
  if (IsBitmap) {
    if (ImageCache == nullptr)
      ImageCache = CopyBitmapHandle(reinterpret_cast<HBITMAP>(SendMessageA(CtrlHandle, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    if (ImageCache->Empty()) return true;
    if (ImageCache->PixelFormat() != pf32bit) {
      BitBlt(Cache->Canvas()->Handle(), C.Left, C.Top, std::min(C.Width(), ImageCache->Width()),
             std::min(C.Height(), ImageCache->Height()), ImageCache->Canvas()->Handle(), 0, 0, SRCCOPY);
    } else {
      TvkBgCacheRef Own;
      InitBgInfo(Cache, 0, 0, Own);
      CompositeOverCache(C, TRect(0, 0, ImageCache->Width(), ImageCache->Height()),
                         Cache, ImageCache, Own, true, NoColor32, 0, false);
    }
    return true;
  }
  auto Icon = reinterpret_cast<HICON>(SendMessageA(CtrlHandle, STM_GETICON, 0, 0));
  if (Icon != nullptr) DrawIconEx(Cache->Canvas()->Handle(), C.Left, C.Top, Icon, 0, 0, 0, nullptr, DI_NORMAL);
  return true;
}

// ---- links ----

void TvkLinkWnd::WndProc(TMessage& Message) {
  const HWND W = CtrlHandle;
  if (SkinData == nullptr || (GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_STATICEDGE)) {
    TvkStaticWnd::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_NCPAINT:
      if (HasFrame()) break;  // the system draws the border
      return;
    case WM_UPDATEUISTATE:
      if (!IsWindowVisible(W)) return;
      break;
    case WM_MOVE:
      SkinData->CacheDirty = true;
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      RedrawWindow(W, nullptr, nullptr, kRepaintAll);
      return;
    case WM_SETTEXT:
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      Caption = GetWindowTextWide(W);
      SkinData->CacheDirty = true;
      RedrawWindow(W, nullptr, nullptr, kRepaintAll);
      return;
    case WM_PAINT: {
      // The link is painted on erase.
      PAINTSTRUCT PS{};
      BeginPaint(W, &PS);
      EndPaint(W, &PS);
      return;
    }
    case WM_ERASEBKGND:
      if (!IsWindowVisible(W)) break;
      PaintToDC(Message);
      Message.Result = 1;
      return;
    default:
      break;
  }
  TvkStaticWnd::WndProc(Message);
}

bool TvkLinkWnd::DrawContent() {
  TCanvas* Canvas = SkinData->CacheBmp->Canvas();
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  TRect R = ContentRect();
  R.Right += 4;
  SelectAdapterFont(this);
  Canvas->Font()->SetStyle(Canvas->Font()->Style() + fsUnderline);
  SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
  DrawControlTextStr(Canvas, LinkTextWithoutTags(WideToAnsi(Caption)), IsWindowEnabled(CtrlHandle) != FALSE, R,
                     DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP, SkinData, 0);
  return true;
}
