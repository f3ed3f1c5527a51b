#include "skin/forms/vkGlue.h"

#include <algorithm>

#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"

namespace {

std::vector<TvkGlueEntry> g_Glue;

// Forms in the table are watched: an entry goes with either of its forms.
class TvkGlueWatcher : public TComponent {
  DECLARE_CLASS(TvkGlueWatcher, TComponent)
public:
  TvkGlueWatcher() : TComponent(nullptr) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    g_Glue.erase(std::remove_if(g_Glue.begin(), g_Glue.end(),
                                [AComponent](const TvkGlueEntry& E) { return E.Form == AComponent || E.Master == AComponent; }),
                 g_Glue.end());
  }
};
IMPLEMENT_CLASS(TvkGlueWatcher)

TvkGlueWatcher* g_Watcher = nullptr;

void Watch(TCustomForm* Form) {
  if (g_Watcher == nullptr) g_Watcher = new TvkGlueWatcher();
  Form->FreeNotification(g_Watcher);
}

HWND HandleOf(TCustomForm* F) { return F != nullptr && F->HandleAllocated() ? F->Handle() : nullptr; }

TRect WindowRectOf(TCustomForm* F) {
  RECT R{};
  if (HWND W = HandleOf(F)) GetWindowRect(W, &R);
  else R = TRect(F->Left(), F->Top(), F->Left() + F->Width(), F->Top() + F->Height());
  return R;
}

int ExtraFrameWidth(TsSkinProvider* P) { return P->ExtraFrameWidth(); }

// The other forms a move may snap to or carry: visible plain forms of the library's list.
std::vector<TCustomForm*> OtherForms(TCustomForm* Self) {
  std::vector<TCustomForm*> Out;
  for (TCustomForm* F : SkinnedFormList)
    if (F != Self && F->Is<TForm>() && F->Visible()) Out.push_back(F);
  return Out;
}

void SnapToRect(const TRect& F, const TRect& T, int Buffer, int& DX, int& DY) {
  int X = SnapDelta(F.Left, T.Left, Buffer), Y = SnapDelta(F.Top, T.Top, Buffer);
  if (X == 0) X = SnapDelta(F.Right, T.Right, Buffer);
  if (Y == 0) Y = SnapDelta(F.Bottom, T.Bottom, Buffer);
  if (DX == 0) DX = X;
  if (DY == 0) DY = Y;
}

// True when the other form decided both offsets.
bool SnapToForm(TsSkinProvider* P, TCustomForm* Other, const TRect& F, int& DX, int& DY) {
  const TRect O = AdjustForBorder(P, ExtraFrameWidth(P), WindowRectOf(Other), true);
  const TRect Edges[4] = {TRect(O.Left, O.Top, O.Left, O.Bottom), TRect(O.Left, O.Top, O.Right, O.Top),
                          TRect(O.Right, O.Top, O.Right, O.Bottom), TRect(O.Left, O.Bottom, O.Right, O.Bottom)};
  const bool OverlapV = F.Top < O.Bottom && F.Bottom > O.Top;
  const bool OverlapH = F.Left < O.Right && F.Right > O.Left;
  for (int i = 0; i < 4; ++i) {
    const bool Vertical = i % 2 == 0;
    if (Vertical ? OverlapV : OverlapH) SnapToRect(F, Edges[i], P->SnapBuffer(), DX, DY);
  }
  return DX != 0 && DY != 0;
}

// Two rectangles share an edge and overlap along it.
bool Touching(const TRect& A, const TRect& B) {
  const bool OverlapH = A.Left < B.Right && B.Left < A.Right;
  const bool OverlapV = A.Top < B.Bottom && B.Top < A.Bottom;
  return ((B.Top == A.Bottom || A.Top == B.Bottom) && OverlapH) || ((B.Left == A.Right || A.Left == B.Right) && OverlapV);
}

}  // namespace

const std::vector<TvkGlueEntry>& GlueTable() { return g_Glue; }

void RemoveFromGlueTable(TCustomForm* Form) {
  for (size_t i = 0; i < g_Glue.size();) {
    if (g_Glue[i].Form == Form) {
      g_Glue[i] = g_Glue.back();
      g_Glue.pop_back();
    } else {
      ++i;
    }
  }
}

void ClearGlueTable() {
  g_Glue.clear();
  if (g_Watcher != nullptr) {
    g_Watcher->Free();
    g_Watcher = nullptr;
  }
}

TRect AdjustForBorder(TsSkinProvider* Provider, int Extra, const TRect& R, bool Grow) {
  TsSkinManager* M = Provider->SkinData() != nullptr ? Provider->SkinData()->SkinManager() : nullptr;
  if (Provider->BorderForm() == nullptr || M == nullptr) return R;
  const int S = Grow ? 1 : -1;
  const TsSkinData& D = M->SkinData();
  const int Caption = GetExtraCaptionHeight(Provider->BorderForm());
  return TRect(R.Left + (-D.AlignOffset - Extra) * S, R.Top + (-Caption - D.AlignOffsetT) * S,
               R.Right + (D.AlignOffsetR + Extra) * S, R.Bottom + (D.AlignOffsetB + Extra) * S);
}

