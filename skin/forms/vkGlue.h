// Glued forms and edge snapping: a moved skinned form snaps to the edges of the other visible forms and of
// its monitor's work area, and carries the forms named in its GluedForms that touch it when the move starts.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/Forms.h"

class TsSkinProvider;

struct TvkGlueEntry {
  TCustomForm* Form = nullptr;    // the glued form
  TCustomForm* Master = nullptr;  // the form that carries it
  TPoint Offset;                  // glued Left/Top minus the master's when the glue was recorded
};

// The program's one glue table.
const std::vector<TvkGlueEntry>& GlueTable();
// Every entry whose glued form is Form goes (the last entry takes its place).
void RemoveFromGlueTable(TCustomForm* Form);
// The table emptied (unit end).
void ClearGlueTable();

// R accounting for the provider's border window (unchanged without one): grown when Grow, else shrunk, by the
// skin's alignment offsets, Extra and the extra caption height.
TRect AdjustForBorder(TsSkinProvider* Provider, int Extra, const TRect& R, bool Grow);
// The proposed window position X, Y moved onto the nearby edges of other forms and of the work area.
void SnapPosition(TsSkinProvider* Provider, int& X, int& Y);
// The named forms touching the provider's form become its glued forms at their current offsets.
void RecordGluedForms(TsSkinProvider* Provider, bool RecordGlued);
// Every glued form of the provider's form moved to its offset from it.
void MoveGluedForms(TsSkinProvider* Provider);
bool IsGluedTo(TsSkinProvider* Provider, TCustomForm* Form);
