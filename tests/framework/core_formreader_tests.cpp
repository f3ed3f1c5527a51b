#include <gtest/gtest.h>

#include "framework/Graphics.h"
#include "framework/FormReader.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "tests/framework/core_test_util.h"

namespace {

std::vector<std::string> g_events;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

bool ColorIdentToInt(const std::string& ident, int64_t& v) {
  if (SameText(ident, "clRed")) { v = 0xFF; return true; }
  if (SameText(ident, "clBtnFace")) { v = 0xFF00000F; return true; }
  return false;
}
bool ColorIntToIdent(int64_t, std::string&) { return false; }

class TTestFont : public TPersistent {
  DECLARE_CLASS(TTestFont, TPersistent)
public:
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles s) { style_ = s; }
  uint32_t Color() const { return color_; }
  void SetColor(uint32_t c) { color_ = c; }

private:
  TFontStyles style_;
  uint32_t color_ = 0;
};
PUBLISHED(TTestFont) {
  p.Set("Style", &TTestFont::Style, &TTestFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
  p.Color("Color", &TTestFont::Color, &TTestFont::SetColor);
}

// A graphic-like sub-object storing binary data whose first bytes name its class.
class TTestPicture : public TPersistent {
  DECLARE_CLASS(TTestPicture, TPersistent)
public:
  std::string graphicClass;
  std::string bytes;
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty("Data", [this](TStream& s) {
      unsigned char len = 0;
      s.ReadBuffer(&len, 1);
      graphicClass.resize(len);
      s.ReadBuffer(graphicClass.data(), len);
      bytes.resize(static_cast<size_t>(s.Size() - s.Position()));
      if (!bytes.empty()) s.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    });
  }
};
IMPLEMENT_CLASS(TTestPicture)

class TTestItem : public TCollectionItem {
  DECLARE_CLASS(TTestItem, TCollectionItem)
public:
  std::string name, origin, data;
  std::string Name() const { return name; }
  void SetName(const std::string& v) { name = v; }
  void DefineProperties(TFiler& filer) override {
    filer.DefineProperty("OriginName", [this](TReader& r) { origin = r.ReadString(); });
    filer.DefineBinaryProperty("Data", [this](TStream& s) {
      data.resize(static_cast<size_t>(s.Size()));
      if (!data.empty()) s.ReadBuffer(data.data(), static_cast<int32_t>(data.size()));
    });
  }
};
PUBLISHED(TTestItem) { p.Str("Name", &TTestItem::Name, &TTestItem::SetName); }

class TTestControl : public TComponent {
  DECLARE_CLASS(TTestControl, TComponent)
public:
  explicit TTestControl(TComponent* owner) : TComponent(owner), items_(new TStringList), sections_(this, TTestItem::StaticClassInfo()) {}
  ~TTestControl() override { delete items_; }
  TComponent* parent = nullptr;
  TComponent* GetParentComponent() const override { return parent; }
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* p) override { parent = p; }

  int Left() const { return left_; }
  void SetLeft(int v) {
    left_ = v;
    g_events.push_back(Name() + ".Left=" + std::to_string(v) + (ComponentState().Contains(csReading) ? " reading" : ""));
  }
  int64_t Big() const { return big_; }
  void SetBig(int64_t v) { big_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign a) { align_ = a; }
  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& c) {
    caption_ = c;
    g_events.push_back(Name() + ".Caption");
  }
  std::string SkinInfo() const { return "read-only"; }
  TTestFont* Font() { return &font_; }
  TTestPicture* Picture() { return &picture_; }
  TStringList* Items() { return items_; }
  TCollection* Sections() { return &sections_; }
  TComponent* FocusControl() const { return focus_; }
  void SetFocusControl(TComponent* c) {
    focus_ = c;
    g_events.push_back(Name() + ".FocusControl");
  }
  int Max() const { return max_; }
  void SetMax(int v) {
    if (v < 0) throw EInvalidOperation("Value must be between 0 and 100");
    max_ = v;
  }

  TNotifyEvent OnClick;
  TDelegate<void(TObject*, int&)> OnKey;
  bool loadedSeenLoading = false;
  bool referenceSetBeforeLoaded = false;

