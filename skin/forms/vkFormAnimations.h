// Pictures of a skinned form for the taskbar (thumbnail and live preview, through late-bound DWM entries), the
// snapshot window that covers a window with a still copy of itself, and the starters of the minimise, restore
// and move animations of a form.
#pragma once
#include <windows.h>

#include "framework/LateBinding.h"

class TBitmap;
class TCustomForm;
class TsSkinProvider;
class TvkGlowForm;
struct TMessage;

// The DWM entries (tests replace them with recorders).
TLateBound<HRESULT WINAPI(HWND, HBITMAP, DWORD)>& DwmSetIconicThumbnailEntry();
TLateBound<HRESULT WINAPI(HWND, HBITMAP, POINT*, DWORD)>& DwmSetIconicLivePreviewBitmapEntry();
TLateBound<HRESULT WINAPI(HWND)>& DwmInvalidateIconicBitmapsEntry();

// The system's major version through the platform's version entry.
int SystemMajorVersion();

// The whole form painted into a new 32-bit bitmap of the frame cache's size (opaque without a border window);
// nil without a frame cache. FreeCache frees the frame cache afterwards. The caller owns the bitmap.
TBitmap* MakeAnimationBitmap(TsSkinProvider* Provider, bool FreeCache);
// Answers to WM_DWMSENDICONICTHUMBNAIL and WM_DWMSENDICONICLIVEPREVIEWBITMAP; True when the picture was taken.
bool SetIconicThumbnailFromForm(HWND Wnd, TsSkinProvider* Provider, int MaxWidth, int MaxHeight);
bool SetLivePreviewFromForm(HWND Wnd, TsSkinProvider* Provider);
void CallDwmInvalidateIconicBitmaps(HWND Wnd);
// Blur behind the window (over Region when given) where the desktop composes; Region is always deleted.
void EnableBlurBehind(HWND Wnd, bool Enable, HRGN Region);
struct TvkBlurBehind {
  DWORD Flags;
  BOOL Enable;
  HRGN Region;
  BOOL TransitionOnMaximized;
};
TLateBound<HRESULT WINAPI(HWND, const TvkBlurBehind*)>& DwmEnableBlurBehindWindowEntry();
// Fits W x H inside MaxW x MaxH keeping the proportions (the limiting side takes its maximum).
SIZE FitThumbnail(int W, int H, int MaxW, int MaxH);
// A topmost click-through copy of the window's picture over it; the caller frees it.
TvkGlowForm* MakeSnapshotForm(HWND Wnd);

// Minimise and restore animated toward the taskbar button; False when minimising is not animated (the system
// minimises).
bool AnimateMinimizing(TsSkinProvider* Provider);
bool AnimateRestoring(TsSkinProvider* Provider);
// The form fades while the user drags it by its caption (the move loop runs inside), then comes back.
void StartMoveFade(TsSkinProvider* Provider, bool RecordGlued);
void EndMoveFade(TsSkinProvider* Provider, TvkGlowForm* Snapshot);
// The caption press that starts a faded move; True when it took the press.
bool BeginCaptionMove(TsSkinProvider* Provider);
void AnswerTaskbarPreview(TsSkinProvider* Provider, TMessage& Message);
