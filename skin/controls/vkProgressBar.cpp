#include "skin/controls/vkProgressBar.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/Themes.h"
#include "framework/TypInfo.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionPaint.h"

namespace {

constexpr UINT kSetMarquee = WM_USER + 10;  // PBM_SETMARQUEE
constexpr DWORD kMarqueeStyle = 8;          // PBS_MARQUEE
constexpr int kMarqueeChunks = 5, kMarqueeChunk = 9, kMarqueeGap = 1;

int Nearest(double X) { return static_cast<int>(std::nearbyint(X)); }

// A piece along the bar from Start to End (pixels from the start edge), across its whole thickness.
TRect Piece(const TRect& Inner, bool Vertical, int Start, int End) {
  if (Vertical) return TRect(Inner.Left, Inner.Bottom - End, Inner.Right, Inner.Bottom - Start);
  return TRect(Inner.Left + Start, Inner.Top, Inner.Left + End, Inner.Bottom);
}

int LengthOf(const TRect& Inner, bool Vertical) { return Vertical ? Inner.Height() : Inner.Width(); }
int ThicknessOf(const TRect& Inner, bool Vertical) { return Vertical ? Inner.Width() : Inner.Height(); }

struct TChunkSizes {
  int L = 0, Size = 0, Count = 0, Gap = 0;
};

// Chunks laid along the inner length less 2; Count 0 when none fits.
TChunkSizes ChunkSizes(const TRect& Inner, bool Vertical) {
  TChunkSizes S;
  S.L = LengthOf(Inner, Vertical) - 2;
  S.Size = Nearest(ThicknessOf(Inner, Vertical) * 0.66) - 2;
  // A bar too thin for a chunk of one pixel has none (rather than dividing by zero).
  if (S.Size < 1 || S.L < 1) return TChunkSizes{};
  S.Count = S.L / (S.Size + 2);
  if (S.Count < 2) return TChunkSizes{};
  S.Gap = (S.L - S.Count * S.Size) / (S.Count - 1);
  return S;
}

// From From to To, taken in double: a range spanning most of int would overflow as an int difference.
double Span(int From, int To) { return static_cast<double>(To) - static_cast<double>(From); }

bool Designing(const TComponent* C) { return C->ComponentState().Contains(csDesigning); }

}  // namespace

// ---- geometry ----

TRect ProgressInnerRect(const TRect& Client, int BorderWidth) {
  const int In = 1 + BorderWidth;
  return TRect(Client.Left + In, Client.Top + In, Client.Right - In, Client.Bottom - In);
}

TRect SmoothProgressRect(const TRect& Inner, bool Vertical, int Min, int Max, int Position) {
  if (Max == Min) return TRect(Inner.Left, Inner.Top, Inner.Left, Inner.Top);
  const int Length = LengthOf(Inner, Vertical);
  const int Filled =
      Position == Max ? Length : Nearest(Span(Min, Position) * Length / Span(Min, Max));
  return Piece(Inner, Vertical, 0, std::clamp(Filled, 0, Length));
}

int ShownChunkCount(const TRect& Inner, bool Vertical, int Min, int Max, int Position) {
  const TChunkSizes S = ChunkSizes(Inner, Vertical);
  if (S.Count == 0 || Position <= Min || Max <= Min) return 0;
  return std::min(S.Count, static_cast<int>(S.Count * Span(Min, Position) / Span(Min, Max)));
}

std::vector<TRect> ProgressChunks(const TRect& Inner, bool Vertical, int Min, int Max, int Position) {
  std::vector<TRect> Result;
  const TChunkSizes S = ChunkSizes(Inner, Vertical);
  const int Shown = ShownChunkCount(Inner, Vertical, Min, Max, Position);
  for (int k = 0; k < Shown; ++k) {
    const int Start = 1 + k * (S.Size + S.Gap);
    Result.push_back(Piece(Inner, Vertical, Start, Start + S.Size));
  }
  if (Position == Max && Shown == S.Count && Shown > 0) {
    const int LastEnd = 1 + (S.Count - 1) * (S.Size + S.Gap) + S.Size;
    if (1 + S.L - LastEnd > 3) Result.push_back(Piece(Inner, Vertical, LastEnd + S.Gap, 1 + S.L));
  }
  return Result;
}

std::vector<TRect> MarqueePieces(const TRect& Inner, bool Vertical, bool Smooth, int Pos) {
  std::vector<TRect> Result;
  const int Length = LengthOf(Inner, Vertical);
  if (Length <= 0) return Result;
  if (Smooth) {
    Result.push_back(Piece(Inner, Vertical, Pos, std::min(Length, Pos + 40)));
    return Result;
  }
  int Start = Pos;
  for (int k = 0; k < kMarqueeChunks; ++k) {
    if (Start >= Length) Start -= Length;
    Result.push_back(Piece(Inner, Vertical, Start, std::min(Length, Start + kMarqueeChunk)));
    Start += kMarqueeChunk + kMarqueeGap;
  }
  return Result;
}

// ---- the control ----

