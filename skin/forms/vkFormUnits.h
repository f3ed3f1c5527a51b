// Start-up and shut-down of the form skinning units, after the controls' own (RegisterSkinControlUnits).
#pragma once

// Registers, in this order:
//   "sSkinProvider" the form skinner's entries of the engine's form-services table and the interim thread hook;
//   "sSkinMenus"    the skinned menus' entries of that table; at its end the popup background cache is emptied.
// A unit already registered is left where it is.
void RegisterSkinFormUnits();
