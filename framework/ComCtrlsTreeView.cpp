// The tree view and its nodes.
#include <algorithm>
#include <functional>

#include "framework/ComCtrls.h"
#include "framework/SysUtils.h"

namespace {
constexpr const char* kIndexError = "List index out of bounds (%d)";

void ForgetItemIds(TTreeNode* Node, const std::function<void(TTreeNode*)>& Forget) {
  for (int i = 0; i < Node->Count(); ++i) {
    Forget(Node->Item(i));
    ForgetItemIds(Node->Item(i), Forget);
  }
}
}  // namespace

// ===================================================================================================
// TTreeNode

TTreeNode::TTreeNode(TTreeNodes* Owner, TTreeNode* Parent) : FOwner(Owner), FParent(Parent) {}

TTreeNode::~TTreeNode() {
  TCustomTreeView* tv = FOwner ? FOwner->FOwner : nullptr;
  if (tv && tv->FSelected == this) tv->FSelected = nullptr;
  // The window drops the whole subtree at once; the children's items are gone with it.
  if (FItemId && tv && tv->HandleAllocated()) SendMessageA(tv->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(FItemId));
  FItemId = nullptr;
  ForgetItemIds(this, [](TTreeNode* n) { n->FItemId = nullptr; });
  while (!FChildren.empty()) FChildren.back()->Free();
  std::vector<TTreeNode*>* siblings = FParent ? &FParent->FChildren : FOwner ? &FOwner->FRoots : nullptr;
  if (siblings) siblings->erase(std::remove(siblings->begin(), siblings->end(), this), siblings->end());
}

void TTreeNode::Delete() { Free(); }

void TTreeNode::SetText(const std::string& Value) {
  FText = Value;
  TCustomTreeView* tv = FOwner ? FOwner->FOwner : nullptr;
  if (!FItemId || !tv || !tv->HandleAllocated()) return;
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = FItemId;
  item.pszText = const_cast<char*>(FText.c_str());
  SendMessageA(tv->Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(kIndexError, {Index}));
  return FChildren[static_cast<size_t>(Index)];
}

int TTreeNode::Index() const {
  const std::vector<TTreeNode*>& siblings = FParent ? FParent->FChildren : FOwner->FRoots;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = FParent; p; p = p->FParent) ++level;
  return level;
}

bool TTreeNode::Expanded() const {
  TCustomTreeView* tv = FOwner ? FOwner->FOwner : nullptr;
  if (!FItemId || !tv || !tv->HandleAllocated()) return FExpanded;
  return (SendMessageA(tv->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FItemId), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpanded(bool Value) {
  FExpanded = Value;
  TCustomTreeView* tv = FOwner ? FOwner->FOwner : nullptr;
  if (FItemId && tv && tv->HandleAllocated())
    SendMessageA(tv->Handle(), TVM_EXPAND, Value ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
}

bool TTreeNode::Selected() const {
  TCustomTreeView* tv = FOwner ? FOwner->FOwner : nullptr;
  return tv && tv->Selected() == this;
}

// ===================================================================================================
// TTreeNodes

TTreeNodes::~TTreeNodes() { Clear(); }

TTreeNode* TTreeNodes::Insert(TTreeNode* Parent, const std::string& S) {
  auto* node = new TTreeNode(this, Parent);
  node->FText = S;
  (Parent ? Parent->FChildren : FRoots).push_back(node);
  if (FOwner && FOwner->HandleAllocated()) FOwner->SendNode(node);
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S) {
  return Insert(Sibling ? Sibling->Parent() : nullptr, S);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S) { return Insert(Parent, S); }

void TTreeNodes::Delete(TTreeNode* Node) {
  if (Node) Node->Delete();
}

void TTreeNodes::Clear() {
  while (!FRoots.empty()) FRoots.back()->Free();
}

int TTreeNodes::Count() const {
  int count = 0;
  std::function<void(const TTreeNode*)> walk = [&](const TTreeNode* n) {
    ++count;
    for (TTreeNode* c : n->FChildren) walk(c);
  };
  for (TTreeNode* r : FRoots) walk(r);
  return count;
}

TTreeNode* TTreeNodes::Item(int Index) const {
  int left = Index;
  TTreeNode* found = nullptr;
  std::function<void(TTreeNode*)> walk = [&](TTreeNode* n) {
    if (found) return;
    if (left-- == 0) {
      found = n;
      return;
    }
    for (TTreeNode* c : n->FChildren) walk(c);
  };
  for (TTreeNode* r : FRoots) walk(r);
  if (!found || Index < 0) throw EListError(Format(kIndexError, {Index}));
  return found;
}

// ===================================================================================================
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner), FNodes(new TTreeNodes(this)) {
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
}

TCustomTreeView::~TCustomTreeView() { FNodes->Free(); }

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_TREEVIEW_CLASSES);
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEWA);
  Params.Style |= TVS_SHOWSELALWAYS;
  if (FShowLines) Params.Style |= TVS_HASLINES;
  if (FShowRoot) Params.Style |= TVS_LINESATROOT;
  if (FShowButtons) Params.Style |= TVS_HASBUTTONS;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::SendNode(TTreeNode* Node) {
  TVINSERTSTRUCTA ins{};
  ins.hParent = Node->FParent ? Node->FParent->FItemId : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = const_cast<char*>(Node->FText.c_str());
  ins.item.lParam = reinterpret_cast<LPARAM>(Node);
  Node->FItemId = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
  if (!Node->FItemId) throw EOutOfResources("Tree view item could not be inserted");
  for (TTreeNode* c : Node->FChildren) SendNode(c);
  // Expanding needs the children inside the window first.
  if (Node->FExpanded) SendMessageA(FHandle, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Node->FItemId));
}