PUBLISHED(TsProgressBar) {
  p.Str("ProgressSkin", &TsProgressBar::ProgressSkin, &TsProgressBar::SetProgressSkin);
  p.Object("SkinData", &TsProgressBar::SkinData);
  p.Enum("Style", &TsProgressBar::Style, &TsProgressBar::SetStyle, {"pbstNormal", "pbstMarquee"}).Default(pbstNormal);
  p.Int("MarqueeInterval", &TsProgressBar::MarqueeInterval, &TsProgressBar::SetMarqueeInterval).Default(10);
}

TsProgressBar::TsProgressBar(TComponent* AOwner)
    : TProgressBar(AOwner), FSkinData(new TsCommonData(this, true)), FTimer(new TTimer(nullptr)) {
  FSkinData->CtrlType = ctGauge;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(30);
  FTimer->OnTimer = [this](TObject*) { MarqueeTick(); };
  FControlStyle += csOpaque;
}

TsProgressBar::~TsProgressBar() {
  FTimer->Free();
  delete FSkinData;
}

void TsProgressBar::AfterConstruction() {
  TProgressBar::AfterConstruction();
  FSkinData->FinishLoading(false);
}

void TsProgressBar::Loaded() {
  TProgressBar::Loaded();
  FSkinData->FinishLoading(false);
  if (!Designing(this) && FStyle == pbstMarquee) FTimer->SetEnabled(true);
}

bool TsProgressBar::ThemedMarquee() const {
  if (!ThemeServices()->ThemesEnabled()) return false;
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof Info;
  if (!Platform().GetVersionExA(&Info)) return false;
  return Info.dwMajorVersion > 5 || (Info.dwMajorVersion == 5 && Info.dwMinorVersion >= 1);
}

void TsProgressBar::SyncTimer() { FTimer->SetEnabled(FSkinData->IsSkinned() && FStyle == pbstMarquee); }

void TsProgressBar::SetProgressSkin(const std::string& Value) {
  if (Value == FProgressSkin) return;
  FProgressSkin = Value;
  FLastChunks = -1;
  FSkinData->RepaintOwner(false);
}

void TsProgressBar::SetStyle(TProgressBarStyle Value) {
  if (Value == FStyle) return;
  if (Value == pbstMarquee) FSavedPosition = Position();
  FStyle = Value;
  SyncTimer();
  if (ThemedMarquee() && HandleAllocated())
    SendMessageA(Handle(), kSetMarquee, FStyle == pbstMarquee, static_cast<LPARAM>(FMarqueeInterval));
  FLastChunks = -1;
  RecreateWnd();
  if (Value == pbstNormal) SetPosition(FSavedPosition);
}

void TsProgressBar::SetMarqueeInterval(int Value) {
  FMarqueeInterval = Value;
  if (FStyle == pbstMarquee && ThemedMarquee() && HandleAllocated()) {
    SendMessageA(Handle(), kSetMarquee, TRUE, static_cast<LPARAM>(Value));
    FTimer->SetInterval(12);
  }
}

void TsProgressBar::CreateParams(TCreateParams& Params) {
  TProgressBar::CreateParams(Params);
  if (FStyle == pbstMarquee && ThemedMarquee()) Params.Style |= kMarqueeStyle;
}

void TsProgressBar::CreateWnd() {
  TProgressBar::CreateWnd();
  if (ThemedMarquee()) {
    SendMessageA(Handle(), kSetMarquee, FStyle == pbstMarquee, static_cast<LPARAM>(10 * FMarqueeInterval));
    FTimer->SetInterval(12);
  }
}

TRect TsProgressBar::Inner() { return ProgressInnerRect(TRect(ClientRect()), BorderWidth()); }

void TsProgressBar::BuildImage() {
  PrepareCacheBitmap(FSkinData);
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache == nullptr || Cache->Empty()) return;
  const TRect All(0, 0, Width(), Height());
  RenderControlSkinOnParent(FSkinData, true, Cache, TPoint(0, 0), All, 0);
  TsSkinManager* M = FSkinData->SkinManager();
  const int Index = !FProgressSkin.empty() ? M->FindSectionIndex(FProgressSkin)
                    : M->ConstData().Sections[Vertical() ? ssProgressV : ssProgressH];
  const TRect In = Inner();
  std::vector<TRect> Pieces;
  if (FStyle == pbstMarquee)
    Pieces = MarqueePieces(In, Vertical(), Smooth(), static_cast<int>(FMarqueePos));
  else if (Smooth())
    Pieces.push_back(SmoothProgressRect(In, Vertical(), Min(), Max(), Position()));
  else
    Pieces = ProgressChunks(In, Vertical(), Min(), Max(), Position());
  FLastChunks = FStyle == pbstNormal && !Smooth() ? ShownChunkCount(In, Vertical(), Min(), Max(), Position()) : -1;
  FSkinData->CacheDirty = false;
  if (!M->SectionIndexInRange(Index)) return;
  for (const TRect& P : Pieces) {
    if (P.Width() < 2 || P.Height() < 2) continue;
    TvkBgCacheRef Ref;
    InitBgInfo(Cache, P.Left, P.Top, Ref);
    PaintSectionItem(Index, Ref, -1, -1, M, Cache, TPoint(0, 0), P, 0);
  }
}