bool IsGluedTo(TsSkinProvider* Provider, TCustomForm* Form) {
  return std::any_of(g_Glue.begin(), g_Glue.end(),
                     [&](const TvkGlueEntry& E) { return E.Master == Provider->Form() && E.Form == Form; });
}

void SnapPosition(TsSkinProvider* Provider, int& X, int& Y) {
  TCustomForm* Self = Provider->Form();
  if (Self == nullptr || (Provider->FormStateFlags() & fsfGluedMove) != 0) return;
  // a form the user moves by itself is no longer carried
  RemoveFromGlueTable(Self);
  int DX = 0, DY = 0;
  RECT Work{};
  GetFormWorkArea(Self, Work);
  const TRect Own = WindowRectOf(Self);
  const TRect F(X, Y, X + Own.Width(), Y + Own.Height());
  for (TCustomForm* Other : OtherForms(Self)) {
    if (IsGluedTo(Provider, Other)) continue;
    if (SnapToForm(Provider, Other, F, DX, DY)) break;
  }
  if (DX == 0 || DY == 0) {
    const int Extra = ExtraFrameWidth(Provider);
    int WX = 0, WY = 0;
    SnapToRect(AdjustForBorder(Provider, Extra, F, false), AdjustForBorder(Provider, Extra, Work, false),
               Provider->SnapBuffer(), WX, WY);
    if (DX == 0) DX = WX;
    if (DY == 0) DY = WY;
  }
  X -= DX;
  Y -= DY;
}

void RecordGluedForms(TsSkinProvider* Provider, bool RecordGlued) {
  TCustomForm* Self = Provider->Form();
  if (!RecordGlued || Self == nullptr || Provider->GluedForms()->Count() == 0) return;
  const int Extra = ExtraFrameWidth(Provider);
  const TRect Mine = AdjustForBorder(Provider, Extra, WindowRectOf(Self), true);
  const std::vector<TCustomForm*> Others = OtherForms(Self);
  for (int n = 0; n < Provider->GluedForms()->Count(); ++n) {
    const std::string& Name = Provider->GluedForms()->Strings(n);
    for (TCustomForm* Other : Others) {
      if (Other->Name() != Name) continue;
      if (!Touching(Mine, AdjustForBorder(Provider, Extra, WindowRectOf(Other), true))) continue;
      const TPoint Offset(Other->Left() - Self->Left(), Other->Top() - Self->Top());
      auto It = std::find_if(g_Glue.begin(), g_Glue.end(),
                             [&](const TvkGlueEntry& E) { return E.Master == Self && E.Form == Other; });
      if (It != g_Glue.end()) {
        It->Offset = Offset;
      } else {
        g_Glue.push_back(TvkGlueEntry{Other, Self, Offset});
        Watch(Other);
        Watch(Self);
      }
    }
  }
}

void MoveGluedForms(TsSkinProvider* Provider) {
  TCustomForm* Self = Provider->Form();
  if (Self == nullptr || (Provider->FormStateFlags() & fsfGluedMove) != 0) return;
  // the window's place: during WM_MOVE the form's Left and Top are not updated yet
  const TRect Own = WindowRectOf(Self);
  TPoint Base(Own.Left, Own.Top);
  if (TvkBorderForm* BF = Provider->BorderForm()) {
    TvkGlowForm* L = FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(BF) : nullptr;
    TsSkinManager* M = Provider->SkinData()->SkinManager();
    if (L != nullptr && L->HandleAllocated() && M != nullptr) {
      RECT R{};
      GetWindowRect(L->Handle(), &R);
      const int Extra = ExtraFrameWidth(Provider);
      if (M->SkinData().BorderMode != 0) {
        Base = TPoint(R.left + Extra + M->SkinData().FormOffset, R.top + GetExtraCaptionHeight(BF) + M->SkinData().FormOffset);
      } else {
        const TRect Mg = M->ExtBorderMargins();
        Base = TPoint(R.left + Mg.Left + Extra, R.top + Mg.Top + GetExtraCaptionHeight(BF));
      }
    }
  }
  for (int n = 0; n < Provider->GluedForms()->Count(); ++n) {
    const std::string& Name = Provider->GluedForms()->Strings(n);
    // a copy: moving a form may change the table
    const std::vector<TvkGlueEntry> Entries = g_Glue;
    for (const TvkGlueEntry& E : Entries) {
      if (E.Master != Self || E.Form->Name() != Name) continue;
      const HWND W = HandleOf(E.Form);
      if (W != nullptr) SendSkinCommand(W, VKCMD_SET_SIZING_STYLE, 1);
      E.Form->SetBounds(Base.X + E.Offset.X, Base.Y + E.Offset.Y, E.Form->Width(), E.Form->Height());
      if (W != nullptr) SendSkinCommand(W, VKCMD_SET_SIZING_STYLE, 0);
    }
  }
}
