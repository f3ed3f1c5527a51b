#pragma once
// Reads stored form descriptions (text) into a root component (a form) and the components it owns.
//
//   object MainForm: TMainForm              the root: its class must be the root's own class
//     Caption = 'Loader '#1046              strings: '...' with '' for a quote, #nnn CP1251 byte codes, joined by +
//     Left = 120                            integers (int64, $hex), floats with '.', identifiers, True/False
//     Font.Style = [fsBold]                 sub-object paths and sets
//     Items.Strings = ('COM1' 'COM2')       lists
//     Picture.Data = {0A54...}              binary data (a DefineBinaryProperty of the object)
//     Sections = <item Name = 'x' end>      collections
//     FocusControl = Edit1                  references and events (OnClick = ButtonWriteClick): bound at the end
//     object Edit1: TEdit ... end           owned by the root, nested object = parent component
//   end
//
// Protocol: every created component (and the root) carries csLoading from its creation until its Loaded;
// csReading while its own properties are read; properties go through the setters in text order;
// references and events are resolved after the whole text; then Loaded runs on every component in reading
// order, the root first. Classes are found in the class registry (RegisterClass). Errors raise EReadError
// (EClassNotFound for an unknown class) naming the form, the object, the property and the line.
// A published read-only property is skipped.

#include <string>
#include <vector>

#include "framework/Classes.h"

class TMemoryStream;

// One parsed value of a property.
struct TFormValue {
  enum Kind { Integer, Float, String, Ident, Set, List, Binary };
  Kind kind = Integer;
  int64_t integer = 0;
  double number = 0;
  std::string text;                  // String, Ident; Binary: the bytes
  std::vector<std::string> names;    // Set
  std::vector<TFormValue> items;     // List
  int line = 0;
};

// Handed to DefineProperty read procedures: reads the property's value (or list elements in turn).
class TReader {
public:
  std::string ReadString();
  int ReadInteger();
  int64_t ReadInt64();
  double ReadFloat();
  bool ReadBoolean();
  std::string ReadIdent();
  void ReadListBegin();
  bool EndOfList() const;
  void ReadListEnd();
  TComponent* Root() const { return root_; }
  // Raises EReadError with the current form, object, property and line.
  [[noreturn]] void Error(const std::string& message) const;

private:
  friend class TFormParser;
  TReader(TComponent* root, const TFormValue& value, std::string where);
  const TFormValue& Next(const char* what);
  TComponent* root_;
  std::string where_;
  const TFormValue* value_;
  bool consumed_ = false;
  std::vector<std::pair<const TFormValue*, size_t>> lists_;
};

// Reads a description from text into `root` (created by the caller, e.g. a form from its constructor).
void ReadComponentFromText(const std::string& text, TComponent* root);
// Reads the description stored as RT_RCDATA resource `resourceName` of the program into `root`; false (and
// nothing read) when the program holds no such resource.
bool ReadComponentRes(const std::string& resourceName, TComponent* root);
// Whether the program holds a description of that name (a form without one is created empty).
bool ComponentResExists(const std::string& resourceName);
