#include <gtest/gtest.h>

#include "framework/Classes.h"
#include "framework/Streams.h"
#include "tests/framework/core_test_util.h"

namespace {

TEST(StringListText, SplitsAtCrLfCrOrLfAndAFinalBreakAddsNoLine) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}}, {"a\r\n", {"a"}}, {"a\n\n", {"a", ""}}, {"\r\n", {""}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {"", {}}};
  TStringList l;
  for (const auto& [text, lines] : cases) {
    l.SetText(text);
    EXPECT_EQ(Lines(l), lines) << text;
  }
  l.SetText("x\r\ny");
  EXPECT_EQ(l.Text(), "x\r\ny\r\n");
}

TEST(StringListText, LoadFromStreamAndFileKeepCp1251Bytes) {
  TStringStream src(":10000000\r\n:00000001FF\nЖук");
  TStringList l;
  l.LoadFromStream(src);
  EXPECT_EQ(Lines(l), (std::vector<std::string>{":10000000", ":00000001FF", "Жук"}));
  const std::string file = TempFile("fwcore_lines.txt");
  l.SaveToFile(file);
  TStringList back;
  back.LoadFromFile(file);
  EXPECT_EQ(Lines(back), Lines(l));
  DeleteFileA(file.c_str());
  EXPECT_THROW(back.LoadFromFile(file), EFOpenError);
}

TEST(StringListSort, CaseInsensitiveLocaleOrderStable) {
  TStringList l;
  for (const char* s : {"COM2", "com10", "COM1", "Com1", "COM3"}) l.Add(s);
  l.Sort();
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"COM1", "Com1", "com10", "COM2", "COM3"}));
  TStringList cyr;
  for (const char* s : {"ящик", "Борщ", "аист", "Ёж"}) cyr.Add(s);
  cyr.Sort();
  EXPECT_EQ(cyr[0], "аист");
  EXPECT_EQ(cyr[3], "ящик");
}

TEST(StringListSort, SortedListKeepsOrderIgnoresDuplicatesAndRefusesInsert) {
  TStringList l;
  l.SetSorted(true);
  l.Add("b");
  l.Add("A");
  l.Add("c");
  EXPECT_EQ(l.Add("B"), 1) << "already present (case-insensitively)";
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(l.IndexOf("C"), 2);
  EXPECT_EQ(l.IndexOf("d"), -1);
  EXPECT_THROW(l.Insert(0, "x"), EStringListError);
  l.SetCaseSensitive(true);
  EXPECT_EQ(l.IndexOf("C"), -1);
}

TEST(StringListBasics, ObjectsIndexesAndErrors) {
  TStringList l;
  TObject a, b;
  l.AddObject("one", &a);
  l.Add("two");
  l.InsertObject(0, "zero", &b);
  EXPECT_EQ(l.Objects(1), &a);
  EXPECT_EQ(l.Objects(0), &b);
  EXPECT_EQ(l.Objects(2), nullptr);
  EXPECT_EQ(l.IndexOf("TWO"), 2);
  EXPECT_EQ(l.IndexOfObject(&a), 1);
  l.Exchange(0, 2);
  EXPECT_EQ(l[0], "two");
  EXPECT_EQ(l.Objects(2), &b);
  l.Delete(1);
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"two", "zero"}));
  EXPECT_EQ(MessageOf<EStringListError>([&] { l.Strings(2); }), "List index out of bounds (2)");
  EXPECT_THROW(l.Delete(-1), EStringListError);
  EXPECT_THROW(l.Insert(3, "x"), EStringListError);
  l.Insert(2, "end");
  EXPECT_EQ(l[2], "end");
}

TEST(StringListBasics, NamesAndValues) {
  TStringList l;
  l.SetText("GSIZE=3\nno separator\nImage = a=b\n");
  EXPECT_EQ(l.Names(0), "GSIZE");
  EXPECT_EQ(l.Names(1), "");
  EXPECT_EQ(l.Values("gsize"), "3");
  EXPECT_EQ(l.Values("Image "), " a=b");
  EXPECT_EQ(l.Values("missing"), "");
  l.SetValues("NEW", "1");
  EXPECT_EQ(l[3], "NEW=1");
  l.SetValues("GSIZE", "4");
  EXPECT_EQ(l[0], "GSIZE=4");
  l.SetValues("GSIZE", "");
  EXPECT_EQ(l.IndexOfName("GSIZE"), -1);
}

TEST(StringListEvents, ChangeAndChangingAroundEachEditOrOncePerUpdate) {
  TStringList l;
  std::vector<std::string> log;
  l.OnChanging = [&](TObject* s) {
    EXPECT_EQ(s, &l);
    log.push_back("changing " + std::to_string(l.Count()));
  };
  l.OnChange = [&](TObject*) { log.push_back("change " + std::to_string(l.Count())); };
  l.Add("a");
  EXPECT_EQ(log, (std::vector<std::string>{"changing 0", "change 1"}));
  log.clear();
  l.BeginUpdate();
  l.Add("b");
  l.Add("c");
  l.BeginUpdate();
  l.Delete(0);
  l.EndUpdate();
  EXPECT_EQ(log, (std::vector<std::string>{"changing 1"}));
  l.EndUpdate();
  EXPECT_EQ(log, (std::vector<std::string>{"changing 1", "change 2"}));
  log.clear();
  l.SetText("x\ny\nz");
  EXPECT_EQ(log, (std::vector<std::string>{"changing 2", "change 3"}));
  log.clear();
  l.EndUpdate();  // unbalanced: ignored
  EXPECT_TRUE(log.empty());
}

TEST(StringListAssign, CopiesStringsAndObjects) {
  TStringList a, b;
  TObject o;
  a.AddObject("x", &o);
  a.Add("y");
  b.Add("old");
  b.Assign(&a);
  EXPECT_EQ(Lines(b), Lines(a));
  EXPECT_EQ(b.Objects(0), &o);
  TComponent c(nullptr);
  EXPECT_THROW(b.Assign(&c), EConvertError);
}

}  // namespace
