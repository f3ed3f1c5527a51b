#include "skin/forms/sMDIForm.h"

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/forms/sSkinProvider.h"

IMPLEMENT_CLASS(TsMDIForm)

TsMDIForm::TsMDIForm(TsSkinProvider* AProvider) : Provider(AProvider) {
  Form = Provider != nullptr ? Provider->Form() : nullptr;
  if (Form != nullptr) Form->HandleNeeded();
}

void TsMDIForm::BeforeDestruction() {
  DisconnectClient();
  TPersistent::BeforeDestruction();
}

void TsMDIForm::ConnectToClient() {
  if (ClientAdapter != nullptr || (Form != nullptr && Form->ComponentState().Contains(csDesigning))) return;
  UpdateClientAdapter();
}

void TsMDIForm::UpdateClientAdapter() {
  DisconnectClient();
  TsScrollWndData* D = Provider != nullptr ? Provider->SkinData() : nullptr;
  if (D == nullptr || !D->IsSkinned() || Form == nullptr || Form->ClientHandle() == nullptr) return;
  // The adapter class belongs to the window adapters; without them the client keeps its own look.
  if (ProviderParts.NewMDIClientAdapter) ClientAdapter = ProviderParts.NewMDIClientAdapter(this);
}

void TsMDIForm::DisconnectClient() {
  TvkMDIWnd* A = ClientAdapter;
  ClientAdapter = nullptr;
  if (A != nullptr && ProviderParts.FreeMDIClientAdapter) ProviderParts.FreeMDIClientAdapter(A);
}

void TsMDIForm::RepaintMainFrame() {
  if (Provider != nullptr) Provider->InvalidateFrame();
}
