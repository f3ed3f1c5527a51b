#pragma once
// The library's private window message and its command codes.
//
// Every skinned window, control, adapter and form skinner understands one message, SM_VKCMD (0xA100):
//   HIWORD(WParam) = command code (VKCMD_*), LOWORD(WParam) = a small argument (0 unless a command says
//   otherwise; 1 usually means "now" or "the children too"), LParam = the argument (a skin manager, a
//   control, a string, a record address, a device context, a number or 0), Result = the answer.
// An answer of 0 means nobody handled the command; yes/no questions answer 1 for yes. Commands carrying a
// manager in LParam are ignored by skin data bound to another manager.
#include <windows.h>

#include <cstddef>
#include <cstdint>

constexpr UINT SM_VKCMD = 0xA100;

// Command codes, HIWORD of WParam.
constexpr WORD VKCMD_SKIN_APPLIED = 0x01;          // LParam = manager; a skin was loaded and applied
constexpr WORD VKCMD_SKIN_DROPPED = 0x02;          // LParam = manager; the skin was removed (never consumed);
                                                   // LOWORD VKCMD_SENDER_TELLS_CONTROLS to a form: see there
constexpr WORD VKCMD_REPAINT_AFTER_CHANGE = 0x03;  // LParam = manager; LOWORD 1 = after a section change
constexpr WORD VKCMD_QUERY_FORM_SKINNER = 0x04;    // answer: the form's TsSkinProvider (0 = none)
constexpr WORD VKCMD_05 = 0x05;                    // passed from the MDI client adapter to its form
constexpr WORD VKCMD_PARENT_UPDATE_DONE = 0x06;    // the parent finished an update
constexpr WORD VKCMD_QUERY_SKINNED = 0x07;         // answer 1: the window is handled by the library
constexpr WORD VKCMD_SET_UPDATE_STATE = 0x08;      // LOWORD 1 = updating
constexpr WORD VKCMD_QUERY_OWNER_SECTION = 0x09;   // answer: section index + 1, 0 = none
constexpr WORD VKCMD_QUERY_UPDATE_STATE = 0x0A;    // answer 1: not ready to paint
constexpr WORD VKCMD_QUERY_CLIPPED_OUT = 0x0B;     // answer: the flag set by VKCMD_SET_CLIPPED_OUT
constexpr WORD VKCMD_QUERY_WINDOW_ADAPTER = 0x0C;  // answer: the window adapter object
constexpr WORD VKCMD_SECTION_REPAINT = 0x0D;       // LParam = section name (char*)
constexpr WORD VKCMD_0E = 0x0E;                    // sent to a popup window before its region is set
constexpr WORD VKCMD_SET_SECTION = 0x0F;           // LParam = section name (char*); answer 1, 0 without one
constexpr WORD VKCMD_REREAD_SECTION_INDEX = 0x10;  // LParam = manager; sent before VKCMD_REPAINT_AFTER_CHANGE
constexpr WORD VKCMD_MARK_FOR_UPDATE = 0x11;       // LOWORD 1 = the children too
constexpr WORD VKCMD_REPAINT = 0x12;
constexpr WORD VKCMD_QUERY_BG_READY = 0x13;        // answer 1: a child may take its background now
constexpr WORD VKCMD_BG_CHANGED = 0x14;            // LOWORD 1 = redraw now
constexpr WORD VKCMD_QUERY_BG_COLOR = 0x15;        // answer: colour, 0 = none
constexpr WORD VKCMD_SET_CLIPPED_OUT = 0x16;
constexpr WORD VKCMD_REFRESH_CACHE = 0x17;
constexpr WORD VKCMD_ADAPT_CONTROL = 0x19;         // LParam = control for the form to adapt
constexpr WORD VKCMD_QUERY_SECTION_INDEX = 0x1A;   // LParam = record; its second 32-bit field gets the index
constexpr WORD VKCMD_QUERY_CAPTION_HEIGHT = 0x1B;  // answer: caption height
constexpr WORD VKCMD_MOUSE_ENTERED = 0x1D;         // LParam = manager
constexpr WORD VKCMD_MOUSE_LEFT = 0x1E;            // LParam = manager
constexpr WORD VKCMD_UPDATES_LOCKED = 0x1F;
constexpr WORD VKCMD_UPDATES_UNLOCKED = 0x20;
constexpr WORD VKCMD_DROP_CACHES = 0x21;
constexpr WORD VKCMD_QUERY_PARENT_BG = 0x22;       // LParam = TvkParentBgQuery* (vkParentBg.h)
constexpr WORD VKCMD_QUERY_SKIN_DATA = 0x25;       // answer: the TsCommonData
constexpr WORD VKCMD_SET_PRINT_DC = 0x26;          // LParam = DC while printed into a bitmap, 0 = end
constexpr WORD VKCMD_TAKE_PARENT_CACHE = 0x28;     // LOWORD flags; LParam = TvkParentBgQuery* of kind 2
constexpr WORD VKCMD_SUSPEND_REDRAW = 0x33;
constexpr WORD VKCMD_RESUME_REDRAW = 0x34;
constexpr WORD VKCMD_SCROLL_SIZE_CHANGED = 0x35;
constexpr WORD VKCMD_QUERY_APPLICATION = 0x3C;     // answer: the Application object
// Answered by the form skinner and window adapters only: the client area's offset in their frame image.
constexpr WORD VKCMD_QUERY_CLIENT_OFFSET = 0x3D;
constexpr WORD VKCMD_FORM_REFRESH = 0x3E;          // LParam 1 = mark first
constexpr WORD VKCMD_SET_SIZING_STYLE = 0x3F;      // LParam 1 = set WS_THICKFRAME, 0 = clear
constexpr WORD VKCMD_40 = 0x40;                    // answer: a flag of the form skinner
constexpr WORD VKCMD_SET_FRAME_OPACITY = 0x41;     // LParam = 0..255
constexpr WORD VKCMD_QUERY_STATE_SECTION = 0x42;   // LParam = TvkStateSectionRequest*
constexpr WORD VKCMD_QUERY_FRAME_WIDTH = 0x43;     // answer: frame width
constexpr WORD VKCMD_SET_SCALE = 0x44;             // LParam = percent (never consumed)
constexpr WORD VKCMD_QUERY_SCALE = 0x45;           // answer: scale percent
constexpr WORD VKCMD_QUERY_BOUNDS = 0x46;          // LParam = RECT*
constexpr WORD VKCMD_LOAD_EDITOR_SKIN = 0x47;      // posted, never sent
constexpr WORD VKCMD_ACTIVE_SKIN_CHANGED = 0x4A;
constexpr WORD VKCMD_SKIN_LIST_CHANGED = 0x4B;
constexpr WORD VKCMD_PAINTED_TO_BITMAP = 0x4C;
constexpr WORD VKCMD_4D = 0x4D;                    // the form was placed by a move or blend-on-moving step
constexpr WORD VKCMD_4E = 0x4E;                    // LParam = the form's new layered alpha
constexpr WORD VKCMD_4F = 0x4F;                    // answer: window after which the border window is placed
constexpr WORD VKCMD_50 = 0x50;                    // LParam 1: the border window was re-ordered
constexpr WORD VKCMD_51 = 0x51;                    // blend-on-moving starts
constexpr WORD VKCMD_52 = 0x52;                    // the border window's move animation starts

