// The MDI parent form's part of its skinner: while the form is skinned, its MDI client window is adapted so
// that the client's edge and background come from the form's frame cache.
#pragma once
#include "framework/Classes.h"

class TCustomForm;
class TsSkinProvider;
class TvkMDIWnd;

class TsMDIForm : public TPersistent {
  DECLARE_CLASS(TsMDIForm, TPersistent)
public:
  // The form's window is made at once: the client window must exist before it can be adapted.
  explicit TsMDIForm(TsSkinProvider* AProvider);
  void BeforeDestruction() override;

  void ConnectToClient();
  // A fresh adapter while the provider is skinned; none otherwise.
  void UpdateClientAdapter();
  void DisconnectClient();
  void RepaintMainFrame();

  TCustomForm* Form = nullptr;
  TvkMDIWnd* ClientAdapter = nullptr;  // owned
  TsSkinProvider* Provider = nullptr;
};
