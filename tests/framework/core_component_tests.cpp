#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/TypInfo.h"
#include "tests/framework/core_test_util.h"

namespace {

std::vector<std::string> g_log;

// Records each step of its teardown, and what it hears.
class TLogged : public TComponent {
  DECLARE_CLASS(TLogged, TComponent)
public:
  explicit TLogged(TComponent* owner) : TComponent(owner) {}
  ~TLogged() override { g_log.push_back("delete " + Name()); }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && !c->Name().empty()) g_log.push_back(Name() + " hears remove " + c->Name());
    if (op == opRemove && c == watched) watched = nullptr;
  }
  TComponent* watched = nullptr;

protected:
  void PreDestroy() override {
    g_log.push_back("predestroy " + Name() + " children=" + std::to_string(ComponentCount()));
  }
};
IMPLEMENT_CLASS(TLogged)

TLogged* Make(TComponent* owner, const std::string& name) {
  auto* c = new TLogged(owner);
  c->SetName(name);
  return c;
}

class ComponentTest : public testing::Test {
protected:
  void SetUp() override { g_log.clear(); }
};

TEST_F(ComponentTest, OwnerFreesOwnedComponentsLastInsertedFirstAfterItsOwnPreDestroy) {
  TLogged* root = Make(nullptr, "Root");
  TLogged* a = Make(root, "A");
  Make(root, "B");
  Make(a, "A1");
  ASSERT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(root->Components(1)->Name(), "B");
  EXPECT_EQ(a->Owner(), root);
  root->Free();
  // The root's hook runs while everything it owns still exists and is marked destroying; then B goes
  // (last inserted), then A with its own child, each leaving its owner before deletion.
  // Notification reaches the owner and everything it owns (the leaving component too: it is still
  // listed while the owner hears of it); each logs after forwarding, so the deepest logs first.
  const std::vector<std::string> expected = {
      "predestroy Root children=2", "predestroy B children=0", "A1 hears remove B", "A hears remove B",
      "B hears remove B", "Root hears remove B", "delete B", "predestroy A children=1", "predestroy A1 children=0",
      "A1 hears remove A1", "A hears remove A1", "delete A1", "A hears remove A", "Root hears remove A",
      "delete A", "delete Root"};
  EXPECT_EQ(g_log, expected);
}

// Whether the component and everything it owns, at any depth, is marked destroying.
bool WholeTreeDestroying(TComponent* c) {
  if (!c->ComponentState().Contains(csDestroying)) return false;
  for (int i = 0; i < c->ComponentCount(); ++i)
    if (!WholeTreeDestroying(c->Components(i))) return false;
  return true;
}

TEST_F(ComponentTest, DestroyingIsSetOnTheWholeTreeBeforeAnyHookRuns) {
  struct Root : TLogged {
    using TLogged::TLogged;
    bool* wholeTree = nullptr;
    void PreDestroy() override {
      *wholeTree = WholeTreeDestroying(this);
      TLogged::PreDestroy();
    }
  };
  bool wholeTree = false;
  auto* root = new Root(nullptr);
  root->SetName("Root");
  root->wholeTree = &wholeTree;
  TLogged* a = Make(root, "A");
  Make(a, "A1");
  root->Free();
  EXPECT_EQ(g_log.front(), "predestroy Root children=1");  // the root's hook is the first
  EXPECT_TRUE(wholeTree);                                   // and the grandchild was marked already
}

TEST_F(ComponentTest, ComponentFreedBySomeoneElseLeavesItsOwner) {
  TLogged* root = Make(nullptr, "Root");
  TLogged* a = Make(root, "A");
  TLogged* b = Make(root, "B");
  a->Free();
  ASSERT_EQ(root->ComponentCount(), 1);
  EXPECT_EQ(root->Components(0), b);
  EXPECT_EQ(root->FindComponent("a"), nullptr);
  EXPECT_THROW(root->Components(1), EListError);
  root->Free();
}

TEST_F(ComponentTest, FreeNotificationAcrossOwnersAndItsRemoval) {
  TLogged* form1 = Make(nullptr, "Form1");
  TLogged* form2 = Make(nullptr, "Form2");
  TLogged* list = Make(form1, "List");
  TLogged* user = Make(form2, "User");
  user->watched = list;
  list->FreeNotification(user);
  list->Free();
  EXPECT_EQ(user->watched, nullptr) << "the subscriber must hear of the free";

  TLogged* list2 = Make(form1, "List2");
  user->watched = list2;
  list2->FreeNotification(user);
  list2->RemoveFreeNotification(user);
  g_log.clear();
  list2->Free();
  EXPECT_EQ(user->watched, list2) << "removed subscriptions are not notified";
  for (const auto& line : g_log) EXPECT_EQ(line.find("User hears"), std::string::npos) << line;

  // Freeing the subscriber first must not leave the subject pointing at it.
  TLogged* list3 = Make(form1, "List3");
  list3->FreeNotification(user);
  user->Free();
  g_log.clear();
  list3->Free();  // would touch freed memory if the subscription survived
  form1->Free();
  form2->Free();
}

