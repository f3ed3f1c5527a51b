#pragma once
// Windowless labels drawn in skin colours. TsCustomLabel paints an optional skin section behind its text and
// takes the text colour from the skin, greyed by mixing when disabled; TsLabel publishes it with UseSkinColor;
// TsHTMLLabel draws its caption with the HTML renderer, tracks the link under the mouse and opens a clicked one
// through the shell; TsEditLabel is the HTML label a bound label shows beside its control; TsWebLabel is a
// plain label with a hover font that opens its URL when clicked.
#include <functional>
#include <string>

#include "framework/StdCtrls.h"
#include "skin/controls/sHtmlParse.h"
#include "skin/core/sConst.h"

class TsSkinManager;
class TsBoundLabel;

class TsCustomLabel : public TCustomLabel {
  DECLARE_CLASS(TsCustomLabel, TCustomLabel)
public:
  explicit TsCustomLabel(TComponent* AOwner);

  // The own manager, else the default one.
  TsSkinManager* SkinManager() const;
  void SetSkinManager(TsSkinManager* Value);
  TsSkinManager* OwnSkinManager() const { return FSkinManager; }
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& Value);
  // The section painted behind the text: -1 without an active skin or a section name.
  int SectionIndex();

  void WndProc(TMessage& Message) override;

protected:
  // The font and colour the text is drawn with.
  virtual TFont* GetLabelFont() { return Font(); }
  virtual TColor GetTextColor();
  void DoDrawText(RECT& Rect, UINT Flags) override;
  void Paint() override;
  // Plain text in GetLabelFont and GetTextColor; a disabled label is not drawn twice in relief.
  void DrawPlainText(RECT& Rect, UINT Flags);
  // Manager colours mixed for a disabled label toward Behind.
  TColor Disabled(TColor Color, TColor Behind) const;
  bool Gone() const;

  std::string FSkinSection;
  int FSkinIndex = -1;
  TsSkinManager* FSkinManager = nullptr;
  bool FParentFontRemembered = false;
};

class TsLabel : public TsCustomLabel {
  DECLARE_CLASS(TsLabel, TsCustomLabel)
public:
  explicit TsLabel(TComponent* AOwner) : TsCustomLabel(AOwner) {}
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool Value);

protected:
  TColor GetTextColor() override;
  bool FUseSkinColor = true;
};

// Sender, the link's target (may be changed), whether the shell opens it afterwards (may be cleared).
using TLinkClickEvent = TDelegate<void(TObject* Sender, std::string& ALink, bool& DefaultAction)>;

class TsHTMLLabel : public TsLabel {
  DECLARE_CLASS(TsHTMLLabel, TsLabel)
public:
  explicit TsHTMLLabel(TComponent* AOwner) : TsLabel(AOwner) {}
  bool UseHTML() const { return FUseHTML; }
  void SetUseHTML(bool Value);
  TsWindowShowMode ShowMode() const { return FShowMode; }
  void SetShowMode(TsWindowShowMode Value) { FShowMode = Value; }
  // The caption without its tags (entities are left as they are).
  std::string PlainCaption() const;
  int HotLink() const { return FHotLink; }
  int PressedLink() const { return FPressedLink; }
  // The links of the last paint, in label coordinates.
  const TvkLinks& Links() const { return FLinks; }

  void WndProc(TMessage& Message) override;

  TLinkClickEvent OnLinkClick;

protected:
  void DoDrawText(RECT& Rect, UINT Flags) override;

private:
  void TrackLink();
  // Runs OnLinkClick and the shell for link Index; Watch tells whether the handler freed the label.
  void ClickLink(int Index, const TFreeWatch& Watch);
  void ResetLinks();
  int FHotLink = -1;
  int FPressedLink = -1;
  bool FUseHTML = true;
  bool FInClick = false;
  TvkLinks FLinks;
  TsWindowShowMode FShowMode = soDefault;
};

// The caption label of a bound label; made without owner.
class TsEditLabel : public TsHTMLLabel {
  DECLARE_CLASS(TsEditLabel, TsHTMLLabel)
public:
  explicit TsEditLabel(TComponent* AOwner = nullptr) : TsHTMLLabel(AOwner) {}
  explicit TsEditLabel(TsBoundLabel* ABoundLabel);
  ~TsEditLabel() override;
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }

private:
  TsBoundLabel* FBoundLabel = nullptr;
};

class TsWebLabel : public TsLabel {
  DECLARE_CLASS(TsWebLabel, TsLabel)
public:
  explicit TsWebLabel(TComponent* AOwner);
  ~TsWebLabel() override;
  // The normal font (the published Font); the inherited Font is the one drawn with.
  TFont* NormalFont() const { return FNormalFont; }
  void SetFont(TFont* Value);
  TFont* HoverFont() const { return FHoverFont; }
  void SetHoverFont(TFont* Value) { FHoverFont->Assign(Value); }
  const std::string& URL() const { return FURL; }
  void SetURL(const std::string& Value) { FURL = Value; }
  TsWindowShowMode ShowMode() const { return FShowMode; }
  void SetShowMode(TsWindowShowMode Value) { FShowMode = Value; }
  bool MouseOver() const { return FMouseOver; }

  void WndProc(TMessage& Message) override;
  void ChangeScale(int M, int D) override;

protected:
  TFont* GetLabelFont() override;
  TColor GetTextColor() override;
  void Click() override;
  void Loaded() override;

private:
  TFont* FNormalFont;
  TFont* FHoverFont;
  std::string FURL;
  TsWindowShowMode FShowMode = soDefault;
  bool FMouseOver = false;
};

// Opens Target with the shell's "open" verb in the application's window; a failure is ignored.
void OpenShellLink(const std::string& Target, TsWindowShowMode Mode);

void RegisterLabelClasses();
// Unit start-up: the edit label becomes known to stored forms.
void LabelsInitialize();