// The highest code the common handler (ProcessSkinCommand) may act on; above it only the form skinner
// and the window adapters answer.
constexpr WORD VKCMD_LAST_COMMON = VKCMD_QUERY_BOUNDS;

// The low word of VKCMD_SKIN_DROPPED sent to a form whose controls its sender tells next: the form's skinner does
// not pass it on to them itself, so each control hears of the drop once, after its form.
constexpr WORD VKCMD_SENDER_TELLS_CONTROLS = 1;

// WParam of a skin command: the code in the high word, the small argument in the low word.
constexpr WPARAM SkinCommandWParam(WORD Cmd, WORD Low = 0) {
  return (static_cast<WPARAM>(Cmd) << 16) | Low;
}
constexpr WORD SkinCommandCode(WPARAM WParam) { return static_cast<WORD>((WParam >> 16) & 0xFFFF); }
constexpr WORD SkinCommandLow(WPARAM WParam) { return static_cast<WORD>(WParam & 0xFFFF); }

// The section request of VKCMD_QUERY_STATE_SECTION: the control's rectangle (shifted by the sender to the
// control's position) followed by the state asked for and the section index answered.
struct TvkStateSectionRequest {
  RECT R;
  int32_t State;
  int32_t SectionIndex;  // out
};
static_assert(offsetof(TvkStateSectionRequest, State) == 16 && offsetof(TvkStateSectionRequest, SectionIndex) == 20);