TEST_F(ComponentTest, NamesAreValidatedAndUniqueWithinTheOwner) {
  TLogged* form = Make(nullptr, "Form");
  TLogged* a = Make(form, "Button1");
  TLogged* b = new TLogged(form);
  EXPECT_THROW(b->SetName("button1"), EComponentError);
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  b->SetName("_ok2");
  EXPECT_EQ(form->FindComponent("BUTTON1"), a);
  EXPECT_EQ(MessageOf<EComponentError>([b] { b->SetName("9"); }), "'9' is not a valid component name");
  form->Free();
}

TEST_F(ComponentTest, DeletingDirectlyStillUnlinks) {
  TLogged* form = Make(nullptr, "Form");
  TLogged* a = Make(form, "A");
  Make(a, "A1");
  delete a;
  EXPECT_EQ(form->ComponentCount(), 0);
  form->Free();
}

// ---- class info and registry ----
class TBase : public TComponent {
  DECLARE_CLASS(TBase, TComponent)
public:
  using TComponent::TComponent;
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }

private:
  int size_ = 3;
};
IMPLEMENT_CLASS(TBase)

class TDerived : public TBase {
  DECLARE_CLASS(TDerived, TBase)
public:
  using TBase::TBase;
  void AfterConstruction() override { constructed = true; }
  bool constructed = false;
};
IMPLEMENT_CLASS(TDerived)

class TAbstractThing : public TComponent {
  DECLARE_CLASS(TAbstractThing, TComponent)
public:
  using TComponent::TComponent;
  virtual void Go() = 0;
};
IMPLEMENT_CLASS(TAbstractThing)

TEST(ClassInfo, NamesInheritanceAndVirtualConstruction) {
  TComponent owner(nullptr);
  TObject* obj = TDerived::StaticClassInfo()->CreateInstance(&owner);
  EXPECT_EQ(obj->ClassName(), "TDerived");
  EXPECT_TRUE(obj->InheritsFrom(TBase::StaticClassInfo()));
  EXPECT_TRUE(obj->Is<TComponent>());
  EXPECT_FALSE(obj->InheritsFrom(TAbstractThing::StaticClassInfo()));
  EXPECT_TRUE(static_cast<TDerived*>(obj)->constructed);
  EXPECT_EQ(static_cast<TComponent*>(obj)->Owner(), &owner);
  EXPECT_EQ(As<TBase>(obj), static_cast<TBase*>(static_cast<TDerived*>(obj)));
  EXPECT_EQ(As<TAbstractThing>(obj), nullptr);
  EXPECT_EQ(TBase::StaticClassInfo()->parent, TComponent::StaticClassInfo());
  EXPECT_THROW(TAbstractThing::StaticClassInfo()->CreateInstance(nullptr), EInvalidOperation);
}

TEST(ClassInfo, RegistryFindsByExactName) {
  RegisterClasses({TBase::StaticClassInfo(), TDerived::StaticClassInfo()});
  RegisterClass(TBase::StaticClassInfo());  // registering twice is harmless
  EXPECT_EQ(GetClass("TDerived"), TDerived::StaticClassInfo());
  EXPECT_EQ(GetClass("tderived"), nullptr);
  EXPECT_EQ(MessageOf<EClassNotFound>([] { FindClass("TNoSuchThing"); }), "Class TNoSuchThing not found");
  UnRegisterClass(TDerived::StaticClassInfo());
  EXPECT_EQ(GetClass("TDerived"), nullptr);
}

// ---- persistent ----
class TPoint2 : public TPersistent {
  DECLARE_CLASS(TPoint2, TPersistent)
public:
  int x = 0;
  void Assign(TPersistent* source) override {
    if (auto* p = As<TPoint2>(source)) {
      x = p->x;
      return;
    }
    TPersistent::Assign(source);
  }
};
IMPLEMENT_CLASS(TPoint2)

TEST(Persistent, AssignCopiesKnownClassesAndNamesBothSidesOtherwise) {
  TPoint2 a, b;
  a.x = 7;
  b.Assign(&a);
  EXPECT_EQ(b.x, 7);
  TComponent c(nullptr);
  EXPECT_EQ(MessageOf<EConvertError>([&] { b.Assign(&c); }), "Cannot assign a TComponent to a TPoint2");
  EXPECT_EQ(MessageOf<EConvertError>([&] { b.Assign(nullptr); }), "Cannot assign a nil to a TPoint2");
}