void TsProgressBar::PaintTo(HDC DC) {
  if (FSkinData->IsUpdating()) return;
  TBitmap* Cache = FSkinData->CacheBmp;
  const bool SizeKept = Cache != nullptr && Cache->Width() == Width() && Cache->Height() == Height();
  bool Rebuild = FSkinData->CacheDirty || !SizeKept || FLastChunks < 0;
  if (!Rebuild) {
    // A chunked bar changes its picture only when a chunk appears or goes; the others follow every change.
    const bool Chunked = FStyle == pbstNormal && !Smooth();
    Rebuild = !Chunked || ShownChunkCount(Inner(), Vertical(), Min(), Max(), Position()) != FLastChunks ||
              Position() - Min() == Max();
  }
  if (Rebuild) BuildImage();
  Cache = FSkinData->CacheBmp;
  if (Cache != nullptr && !Cache->Empty())
    BitBlt(DC, 0, 0, Width(), Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsProgressBar::MarqueeTick() {
  if (!FSkinData->IsSkinned()) {
    FTimer->SetEnabled(false);
    return;
  }
  if (Visible() && HandleAllocated()) {
    BuildImage();
    const HDC DC = GetDC(Handle());
    if (DC != nullptr) {
      BitBlt(DC, 0, 0, Width(), Height(), FSkinData->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
      ReleaseDC(Handle(), DC);
    }
  }
  FMarqueePos += 18.0 / (FMarqueeInterval + 27) * FMarqueeDirection * FMarqueeStep;
  if (FMarqueePos > Width() - FMarqueeStep) FMarqueePos = 0;
}

void TsProgressBar::WndProc(TMessage& Message) {
  if (Message.Msg == SM_VKCMD) {
    TsSkinManager* M = FSkinData->SkinManager();
    const bool Own = Message.LParam != 0 && reinterpret_cast<TsSkinManager*>(Message.LParam) == M;
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_SKIN_APPLIED:
        if (!Own) break;
        ProcessCommonSkinMessage(Message, FSkinData);
        if (!Designing(this) && FStyle == pbstMarquee) FTimer->SetEnabled(true);
        FLastChunks = -1;
        return;
      case VKCMD_SKIN_DROPPED:
        if (!Own) break;
        FTimer->SetEnabled(false);
        ProcessCommonSkinMessage(Message, FSkinData);
        if (HandleAllocated())
          RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return;
      case VKCMD_REPAINT_AFTER_CHANGE:
        if (!Own) break;
        ProcessCommonSkinMessage(Message, FSkinData);
        FLastChunks = -1;
        FSkinData->RepaintOwner(false);
        return;
      case VKCMD_PARENT_UPDATE_DONE:
        FSkinData->Updating = false;
        FSkinData->RepaintOwner(false);
        return;
      case VKCMD_QUERY_SKINNED:
        Message.Result = 1;
        return;
      case VKCMD_QUERY_OWNER_SECTION:
        if (M != nullptr) Message.Result = M->ConstData().Sections[ssGauge] + 1;
        return;
      case VKCMD_QUERY_PARENT_BG:
        if (Message.LParam == 0) break;
        {
          // The cache holds the client area from its point (0, 0): the asker's offset stays as it came.
          auto* Q = reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
          Q->Bmp = FSkinData->CacheBmp;
          Q->Kind = bgkBitmap;
        }
        return;
    }
  }
  if (Message.Msg == WM_CREATE || Message.Msg == WM_NCCREATE) ProcessCommonSkinMessage(Message, FSkinData);
  if (FSkinData->IsSkinned()) {
    switch (Message.Msg) {
      case WM_NCPAINT:
        Message.Result = 0;
        return;
      case WM_PRINT:
        if (Message.WParam != 0) PaintTo(reinterpret_cast<HDC>(Message.WParam));
        return;
      case PBM_SETPOS:
        if (FStyle == pbstMarquee) {
          SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
          TProgressBar::WndProc(Message);
          SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
          return;
        }
        break;
      case WM_MOVE:
      case WM_SIZE:
      case WM_WINDOWPOSCHANGED:
        FLastChunks = -1;
        break;
      case WM_PAINT: {
        PAINTSTRUCT PS{};
        const HDC DC = BeginPaint(Handle(), &PS);
        if (Visible() || Designing(this)) PaintTo(DC);
        EndPaint(Handle(), &PS);
        Message.Result = 0;
        return;
      }
      case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    }
    if (Message.Msg != WM_CREATE && Message.Msg != WM_NCCREATE && ProcessCommonSkinMessage(Message, FSkinData)) return;
  }
  TProgressBar::WndProc(Message);
}

void RegisterTsProgressBarClass() {
  RegisterClasses({TsCommonData::StaticClassInfo(), TsProgressBar::StaticClassInfo()});
}
