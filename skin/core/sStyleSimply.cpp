#include "skin/core/sStyleSimply.h"

#include <algorithm>

const char* const StdSectionNames[kStdSectionCount] = {
    "MENUITEM", "CHECKBOX", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "TRANSPARENT", "GROUPBOX", "DIVIDER",
    "WEBBUTTON", "BUTTON", "COMBONOEDIT", "BUTTON_HUGE", "TOOLBAR", "EDIT", "GAUGE", "SELECTION", "STATUSBAR",
    "PANEL", "PANEL_LOW", "TRACKBAR", "PROGRESSV", "DRAGBAR", "GRIPH", "GRIPV", "PROGRESSH", "TABSHEET",
    "UPDOWNBTN", "COMBOBOX", "CAPTION", "MAINMENU", "SPLITTER", "COMBOBTN", "FORMTITLE", "HINT", "DIVIDERV",
    "PAGECONTROL", "TABTOP", "BARPANEL", "BARTITLE", "MENUCAPTION", "DIALOGTITLE", "MENUBTN", "MENULINE",
    "FORMHEADER", "TB_BTN", "TB_MENUBTN", "TB_TAB", "COLHEADER", "COLHEADERA", "COLHEADERL", "COLHEADERR",
    "SLIDER_OFF", "SLIDER_ON"};

const char* const StdElementNames[seElementCount] = {
    "TABLEFTFIRST", "TABTOPFIRST", "TABRIGHTFIRST", "TABBOTTOMFIRST", "TABLEFTLAST", "TABTOPLAST", "TABRIGHTLAST",
    "TABBOTTOMLAST", "TABLEFTMIDDLE", "TABTOPMIDDLE", "TABRIGHTMIDDLE", "TABBOTTOMMIDDLE", "TABLEFT", "TABTOP",
    "TABRIGHT", "TABBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM", "SCROLLBAR1H",
    "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V", "UPDOWNBTN_LEFT", "UPDOWNBTN_TOP", "UPDOWNBTNRIGHT",
    "UPDOWNBTN_BOTTOM", "SCROLLSLIDERH", "SCROLLSLIDERV", "RADIOUNCHECKED", "RADIOCHECKED", "BOXUNCHECKED",
    "BOXCHECKED", "BOXGRAYED", "SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED", "COMBOBTN"};

const char* const TitleMaskNames[kTitleMaskCount] = {
    "BICLOSEALONE", "BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "SICONCLOSE",
    "SICONMAX",     "SICONMIN",   "SICONNORM", "SICONHELP", "TITLEBUTTON", ""};

void TConstantSkinData::Clear() {
  Sections.fill(-1);
  for (auto& e : Elements) e = TvkElementData();
  TitleMasks.fill(-1);
  for (auto& g : TitleGlows) g.clear();
  ProgVert = ProgHorz = TickVert = TickHorz = -1;
  TrackBar = TvkElementData();
  SliderChannel = SliderMask = SliderVMask = -1;
  ExBorder = -1;
  GripImage = GripHorz = GripVert = -1;
}

const uint8_t StdSectionFallback[kStdSectionCount - kFirstFallbackSection] = {
    ssToolBar,    ssFormTitle, ssSpeedButton, ssMenuLine,  ssFormHeader, ssToolButton, ssTbMenuBtn,
    ssTabTop,     ssButton,    ssColHeader,   ssColHeader, ssColHeader,  ssPanelLow,   ssPanelLow};

const char* const ScaleSuffixes[4] = {"", "*125", "*150", "*200"};
const char* const PageSideSuffixes[4] = {"", "BOTTOM", "LEFT", "RIGHT"};
const char* const ProgressImageNames[2] = {"PROGVERT", "PROGHORZ"};
const char* const TickImageNames[2] = {"TICKVERT", "TICKHORZ"};

const char* const ForeignKindNames[kForeignKindCount] = {
    "Edit",     "Button",      "BitBtn",      "CheckBox",   "ComboBox",      "Grid",        "GroupBox",  "ListView",
    "Panel",    "TreeView",    "wwEdit",      "GridEh",     "VirtualTree",   "PageControl", "TabControl", "ToolBar",
    "StatusBar", "SpeedButton", "ScrollControl", "UpDownBtn", "ScrollBar", "StaticText", "NativePaint"};
const char* const ForeignKindDefaults[kForeignKindCount] = {
    " ", "TButton", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ",
    " ", " ",       " ", " ", " ", " ", " ", " ", " ", " ", " "};

bool IntListContains(std::span<const int> List, int Value, int First, int Last) {
  First %= 128;
  // only what the list holds is read, whatever the bounds asked
  First = std::max(First, 0);
  Last = std::min(Last, static_cast<int>(List.size()) - 1);
  for (int i = First; i <= Last; ++i)
    if (List[static_cast<size_t>(i)] == Value) return true;
  return false;
}