// ---- collections ----
class TNamedItem : public TCollectionItem {
  DECLARE_CLASS(TNamedItem, TCollectionItem)
public:
  std::string name;
  std::string GetDisplayName() const override { return name.empty() ? TCollectionItem::GetDisplayName() : name; }
  void Assign(TPersistent* source) override {
    if (auto* o = As<TNamedItem>(source)) {
      name = o->name;
      Changed(false);
      return;
    }
    TCollectionItem::Assign(source);
  }
  void Rename(const std::string& n) {
    name = n;
    Changed(false);
  }
};
IMPLEMENT_CLASS(TNamedItem)

class TLoggingCollection : public TOwnedCollection {
  DECLARE_CLASS(TLoggingCollection, TOwnedCollection)
public:
  using TOwnedCollection::TOwnedCollection;
  std::vector<std::string> updates;

protected:
  void Update(TCollectionItem* item) override {
    updates.push_back(item ? static_cast<TNamedItem*>(item)->name : std::string("all"));
  }
};
IMPLEMENT_CLASS(TLoggingCollection)

TEST(Collection, AddIndexDeleteAndUpdates) {
  TComponent owner(nullptr);
  owner.SetName("Manager1");
  TLoggingCollection c(&owner, TNamedItem::StaticClassInfo());
  auto* a = static_cast<TNamedItem*>(c.Add());
  auto* b = static_cast<TNamedItem*>(c.Add());
  EXPECT_EQ(c.updates, (std::vector<std::string>{"all", "all"}));
  c.updates.clear();
  a->Rename("a");
  b->Rename("b");
  EXPECT_EQ(c.updates, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(a->Index(), 0);
  EXPECT_EQ(b->ID(), 1);
  EXPECT_EQ(c.FindItemID(1), b);
  EXPECT_EQ(b->GetNamePath(), "Manager1[1]");
  EXPECT_EQ(a->DisplayName(), "a");
  b->SetIndex(0);
  EXPECT_EQ(c.Items(0), b);
  EXPECT_EQ(a->Index(), 1);
  c.updates.clear();
  c.BeginUpdate();
  a->Rename("a2");
  c.Delete(0);
  EXPECT_TRUE(c.updates.empty()) << "no updates inside BeginUpdate/EndUpdate";
  c.EndUpdate();
  EXPECT_EQ(c.updates, (std::vector<std::string>{"all"}));
  EXPECT_EQ(c.Count(), 1);
  EXPECT_THROW(c.Items(1), EListError);
  a->Free();
  EXPECT_EQ(c.Count(), 0) << "a freed item leaves its collection";
  EXPECT_EQ(c.GetOwner(), &owner);
}

TEST(Collection, AssignRecreatesItemsAndRefusesOtherKinds) {
  TCollection src(TNamedItem::StaticClassInfo()), dst(TNamedItem::StaticClassInfo());
  static_cast<TNamedItem*>(src.Add())->name = "x";
  static_cast<TNamedItem*>(src.Add())->name = "y";
  dst.Add();
  dst.Assign(&src);
  ASSERT_EQ(dst.Count(), 2);
  EXPECT_EQ(static_cast<TNamedItem*>(dst.Items(1))->name, "y");
  EXPECT_NE(dst.Items(0), src.Items(0));
  TComponent other(nullptr);
  EXPECT_THROW(dst.Assign(&other), EConvertError);
  TCollection bad(TComponent::StaticClassInfo());
  EXPECT_THROW(bad.Add(), EInvalidOperation);
}

TEST(Collection, ItemsMoveBetweenCollections) {
  TCollection a(TNamedItem::StaticClassInfo()), b(TNamedItem::StaticClassInfo());
  TCollectionItem* item = a.Add();
  item->SetCollection(&b);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Count(), 1);
  EXPECT_EQ(item->Collection(), &b);
  item->SetCollection(nullptr);
  EXPECT_EQ(b.Count(), 0);
  item->Free();
}

std::string g_hooked;

TEST(ExceptionHook, CurrentExceptionGoesToTheHookWithItsMessage) {
  TExceptionHook saved = HandleExceptionHook;
  HandleExceptionHook = [](const std::exception& e) { g_hooked = e.what(); };
  try {
    throw EConvertError("'x' is not a valid integer value");
  } catch (...) {
    HandleCurrentException();
  }
  EXPECT_EQ(g_hooked, "'x' is not a valid integer value");
  try {
    throw 42;  // not even an exception class: still reported, never lost
  } catch (...) {
    HandleCurrentException();
  }
  EXPECT_EQ(g_hooked, "Unknown exception");
  HandleExceptionHook = [](const std::exception&) { throw std::runtime_error("hook failed"); };
  try {
    throw Exception("x");
  } catch (...) {
    HandleCurrentException();  // a failing hook must not let anything escape
  }
  HandleExceptionHook = saved;
  EXPECT_STREQ(EReadError("r").ClassName(), "EReadError");
  const EClassNotFound notFound("c");
  EXPECT_NE(dynamic_cast<const EStreamError*>(static_cast<const Exception*>(&notFound)), nullptr);
}

}  // namespace
