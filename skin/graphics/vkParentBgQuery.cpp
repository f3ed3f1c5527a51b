// The parent-background query: apart from the records, since it talks to controls, windows and the skin manager.
#include "framework/Controls.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkParentBg.h"

namespace {

// The asker's point (0, 0) is put on the DC's origin and the painting limited to Area, moved into the parent's
// coordinates (the record keeps the moved rectangle).
template <class SendFn>
void PaintParentInto(TvkParentBgQuery& Query, SendFn&& Send) {
  HDC DC = Query.DrawDC;
  const int Saved = SaveDC(DC);
  POINT Org{0, 0};
  GetViewportOrgEx(DC, &Org);
  SetViewportOrgEx(DC, Org.x - Query.OffsetX, Org.y - Query.OffsetY, nullptr);
  Query.Area = TRect(Query.Area.Left + Query.OffsetX, Query.Area.Top + Query.OffsetY,
                     Query.Area.Right + Query.OffsetX, Query.Area.Bottom + Query.OffsetY);
  IntersectClipRect(DC, Query.Area.Left, Query.Area.Top, Query.Area.Right, Query.Area.Bottom);
  try {
    Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC));
    Send(WM_PAINT, reinterpret_cast<WPARAM>(DC));
  } catch (...) {
    RestoreDC(DC, Saved);
    throw;
  }
  RestoreDC(DC, Saved);
}

}  // namespace

bool QueryParentBackground(TvkParentBgQuery& Query, TControl* ParentControl, bool PleaseDraw) {
  Query.Bmp = nullptr;
  Query.Kind = bgkNone;
  Query.PleaseDraw = PleaseDraw;
  Query.FillRect = TRect(0, 0, 0, 0);
  if (ParentControl == nullptr) return false;
  SendControlCommand(ParentControl, VKCMD_QUERY_PARENT_BG, reinterpret_cast<LPARAM>(&Query));
  if (Query.Kind != bgkNone) return true;
  if (Query.PleaseDraw && Query.DrawDC != nullptr) {
    PaintParentInto(Query, [ParentControl](UINT Msg, WPARAM DC) { ParentControl->Perform(Msg, DC, 0); });
    return true;
  }
  Query.Kind = bgkColor;
  Query.Color = static_cast<uint32_t>(SendControlCommand(ParentControl, VKCMD_QUERY_BG_COLOR, 0));
  if (Query.Color == 0) Query.Color = ColorToRGB(ParentControl->Color());
  return true;
}

bool QueryParentBackgroundWnd(TvkParentBgQuery& Query, HWND ParentWnd, bool PleaseDraw) {
  Query.Kind = bgkNone;
  Query.PleaseDraw = PleaseDraw;
  Query.FillRect = TRect(0, 0, 0, 0);
  SendSkinCommand(ParentWnd, VKCMD_QUERY_PARENT_BG, reinterpret_cast<LPARAM>(&Query));
  if (Query.Kind != bgkNone) return true;
  if (Query.PleaseDraw && Query.DrawDC != nullptr) {
    PaintParentInto(Query, [ParentWnd](UINT Msg, WPARAM DC) { SendMessageA(ParentWnd, Msg, DC, 0); });
    return false;
  }
  Query.Kind = bgkColor;
  TsSkinManager* Manager = TsSkinManager::DefaultManager();
  Query.Color = Manager != nullptr && Manager->SkinData().Active ? Manager->SkinBaseColor() : clBtnFace;
  return false;
}
