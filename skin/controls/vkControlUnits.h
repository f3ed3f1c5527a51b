// Start-up and shut-down of the skinned controls' units, after the library's own (RegisterSkinLibraryUnits).
#pragma once

// Registers, in this order:
//   "sLabel"        the edit label becomes known to stored forms;
//   "vkAlphaHints"  the default hint template from the resource "VKHINT" (a missing one fails start-up).
// A unit already registered is left where it is.
void RegisterSkinControlUnits();
