// TCanvas: drawing on a device context.
#include "framework/Graphics.h"
#include "framework/GraphicsGdi.h"

IMPLEMENT_CLASS(TCanvas)

TCanvas::TCanvas() : FFont(new TFont()), FBrush(new TBrush()), FPen(new TPen()) {
  InitializeCriticalSection(&FLock);
  FFont->FCanvas = this;
  FBrush->FCanvas = this;
  FPen->FCanvas = this;
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  FFont->Free();
  FBrush->Free();
  FPen->Free();
  DeleteCriticalSection(&FLock);
}

HDC TCanvas::Handle() {
  RequiredState(csHandleValid);
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  if (FHandle) {
    DeselectHandles();
    FState &= ~csHandleValid;
  }
  FHandle = Value;
  if (FHandle) FState |= csHandleValid;
}

void TCanvas::DeselectHandles() {
  if (!FHandle) return;
  if (FState & csFontValid) {
    SelectObject(FHandle, FOldFont);
    FOldFont = nullptr;
  }
  if (FState & csBrushValid) {
    SelectObject(FHandle, FOldBrush);
    FOldBrush = nullptr;
  }
  if (FState & csPenValid) {
    SelectObject(FHandle, FOldPen);
    FOldPen = nullptr;
  }
  FState &= ~(csFontValid | csBrushValid | csPenValid);
}

void TCanvas::ObjectChanging(TGraphicsObject* Object) {
  if (!FHandle) return;
  if (Object == FFont && (FState & csFontValid)) {
    SelectObject(FHandle, FOldFont);
    FOldFont = nullptr;
    FState &= ~csFontValid;
  } else if (Object == FBrush && (FState & csBrushValid)) {
    SelectObject(FHandle, FOldBrush);
    FOldBrush = nullptr;
    FState &= ~csBrushValid;
  } else if (Object == FPen && (FState & csPenValid)) {
    SelectObject(FHandle, FOldPen);
    FOldPen = nullptr;
    FState &= ~csPenValid;
  }
}

void TCanvas::RequiredState(unsigned State) {
  unsigned Needed = State & ~FState;
  if (!Needed) return;
  if (Needed & csHandleValid) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
    FState |= csHandleValid;
  }
  if (Needed & csFontValid) {
    HGDIOBJ Old = SelectObject(FHandle, FFont->Handle());
    FOldFont = Old;
    SetTextColor(FHandle, ColorToRGB(FFont->Color()));
    FState |= csFontValid;
  }
  if (Needed & csPenValid) {
    FOldPen = SelectObject(FHandle, FPen->Handle());
    SetROP2(FHandle, FPen->Mode() == pmNot ? R2_NOT : R2_COPYPEN);
    FState |= csPenValid;
  }
  if (Needed & csBrushValid) {
    FOldBrush = SelectObject(FHandle, FBrush->Handle());
    SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
    SetBkMode(FHandle, FBrush->Style() == bsClear ? TRANSPARENT : OPAQUE);
    FState |= csBrushValid;
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState(csHandleValid);
  return GetPixel(FHandle, X, Y);
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  SetPixel(FHandle, X, Y, ColorToRGB(Value));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState(csHandleValid);
  RECT Result{};
  GetClipBox(FHandle, &Result);
  return Result;
}

void TCanvas::MoveTo(int X, int Y) {
  RequiredState(csHandleValid);
  MoveToEx(FHandle, X, Y, nullptr);
  FPenPos = {X, Y};
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(FHandle, X, Y);
  FPenPos = {X, Y};
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FillRect(FHandle, Rect.AsRECT(), FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FrameRect(FHandle, Rect.AsRECT(), FBrush->Handle());
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Polygon(const TPoint* Points, int Count) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  if (Count > 0) ::Polygon(FHandle, reinterpret_cast<const POINT*>(Points), Count);
  Changed();
}

void TCanvas::Polyline(const TPoint* Points, int Count) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  if (Count > 0) ::Polyline(FHandle, reinterpret_cast<const POINT*>(Points), Count);
  Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::DrawFocusRect(FHandle, Rect.AsRECT());
  Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ExtTextOutA(FHandle, X, Y, 0, nullptr, Text.data(), static_cast<UINT>(Text.size()), nullptr);
  SIZE Extent{};
  GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &Extent);
  MoveTo(X + Extent.cx, Y);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT Options = ETO_CLIPPED;
  if (FBrush->Style() != bsClear) Options |= ETO_OPAQUE;
  ExtTextOutA(FHandle, X, Y, Options, Rect.AsRECT(), Text.data(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& Text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE Result{};
  GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &Result);
  return Result;
}

TSize TCanvas::FontTextExtent(TFont* Font, const std::string& Text) {
  HDC dc = GdiNewMemoryDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc, Text.data(), static_cast<int>(Text.size()), &size);
  SelectObject(dc, old);
  GdiFreeMemoryDC(dc);
  return size;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  HDC SourceDC = Canvas->Handle();
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Right - Dest.Left, Dest.Bottom - Dest.Top, SourceDC, Source.Left,
             Source.Top, Source.Right - Source.Left, Source.Bottom - Source.Top, FCopyMode);
  Changed();
}

void TCanvas::Lock() {
  EnterCriticalSection(&FLock);
  ++FLockCount;
}

void TCanvas::Unlock() {
  if (FLockCount <= 0) throw EInvalidOperation("Canvas is not locked");
  --FLockCount;
  LeaveCriticalSection(&FLock);
}
