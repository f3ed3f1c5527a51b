#pragma once
// What lies behind a control: the query a control sends its parent (VKCMD_QUERY_PARENT_BG) and the
// background reference every painter of the toolkit reads.
//
// Offset convention of the query (binding for askers and answerers alike):
//   * On the way in, OffsetX/OffsetY hold the asker's origin (its point (0, 0)) in the parent's client
//     coordinates. Askers start from a zeroed record (TvkParentBgQuery{}), then fill OffsetX, OffsetY, Area
//     and DrawDC.
//   * A Kind 2 answer leaves in OffsetX/OffsetY the point of Bmp that lies behind the asker's origin. An
//     answerer therefore ADDS to the incoming offset where its client point (0, 0) lies in its cache bitmap
//     (0 for a cache of the client area, the client offset for a form's frame image); it never resets the
//     offset to 0. An answer passed on from a grandparent adds the parent's position the same way.
//   * So the asker's point (x, y) is behind Bmp's pixel (OffsetX + x, OffsetY + y), and BgCacheRefFromQuery
//     turns that into a reference with X = OffsetX, Y = OffsetY. Callers never add their own Left/Top again.
//   * With PleaseDraw the answerer (or, unanswered, the parent's own painting) fills DrawDC so that the
//     asker's origin lands on the DC's origin, limited to Area.
#include <windows.h>

#include <cstdint>

#include "framework/Graphics.h"

class TBitmap;

// Kind of answer.
constexpr uint8_t bgkNone = 0;      // nobody answered
constexpr uint8_t bgkColor = 1;     // Color holds the background colour
constexpr uint8_t bgkBitmap = 2;    // Bmp holds the background at (OffsetX, OffsetY)
constexpr uint8_t bgkNotReady = 3;  // answered, but the parent has no background to give now

struct TvkParentBgQuery {
  TBitmap* Bmp = nullptr;     // kind 2: the parent's cached background (not owned)
  uint32_t Color = 0;         // kind 1: the colour behind the control (a colour value)
  int32_t OffsetX = 0;        // see the offset convention above
  int32_t OffsetY = 0;
  TRect Area = {0, 0, 0, 0};   // the part of the control to cover, in the control's coordinates
  // Kind 1 with Bmp: the parent's border widths (left, top, right, bottom), the strips of Bmp that hold its
  // border; Color is the rest. Emptied by the query.
  TRect FillRect = {0, 0, 0, 0};
  int32_t ClipX = 0;          // clip origin kept by the form skinner (never below 0)
  int32_t ClipY = 0;
  uint8_t Kind = bgkNone;
  bool PleaseDraw = false;    // the asker wants the background painted into DrawDC
  uint8_t ClientCoords = 0;   // non-zero: a form answers in its client coordinates, not its frame image's
  HDC DrawDC = nullptr;
};

struct TvkBgCacheRef {
  TBitmap* Bmp = nullptr;           // not owned
  int32_t X = 0;                    // column of Bmp behind the painter's destination column 0
  int32_t Y = 0;                    // row of Bmp behind the painter's destination row 0
  uint32_t FillColor = 0x00FF00FF;  // where no bitmap is ready; 0xFF00FF = none
  TRect FillRect = {0, 0, 0, 0};    // not Ready, with Bmp: the border widths of Bmp it supplies (FillColor inside)
  bool Ready = false;               // Bmp holds the background at (X, Y)
};

class TControl;

// Asks a parent control for the background behind the asker (VKCMD_QUERY_PARENT_BG). Unanswered, the parent paints
// itself into DrawDC when PleaseDraw is set (Kind stays 0), else Kind 1 carries its background colour (its answer
// to VKCMD_QUERY_BG_COLOR, or its Color). False only for a nil parent.
bool QueryParentBackground(TvkParentBgQuery& Query, TControl* ParentControl, bool PleaseDraw);
// The same for a parent known by its window handle. True only when the parent answered; the colour fall-back is
// the default skin manager's base colour while a skin is loaded, else clBtnFace.
bool QueryParentBackgroundWnd(TvkParentBgQuery& Query, HWND ParentWnd, bool PleaseDraw);

// A Ready reference to Bmp at (X, Y), fill colour none, empty fill rectangle.
void InitBgInfo(TBitmap* Bmp, int X, int Y, TvkBgCacheRef& Ref);

// The reference an answered query stands for: Kind 2 gives a Ready reference at (OffsetX, OffsetY); any other
// kind a reference that is not Ready and carries the query's colour (as RGB) and fill rectangle.
void BgCacheRefFromQuery(const TvkParentBgQuery& Query, TvkBgCacheRef& Ref);
