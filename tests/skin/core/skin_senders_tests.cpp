// The skin-aware senders, the colour behind a control, and the parent-background query through them.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Controls.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkWindowProps.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/support/Bitmaps.h"

namespace {

// ---- a plain window whose procedure answers SM_VKCMD from a script ----
struct WindowScript {
  std::vector<WORD> heard;  // commands that reached the window procedure
  LRESULT answer = 0;
  std::function<void(UINT, WPARAM, LPARAM)> onMessage;
};
WindowScript* g_script = nullptr;

LRESULT CALLBACK ScriptedProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (g_script != nullptr && (Msg == SM_VKCMD || Msg == WM_ERASEBKGND || Msg == WM_PAINT)) {
    if (g_script->onMessage) g_script->onMessage(Msg, WParam, LParam);
    if (Msg == SM_VKCMD) {
      g_script->heard.push_back(HIWORD(WParam));
      return g_script->answer;
    }
    return 1;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

struct ScriptedWindow {
  HWND wnd;
  WindowScript script;
  ScriptedWindow() {
    WNDCLASSA c{};
    c.lpfnWndProc = ScriptedProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "WiringScripted";
    RegisterClassA(&c);  // a second registration fails harmlessly
    wnd = CreateWindowExA(0, "WiringScripted", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, c.hInstance, nullptr);
    g_script = &script;
  }
  ~ScriptedWindow() {
    SkinDataProps().Remove(wnd);
    DestroyWindow(wnd);
    g_script = nullptr;
  }
};

// ---- a stand-in for a window's skin data: its saved window method ----
struct FakeSkinData {
  TWndMethod saved;
};
TWndMethod SavedOfFake(TsCommonData* Data) { return reinterpret_cast<FakeSkinData*>(Data)->saved; }
struct SkinDataHook {
  TWndMethod (*saved)(TsCommonData*) = SkinDataSavedWindowMethod;
  SkinDataHook() { SkinDataSavedWindowMethod = SavedOfFake; }
  ~SkinDataHook() { SkinDataSavedWindowMethod = saved; }
};

// ---- controls that answer SM_VKCMD through their WndProc ----
struct Answers {
  std::vector<WORD> heard;
  LRESULT skinned = 0;  // answer to VKCMD_QUERY_SKINNED
  std::function<LRESULT(WORD, LPARAM)> command;  // any other command
  std::function<void(UINT, WPARAM)> paint;       // WM_ERASEBKGND / WM_PAINT with the DC
  bool Handle(TMessage& M) {
    if (M.Msg == SM_VKCMD) {
      const WORD cmd = HIWORD(M.WParam);
      heard.push_back(cmd);
      M.Result = cmd == VKCMD_QUERY_SKINNED ? skinned : command ? command(cmd, M.LParam) : 0;
      return true;
    }
    if ((M.Msg == WM_ERASEBKGND || M.Msg == WM_PAINT) && paint) {
      paint(M.Msg, M.WParam);
      return true;
    }
    return false;
  }
};

class AnsweringGraphic : public TControl {
 public:
  explicit AnsweringGraphic(TComponent* Owner) : TControl(Owner) {}
  Answers answers;
  void WndProc(TMessage& M) override {
    if (!answers.Handle(M)) TControl::WndProc(M);
  }
};

class AnsweringWindowed : public TWinControl {
 public:
  explicit AnsweringWindowed(TComponent* Owner) : TWinControl(Owner) {}
  Answers answers;
  void WndProc(TMessage& M) override {
    if (!answers.Handle(M)) TWinControl::WndProc(M);
  }
  void MarkDestroying() { SetComponentStateItem(csDestroying, true); }
};

using testing_support::Bitmap32;
using testing_support::Owned;

uint32_t PixelOf(const testing_support::BitmapPtr& B, int X, int Y) { return testing_support::PixelAt(B.get(), X, Y) & 0xFFFFFF; }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
TEST(SkinSenders, AWindowWithoutSkinDataHearsTheCommandInTheHighWord) {
  ScriptedWindow w;
  w.script.answer = 7;
  EXPECT_EQ(7, SendSkinCommand(w.wnd, VKCMD_QUERY_BG_COLOR, 0));
  ASSERT_EQ(w.script.heard.size(), 1u);
  EXPECT_EQ(w.script.heard[0], VKCMD_QUERY_BG_COLOR);
}

TEST(SkinSenders, SkinDataHearsTheMessageBeforeTheWindowProcedure) {
  ScriptedWindow w;
  SkinDataHook hook;
  FakeSkinData data;
  std::vector<TMessage> direct;
  data.saved = TWndMethod::FromFunction([&](TMessage& M) {
    direct.push_back(M);
    M.Result = 0x1234;
  });
  SkinDataProps().Set(w.wnd, &data);
  EXPECT_EQ(WindowSkinData(w.wnd), reinterpret_cast<TsCommonData*>(&data));
  EXPECT_EQ(0x1234, SendSkinMessage(w.wnd, WM_USER + 5, 9, 10));
  EXPECT_EQ(0x1234, SendSkinCommand(w.wnd, VKCMD_QUERY_PARENT_BG, 99));
  EXPECT_TRUE(w.script.heard.empty());
  ASSERT_EQ(direct.size(), 2u);
  EXPECT_EQ(direct[0].Msg, static_cast<UINT>(WM_USER + 5));
  EXPECT_EQ(direct[0].WParam, 9u);
  EXPECT_EQ(direct[1].Msg, SM_VKCMD);
  EXPECT_EQ(direct[1].WParam, static_cast<WPARAM>(VKCMD_QUERY_PARENT_BG) << 16);
  EXPECT_EQ(direct[1].LParam, 99);
  // Skin data without a saved method leaves the message to the window.
  data.saved = TWndMethod();
  w.script.answer = 3;
  EXPECT_EQ(3, SendSkinCommand(w.wnd, VKCMD_QUERY_SKINNED, 0));
  EXPECT_EQ(w.script.heard.size(), 1u);
}

TEST(SkinSenders, ControlsAreReachedByPerformOrOnlyThroughAnExistingWindow) {
  EXPECT_EQ(0, SendControlCommand(nullptr, VKCMD_REPAINT, 0));
  Owned<AnsweringGraphic> graphic(Create<AnsweringGraphic>(nullptr));
  graphic->answers.command = [](WORD Cmd, LPARAM L) { return static_cast<LRESULT>(Cmd) * 1000 + L; };
  EXPECT_EQ(0x15 * 1000 + 4, SendControlCommand(graphic.get(), VKCMD_QUERY_BG_COLOR, 4));

  Owned<AnsweringWindowed> windowed(Create<AnsweringWindowed>(nullptr));
  windowed->answers.command = [](WORD, LPARAM) { return LRESULT(5); };
  EXPECT_EQ(0, SendControlCommand(windowed.get(), VKCMD_REPAINT, 0));
  EXPECT_FALSE(windowed->HandleAllocated());  // no window is made to deliver a command
  EXPECT_TRUE(windowed->answers.heard.empty());

  ScriptedWindow host;
  windowed->SetParentWindow(host.wnd);
  windowed->HandleNeeded();
  ASSERT_TRUE(windowed->HandleAllocated());
  EXPECT_EQ(5, SendControlCommand(windowed.get(), VKCMD_REPAINT, 0));
  EXPECT_EQ(windowed->answers.heard.size(), 1u);
  windowed->MarkDestroying();
  EXPECT_EQ(0, SendControlCommand(windowed.get(), VKCMD_REPAINT, 0));
  EXPECT_EQ(windowed->answers.heard.size(), 1u);
}

TEST(SkinSenders, ControlColourIsTheSkinsAnswerOrTheControlsOwnColour) {
  EXPECT_EQ(0xFF00FFu, GetControlColor(nullptr));
  Owned<AnsweringGraphic> plain(Create<AnsweringGraphic>(nullptr));
  plain->SetColor(clBtnFace);
  plain->answers.command = [](WORD, LPARAM) { return LRESULT(0x00112233); };
  EXPECT_EQ(ColorToRGB(clBtnFace), GetControlColor(plain.get()));  // not skinned: the skin is not asked
  EXPECT_EQ(plain->answers.heard, std::vector<WORD>{VKCMD_QUERY_SKINNED});

  Owned<AnsweringGraphic> skinned(Create<AnsweringGraphic>(nullptr));
  skinned->SetColor(clRed);
  skinned->answers.skinned = 1;
  skinned->answers.command = [](WORD, LPARAM) { return LRESULT(clWindow); };
  EXPECT_EQ(ColorToRGB(clWindow), GetControlColor(skinned.get()));
  // A skinned control that gives no colour of its own hands back the default it was offered.
  skinned->answers.command = [](WORD, LPARAM Default) { return Default; };
  EXPECT_EQ(0xFF00FFu, GetControlColor(skinned.get()));
  // Only the exact answer 1 means skinned.
  skinned->answers.skinned = 2;
  EXPECT_EQ(static_cast<TColor>(clRed), GetControlColor(skinned.get()));
}

TEST(SkinSenders, DisabledLookBlendsTowardTheControlsColour) {
  Owned<AnsweringGraphic> control(Create<AnsweringGraphic>(nullptr));
  control->SetColor(0x0000FF);  // red
  auto B = Bitmap32(2, 2, 0xFF000000);
  TvkBgCacheRef Bg;  // neither bitmap nor fill colour: the control's own colour is used
  PaintDisabledLook(B.get(), TsDisabledKinds{dkBlended}, control.get(), TPoint(0, 0), Bg);
  const uint32_t red = PixelOf(B, 1, 1);
  control->answers.skinned = 1;
  control->answers.command = [](WORD, LPARAM) { return LRESULT(0x00FF00); };  // the skin says green
  auto C = Bitmap32(2, 2, 0xFF000000);
  PaintDisabledLook(C.get(), TsDisabledKinds{dkBlended}, control.get(), TPoint(0, 0), Bg);
  const uint32_t green = PixelOf(C, 1, 1);
  EXPECT_GT(red >> 16, 0u);  // the red byte of a pixel is its third byte
  EXPECT_EQ(red & 0xFF00, 0u);
  EXPECT_GT(green & 0xFF00, 0u);
  EXPECT_EQ(green >> 16, 0u);
}

// ---- the parent-background query through the senders ----
TEST(ParentBgQuery, AControlParentWithoutSkinGivesItsColour) {
  Owned<AnsweringGraphic> parent(Create<AnsweringGraphic>(nullptr));
  parent->SetColor(clBtnFace);
  // Whatever the asker left in the bitmap and fill fields, the query clears.
  TvkParentBgQuery Q{.Bmp = reinterpret_cast<TBitmap*>(0x1), .FillRect = TRect(1, 1, 5, 5)};
  EXPECT_TRUE(QueryParentBackground(Q, parent.get(), false));
  EXPECT_EQ(Q.Kind, bgkColor);
  EXPECT_EQ(Q.Color, static_cast<uint32_t>(ColorToRGB(clBtnFace)));
  EXPECT_EQ(Q.Bmp, nullptr);
  EXPECT_EQ(Q.FillRect, TRect(0, 0, 0, 0));
  EXPECT_EQ(parent->answers.heard, (std::vector<WORD>{VKCMD_QUERY_PARENT_BG, VKCMD_QUERY_BG_COLOR}));
  TvkBgCacheRef Ref;
  BgCacheRefFromQuery(Q, Ref);
  EXPECT_FALSE(Ref.Ready);
  EXPECT_EQ(Ref.FillColor, static_cast<uint32_t>(ColorToRGB(clBtnFace)));
  // A non-zero answer to the colour question wins over the Color property.
  parent->answers.command = [](WORD Cmd, LPARAM) { return Cmd == VKCMD_QUERY_BG_COLOR ? LRESULT(0x00ABCDEF) : 0; };
  TvkParentBgQuery Q2;
  QueryParentBackground(Q2, parent.get(), false);
  EXPECT_EQ(Q2.Color, 0x00ABCDEFu);
}

TEST(ParentBgQuery, AControlParentPaintsItselfShiftedAndClippedWhenAsked) {
  Owned<AnsweringGraphic> parent(Create<AnsweringGraphic>(nullptr));
  // The parent paints the whole of itself blue and its point (12, 13) white.
  parent->answers.paint = [](UINT Msg, WPARAM DC) {
    HDC dc = reinterpret_cast<HDC>(DC);
    if (Msg == WM_ERASEBKGND) {
      RECT all{0, 0, 100, 100};
      HBRUSH b = CreateSolidBrush(0xFF0000);
      FillRect(dc, &all, b);
      DeleteObject(b);
    } else {
      SetPixelV(dc, 12, 13, 0xFFFFFF);
    }
  };
  auto Target = Bitmap32(8, 8, 0);
  HDC dc = Target->Canvas()->Handle();
  TvkParentBgQuery Q{.OffsetX = 10, .OffsetY = 10, .Area = TRect(0, 0, 5, 5), .DrawDC = dc};
  EXPECT_TRUE(QueryParentBackground(Q, parent.get(), true));
  EXPECT_EQ(Q.Kind, bgkNone);
  EXPECT_EQ(Q.Area, TRect(10, 10, 15, 15));  // kept as moved into the parent's coordinates
  GdiFlush();
  EXPECT_EQ(PixelOf(Target, 2, 3), 0xFFFFFFu);  // parent (12, 13) at the asker's (2, 3)
  EXPECT_EQ(PixelOf(Target, 0, 0), 0xFFu);      // blue, in pixel byte order
  EXPECT_EQ(PixelOf(Target, 4, 4), 0xFFu);
  EXPECT_EQ(PixelOf(Target, 5, 5), 0u);  // outside Area: untouched
  EXPECT_EQ(PixelOf(Target, 7, 0), 0u);
  POINT org{-1, -1};
  GetViewportOrgEx(dc, &org);
  EXPECT_EQ(org.x, 0);  // the DC is handed back as it was
  EXPECT_EQ(org.y, 0);
}

TEST(ParentBgQuery, WindowParentsAnswerWithABitmapOrKind3OrNotAtAll) {
  ScriptedWindow w;
  // Unanswered, no skin loaded: the button face colour, and False.
  TvkParentBgQuery Q;
  EXPECT_FALSE(QueryParentBackgroundWnd(Q, w.wnd, false));
  EXPECT_EQ(Q.Kind, bgkColor);
  EXPECT_EQ(Q.Color, static_cast<uint32_t>(clBtnFace));
  EXPECT_EQ(w.script.heard, std::vector<WORD>{VKCMD_QUERY_PARENT_BG});  // the colour is not asked

  // A skinned parent answers from its cache, moving the offsets into it.
  auto Cache = Bitmap32(4, 4, 0xFF00FF00);
  SkinDataHook hook;
  FakeSkinData data;
  data.saved = TWndMethod::FromFunction([&](TMessage& M) {
    auto* q = reinterpret_cast<TvkParentBgQuery*>(M.LParam);
    q->Kind = bgkBitmap;
    q->Bmp = Cache.get();
    q->OffsetX += 1;
    q->OffsetY += 2;
    M.Result = 1;
  });
  SkinDataProps().Set(w.wnd, &data);
  TvkParentBgQuery B;
  B.OffsetX = 5;
  B.FillRect = TRect(0, 0, 3, 3);
  EXPECT_TRUE(QueryParentBackgroundWnd(B, w.wnd, false));
  EXPECT_EQ(B.FillRect, TRect(0, 0, 0, 0));
  TvkBgCacheRef Ref;
  BgCacheRefFromQuery(B, Ref);
  EXPECT_TRUE(Ref.Ready);
  EXPECT_EQ(Ref.Bmp, Cache.get());
  EXPECT_EQ(Ref.X, 6);
  EXPECT_EQ(Ref.Y, 2);
  EXPECT_EQ(Ref.FillColor, 0xFF00FFu);

  // Kind 3: answered without a background; nothing painted, the colour of the zeroed record stays.
  data.saved = TWndMethod::FromFunction([](TMessage& M) {
    reinterpret_cast<TvkParentBgQuery*>(M.LParam)->Kind = bgkNotReady;
  });
  auto Target = Bitmap32(2, 2, 0);
  TvkParentBgQuery N;
  N.DrawDC = Target->Canvas()->Handle();
  EXPECT_TRUE(QueryParentBackgroundWnd(N, w.wnd, true));
  EXPECT_EQ(N.Kind, bgkNotReady);
  EXPECT_EQ(N.Color, 0u);
  BgCacheRefFromQuery(N, Ref);
  EXPECT_FALSE(Ref.Ready);
  EXPECT_EQ(Ref.FillColor, 0u);
  EXPECT_EQ(PixelOf(Target, 1, 1), 0u);
  EXPECT_TRUE(w.script.heard.size() == 1u);  // skin data answered; the window never saw the query
}