void TCustomTreeView::CreateWnd() {
  inherited::CreateWnd();
  SendColours();
  for (TTreeNode* r : FNodes->FRoots) SendNode(r);
  if (FSelected) SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FSelected->FItemId));
}

void TCustomTreeView::DestroyWnd() {
  FSelected = Selected();
  std::function<void(TTreeNode*)> keep = [&](TTreeNode* n) {
    n->FExpanded = n->Expanded();
    for (TTreeNode* c : n->FChildren) keep(c);
    n->FItemId = nullptr;
  };
  for (TTreeNode* r : FNodes->FRoots) keep(r);
  inherited::DestroyWnd();
}

void TCustomTreeView::SendColours() {
  SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  SendMessageA(FHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
}

TTreeNode* TCustomTreeView::NodeOf(HTREEITEM Item) const {
  if (!Item || !FHandle) return nullptr;
  TVITEMA item{};
  item.mask = TVIF_PARAM;
  item.hItem = Item;
  if (!SendMessageA(FHandle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<TTreeNode*>(item.lParam);
}

TTreeNode* TCustomTreeView::Selected() {
  if (!HandleAllocated()) return FSelected;
  return NodeOf(reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* Node) {
  if (Node && Node->Owner() != FNodes) throw EInvalidOperation("The node belongs to another tree view");
  FSelected = Node;
  if (HandleAllocated())
    SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Node ? Node->FItemId : nullptr));
}

void TCustomTreeView::SetShowLines(bool Value) {
  if (FShowLines == Value) return;
  FShowLines = Value;
  RecreateWnd();
}

void TCustomTreeView::SetShowRoot(bool Value) {
  if (FShowRoot == Value) return;
  FShowRoot = Value;
  RecreateWnd();
}

void TCustomTreeView::SetShowButtons(bool Value) {
  if (FShowButtons == Value) return;
  FShowButtons = Value;
  RecreateWnd();
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomTreeView::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      if (HandleAllocated()) SendColours();
      return;
    case CN_NOTIFY: {
      const UINT code = TWMNotify(Message).NMHdr()->code;
      if (code == static_cast<UINT>(TVN_SELCHANGEDA) || code == static_cast<UINT>(TVN_SELCHANGEDW)) {
        // Both forms carry the new item's handle at the same place.
        const auto* change = reinterpret_cast<const NMTREEVIEWA*>(Message.LParam);
        if (OnChange) OnChange(this, NodeOf(change->itemNew.hItem));
        return;
      }
      return inherited::Dispatch(Message);
    }
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================

static const std::vector<std::string> kBorderNames = {"bsNone", "bsSingle"};

IMPLEMENT_CLASS(TTreeNode)
IMPLEMENT_CLASS(TTreeNodes)

PUBLISHED(TCustomTreeView) {
  for (const char* name : {"Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle, kBorderNames);
  p.Bool("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines);
  p.Bool("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot);
  p.Bool("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons);
  p.Event("OnChange", &TCustomTreeView::OnChange);
}
IMPLEMENT_CLASS(TTreeView)