protected:
  void Loaded() override {
    loadedSeenLoading = ComponentState().Contains(csLoading);
    referenceSetBeforeLoaded = focus_ != nullptr;
    TComponent::Loaded();
    g_events.push_back("Loaded " + Name());
  }

private:
  int left_ = 0;
  int64_t big_ = 0;
  double ratio_ = 0;
  bool visible_ = true;
  TAlign align_ = alNone;
  std::string caption_;
  TTestFont font_;
  TTestPicture picture_;
  TStringList* items_;
  TOwnedCollection sections_;
  TComponent* focus_ = nullptr;
  int max_ = 100;
};
PUBLISHED(TTestControl) {
  p.Int("Left", &TTestControl::Left, &TTestControl::SetLeft);
  p.Int64("Big", &TTestControl::Big, &TTestControl::SetBig);
  p.Float("Ratio", &TTestControl::Ratio, &TTestControl::SetRatio);
  p.Bool("Visible", &TTestControl::Visible, &TTestControl::SetVisible);
  p.Enum("Align", &TTestControl::Align, &TTestControl::SetAlign, {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
  p.Str("Caption", &TTestControl::Caption, &TTestControl::SetCaption);
  p.Str("SkinInfo", &TTestControl::SkinInfo, nullptr);
  p.Object("Font", &TTestControl::Font);
  p.Object("Picture", &TTestControl::Picture);
  p.Object("Items", &TTestControl::Items);
  p.Object("Sections", &TTestControl::Sections);
  p.Object("FocusControl", &TTestControl::FocusControl, &TTestControl::SetFocusControl);
  p.Int("Max", &TTestControl::Max, &TTestControl::SetMax);
  p.Event("OnClick", &TTestControl::OnClick);
  p.Event("OnKey", &TTestControl::OnKey);
}

class TTestForm : public TTestControl {
  DECLARE_CLASS(TTestForm, TTestControl)
public:
  using TTestControl::TTestControl;
  TTestControl* Panel1 = nullptr;
  TTestControl* Button1 = nullptr;
  std::vector<std::string> clicks;
  void Button1Click(TObject* sender) { clicks.push_back(static_cast<TComponent*>(sender)->Name()); }
  void FormKey(TObject*, int& key) { key = 0; }
};
PUBLISHED(TTestForm) {
  p.Field("Panel1", &TTestForm::Panel1);
  p.Field("Button1", &TTestForm::Button1);
  p.Handler("Button1Click", &TTestForm::Button1Click);
  p.Handler("FormKey", &TTestForm::FormKey);
}

// A component that is not a control (a port, a timer): no Left/Top of its own.
class TLogger : public TComponent {
  DECLARE_CLASS(TLogger, TComponent)
public:
  using TComponent::TComponent;
};
IMPLEMENT_CLASS(TLogger)

// Defines its own data of every value kind, read through the reader's Read* calls.
class TDefined : public TComponent {
  DECLARE_CLASS(TDefined, TComponent)
public:
  using TComponent::TComponent;
  std::string log;
  void DefineProperties(TFiler& filer) override {
    TComponent::DefineProperties(filer);
    filer.DefineProperty("Mixed", [this](TReader& r) {
      r.ReadListBegin();
      // One read per statement: the order of operands of + is unspecified.
      log += r.ReadString() + "|";
      log += std::to_string(r.ReadInteger()) + "|";
      log += std::to_string(r.ReadInt64()) + "|";
      log += FloatToStr(r.ReadFloat()) + "|";
      log += r.ReadBoolean() ? "T|" : "F|";
      log += r.ReadIdent() + "|";
      r.ReadListBegin();
      while (!r.EndOfList()) log += r.ReadString();
      r.ReadListEnd();
      r.ReadListEnd();
    });
    filer.DefineProperty("Greedy", [](TReader& r) {
      r.ReadString();
      r.ReadString();  // one value only
    });
    filer.DefineProperty("Lazy", [](TReader& r) {
      r.ReadListBegin();
      r.ReadListEnd();  // items left unread
    });
  }
};
IMPLEMENT_CLASS(TDefined)

class FormReaderTest : public testing::Test {
protected:
  void SetUp() override {
    g_events.clear();
    RegisterClasses({TTestControl::StaticClassInfo(), TTestForm::StaticClassInfo()});
    RegisterIntegerIdents("TColor", ColorIdentToInt, ColorIntToIdent);
    form = new TTestForm(nullptr);
  }
  void TearDown() override {
    form->Free();
    RegisterColorIdents();  // the framework's own colour names again for later tests of the process
  }
  // Reads into a new form and returns the EReadError message ("" when it read fine).
  std::string ReadError(const std::string& text) {
    form->Free();
    form = new TTestForm(nullptr);
    try {
      ReadComponentFromText(text, form);
    } catch (const EReadError& e) {
      return e.Message();
    }
    return {};
  }
  TTestForm* form;
};

const char* kForm =
    "object MainForm: TTestForm\n"
    "  Left = 10\n"
    "  Caption = 'Loader'\n"
    "  OnKey = FormKey\n"
    "  object Panel1: TTestControl\n"
    "    Left = $20\n"
    "    Align = alClient\n"
    "    object Button1: TTestControl\n"
    "      Left = -3\n"
    "      Caption = 'It''s '#1046#1091'k' +\n"
    "        ' and more'#13#10\n"
    "      Font.Style = [fsBold, fsUnderline]\n"
    "      Font.Color = clRed\n"
    "      Big = 1099511627776\n"
    "      Ratio = 10.25\n"
    "      Visible = False\n"
    "      FocusControl = Label1\n"
    "      OnClick = Button1Click\n"
    "      SkinInfo = 'ignored'\n"
    "    end\n"
    "  end\n"
    "  object Label1: TTestControl\n"
    "    Items.Strings = (\n"
    "      ':10000000'\n"
    "      'COM2')\n"
    "    Picture.Data = {\n"
    "      04544A5047\n"
    "      FFD8 FF}\n"
    "    Sections = <\n"
    "      item\n"
    "        Name = 'first'\n"
    "        OriginName = 'tide'\n"
    "        Data = {0102}\n"
    "      end\n"
    "      item\n"
    "        Name = 'second'\n"
    "      end>\n"
    "  end\n"
    "end\n";

TEST_F(FormReaderTest, ReadsEveryValueKindIntoTheComponentTree) {
  ReadComponentFromText(kForm, form);
  EXPECT_EQ(form->Name(), "MainForm");
  EXPECT_EQ(form->Left(), 10);
  EXPECT_EQ(form->Caption(), "Loader");
  ASSERT_NE(form->Panel1, nullptr);
  ASSERT_NE(form->Button1, nullptr);
  EXPECT_EQ(form->ComponentCount(), 3) << "all owned by the root";
  EXPECT_EQ(form->Panel1->parent, form);
  EXPECT_EQ(form->Button1->parent, form->Panel1) << "nesting gives the parent";
  EXPECT_EQ(form->Panel1->Left(), 32);
  EXPECT_EQ(form->Panel1->Align(), alClient);
  TTestControl* b = form->Button1;
  EXPECT_EQ(b->Left(), -3);
  EXPECT_EQ(b->Caption(), "It's Жуk and more\r\n");
  EXPECT_EQ(b->Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(b->Font()->Color(), 0xFFu);
  EXPECT_EQ(b->Big(), 1099511627776LL);
  EXPECT_DOUBLE_EQ(b->Ratio(), 10.25);
  EXPECT_FALSE(b->Visible());
  auto* label = static_cast<TTestControl*>(form->FindComponent("Label1"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(b->FocusControl(), label);
  // Bound with the handler's identity: the form's member, on the form.
  EXPECT_EQ(b->OnClick, TNotifyEvent(form, &TTestForm::Button1Click));
  b->OnClick(b);
  EXPECT_EQ(form->clicks, (std::vector<std::string>{"Button1"}));
  ASSERT_TRUE(form->OnKey);
  int key = 13;
  form->OnKey(form, key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(label->Items()->Count(), 2);
  EXPECT_EQ(label->Items()->Strings(0), ":10000000");
  EXPECT_EQ(label->Picture()->graphicClass, "TJPG");
  EXPECT_EQ(label->Picture()->bytes, "\xFF\xD8\xFF");
  ASSERT_EQ(label->Sections()->Count(), 2);
  auto* first = static_cast<TTestItem*>(label->Sections()->Items(0));
  EXPECT_EQ(first->name, "first");
  EXPECT_EQ(first->origin, "tide");
  EXPECT_EQ(first->data, "\x01\x02");
  EXPECT_EQ(static_cast<TTestItem*>(label->Sections()->Items(1))->name, "second");
}

TEST_F(FormReaderTest, LoadingProtocolSettersInTextOrderReferencesThenLoadedRootFirst) {
  ReadComponentFromText(kForm, form);
  const std::vector<std::string> expected = {
      "MainForm.Left=10 reading", "MainForm.Caption", "Panel1.Left=32 reading", "Button1.Left=-3 reading",
      "Button1.Caption", "Button1.FocusControl", "Loaded MainForm", "Loaded Panel1", "Loaded Button1",
      "Loaded Label1"};
  EXPECT_EQ(g_events, expected);
  EXPECT_TRUE(form->Button1->loadedSeenLoading) << "csLoading lasts until the base Loaded";
  EXPECT_TRUE(form->Button1->referenceSetBeforeLoaded);
  for (int i = 0; i < form->ComponentCount(); ++i) {
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csReading));
  }
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
}

TEST_F(FormReaderTest, ErrorsForWrongValuesOfEachKind) {
  const std::string head = "object F: TTestForm\n  object B: TTestControl\n    ";
  const std::string tail = "\n  end\nend\n";
  struct Case {
    const char* line;
    const char* message;
  } cases[] = {
      {"Align = alMiddle", "Error reading F.B.Align, line 3: Invalid property value"},
      {"Align = 3", "Error reading F.B.Align, line 3: Invalid property value"},
      {"Left = 'x'", "Error reading F.B.Left, line 3: Invalid property value"},
      {"Left = 4294967296", "Error reading F.B.Left, line 3: Integer value out of range"},
      {"Font.Style = [fsBold, fsHuge]", "Error reading F.B.Font.Style, line 3: Invalid set element fsHuge"},
      {"Font.Color = clNoSuch", "Error reading F.B.Font.Color, line 3: Invalid property value"},
      {"Caption = 'open", "Error reading F.B.Caption, line 3: Unterminated string"},
      {"Caption = 'a' +", "Error reading F.B.Caption, line 4: String expected after '+'"},
      {"Visible = Maybe", "Error reading F.B.Visible, line 3: Invalid property value"},
      {"Max = -1", "Error reading F.B.Max, line 3: Value must be between 0 and 100"},
      {"Font.Size = 8", "Error reading F.B.Font.Size, line 3: Property Size does not exist"},
      {"Picture.Data = 'x'", "Error reading F.B.Picture.Data, line 3: Binary data expected"},
      {"Picture.Data = {0A5}", "Error reading F.B.Picture.Data, line 3: Invalid binary data"},
      {"Items.Strings = ('a' 1)", "Error reading F.B.Items.Strings, line 3: String expected"},
      {"Left = 12abc", "Error reading F.B.Left, line 3: Invalid number '12a'"},
      {"Caption 'x'", "Error reading F.B.Caption, line 3: '=' expected but ''' found"},
      {"Items.Strings = ((((((((((((((((((((((((((((((((((('a')))))))))))))))))))))))))))))))))",
       "Error reading F.B.Items.Strings, line 3: Lists nested too deeply"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadError(head + c.line + tail), c.message) << c.line;
}

// Errors name the form, object and property and the line; references and handlers are resolved by name.
TEST_F(FormReaderTest, ErrorsOfNamesReferencesHandlersAndStructureNameTheirPlaceAndLine) {
  RegisterClasses({TLogger::StaticClassInfo(), TDefined::StaticClassInfo()});
  const std::pair<const char*, const char*> cases[] = {
      {"object F: TTestForm\n  object B: TTestControl\n\n    Captionx = 'a'\n  end\nend\n",
       "Error reading F.B.Captionx, line 4: Property Captionx does not exist"},
      {"object F: TTestForm\n  FocusControl = Nowhere\nend\n",
       "Error reading F.FocusControl, line 2: Component Nowhere not found"},
      {"object F: TTestForm\n  OnClick = NoHandler\nend\n",
       "Error reading F.OnClick, line 2: Method NoHandler not found in TTestForm"},
      {"object F: TTestForm\n  OnClick = FormKey\nend\n",
       "Error reading F.OnClick, line 2: Method FormKey does not match the parameters of OnClick"},
      {"object F: TOtherForm\nend\n",
       "Error reading TTestForm, line 1: The description is of class TOtherForm, not TTestForm"},
      {"object F: TTestForm\n  Left = 1\n", "Error reading F, line 3: 'end' expected but end of text found"},
      {"object F: TTestForm\nend\nend\n", "Error reading F, line 3: End of text expected after the root object's 'end'"},
      {"object F: TTestForm\n  object A: TTestControl\n  end\n  object A: TTestControl\n  end\nend\n",
       "Error reading F.A, line 4: A component named A already exists"},
      // A component that is not a control keeps its stored position as whole numbers.
      {"object F: TTestForm\n  object Port: TLogger\n    Top = 'x'\n  end\nend\n",
       "Error reading F.Port.Top, line 3: Integer expected"},
      // Defined properties read exactly what was stored.
      {"object F: TTestForm\n  object D: TDefined\n    Greedy = 'a'\n  end\nend\n",
       "Error reading F.D.Greedy, line 3: No more values to read as string"},
      {"object F: TTestForm\n  object D: TDefined\n    Lazy = ('a')\n  end\nend\n",
       "Error reading F.D.Lazy, line 3: End of list expected"},
      {"object F: TTestForm\n  object D: TDefined\n    Mixed = 5\n  end\nend\n",
       "Error reading F.D.Mixed, line 3: List expected"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(ReadError(text), message) << text;
  EXPECT_EQ(MessageOf<EClassNotFound>([&] {
              ReadComponentFromText("object F: TTestForm\n  object X: TNoSuchClass\n  end\nend\n", form);
            }),
            "Error reading F.X, line 2: Class TNoSuchClass not found");
}

TEST_F(FormReaderTest, NilReferencesUnnamedObjectsAndCaseOfNames) {
  ReadComponentFromText(
      "object F: TTestForm\n  focuscontrol = nil\n  align = ALTOP\n  object TTestControl\n    Left = 1\n  end\n"
      "  OBJECT Panel1: TTestControl [1]\n  END\nEND",
      form);
  EXPECT_EQ(form->FocusControl(), nullptr);
  EXPECT_EQ(form->Align(), alTop);
  ASSERT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->Components(0)->Name(), "");
  EXPECT_EQ(form->Panel1, form->Components(1));
}

TEST_F(FormReaderTest, ComponentsThatAreNotControlsKeepTheirStoredPosition) {
  RegisterClass(TLogger::StaticClassInfo());
  ReadComponentFromText("object F: TTestForm\n  Left = 5\n  object Port: TLogger\n    Left = 24\n    Top = 300\n  end\nend\n", form);
  EXPECT_EQ(form->Left(), 5) << "a published Left wins";
  EXPECT_EQ(form->DesignInfo(), 0);
  auto* port = form->FindComponent("Port");
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->DesignInfo(), (300 << 16) | 24);
}

TEST_F(FormReaderTest, DefinedPropertiesReadEachValueKind) {
  RegisterClass(TDefined::StaticClassInfo());
  ReadComponentFromText(
      "object F: TTestForm\n  object D: TDefined\n    Mixed = ('s' 7 8589934592 2.5 True alTop ('x' 'y'))\n"
      "  end\nend\n",
      form);
  EXPECT_EQ(static_cast<TDefined*>(form->FindComponent("D"))->log, "s|7|8589934592|2.5|T|alTop|xy");
}

TEST_F(FormReaderTest, StringCodesAboveTheByteRangeMapToTheAnsiCodePage) {
  ReadComponentFromText("object F: TTestForm\n  Caption = #1055#1088#$0438'x'#65\nend\n", form);
  EXPECT_EQ(form->Caption(), "При" "xA");
}

TEST_F(FormReaderTest, BigStringListAndBinaryRead) {
  std::string text = "object F: TTestForm\n  Items.Strings = (\n";
  for (int i = 0; i < 1807; ++i) text += "    ':10" + IntToHex(i * 16, 4) + "000102030405060708090A0B0C0D0E0F10'\n";
  text += "  )\n  Picture.Data = {\n    03414243";
  for (int i = 0; i < 300000; ++i) {
    text += IntToHex(i & 0xFF, 2);
    if (i % 32 == 31) text += "\n    ";
  }
  text += "}\nend\n";
  ReadComponentFromText(text, form);
  EXPECT_EQ(form->Items()->Count(), 1807);
  EXPECT_EQ(form->Items()->Strings(1806).substr(0, 7), ":1070E0");
  EXPECT_EQ(form->Picture()->graphicClass, "ABC");
  ASSERT_EQ(form->Picture()->bytes.size(), 300000u);
  EXPECT_EQ(static_cast<unsigned char>(form->Picture()->bytes[257]), 1);
}

TEST(FormResource, MissingResourceIsReported) {
  TComponent root(nullptr);
  EXPECT_FALSE(ComponentResExists("TNOFORM"));
  EXPECT_FALSE(ReadComponentRes("TNOFORM", &root));
}

// ---- run-time property queries ----
TEST(PropertyQueries, ByNameOnPublishedProperties) {
  TTestControl c(nullptr);
  EXPECT_TRUE(HasProperty(&c, "Align"));
  EXPECT_TRUE(HasProperty(&c, "align"));
  EXPECT_TRUE(HasProperty(&c, "Name")) << "inherited";
  EXPECT_FALSE(HasProperty(&c, "Color"));
  EXPECT_EQ(GetObjectProp(&c, "Font"), c.Font());
  EXPECT_EQ(GetObjectProp(&c, "Caption"), nullptr);
  EXPECT_EQ(GetObjectProp(&c, "Missing"), nullptr);
  EXPECT_EQ(GetOrdProp(&c, "Align"), alNone);
  EXPECT_EQ(GetOrdProp(&c, "Missing"), -1);
  EXPECT_EQ(GetOrdProp(&c, "Caption"), -1);
  EXPECT_TRUE(SetOrdProp(&c, "Align", alRight));
  EXPECT_EQ(c.Align(), alRight);
  EXPECT_FALSE(SetOrdProp(&c, "Missing", 1));
  EXPECT_TRUE(SetOrdProp(&c, "Visible", 0));
  EXPECT_FALSE(c.Visible());
  EXPECT_FALSE(SetStrProp(&c, "SkinInfo", "x")) << "read-only";
  TTestFont* f = c.Font();
  EXPECT_TRUE(SetSetProp(f, "Style", "fsItalic, fsStrikeOut"));
  EXPECT_EQ(f->Style(), (TFontStyles{fsItalic, fsStrikeOut}));
  EXPECT_EQ(GetSetProp(f, "Style"), "fsItalic,fsStrikeOut");
  EXPECT_THROW(SetSetProp(f, "Style", "fsitalic"), EPropertyError) << "whole names compare exactly";
  EXPECT_TRUE(SetSetProp(f, "Style", ""));
  EXPECT_TRUE(f->Style().Empty());
  EXPECT_FALSE(SetSetProp(f, "Missing", "a"));
  const TPropInfo* align = GetPropInfo(&c, "Align");
  ASSERT_NE(align, nullptr);
  EXPECT_EQ(align->ElementName(5), "alClient");
  EXPECT_EQ(align->ElementName(6), "");
  EXPECT_EQ(GetEnumValue(*align, "alLeft"), 3);
}

TEST(PropertyQueries, TableListsInheritedPropertiesFirst) {
  const TPropertyTable& t = PropertyTable(TTestForm::StaticClassInfo());
  ASSERT_GE(t.ordered.size(), 3u);
  EXPECT_EQ(t.ordered[0]->name, "Name");
  EXPECT_EQ(t.ordered[1]->name, "Tag");
  EXPECT_EQ(t.ordered[2]->name, "Left");
  EXPECT_NE(t.FindHandler("button1click"), nullptr);
  EXPECT_NE(t.FindField("PANEL1"), nullptr);
  EXPECT_EQ(PropertyTable(TTestControl::StaticClassInfo()).FindHandler("Button1Click"), nullptr);
}

}  // namespace
