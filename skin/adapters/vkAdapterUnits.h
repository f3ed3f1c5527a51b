// Start-up and shut-down of the window adapters' unit, after the skinned controls' (RegisterSkinControlUnits).
#pragma once

// Registers "vkSBUtils": the optional scroll-bar and flat-scroll entries bound, the adapter services filled;
// at its end the popup-menu window adapters and the page adapters are freed and the services emptied. A unit
// already registered is left where it is. Then "vkMDIWnd": the form skinner's MDI wrapper and its client adapter,
// and "vkPopupController": the form skinner's questions about popup forms and the popups a non-client press
// closes, the controller freed at the end.
void RegisterSkinAdapterUnits();

// Registers the form skinner's units, then "vkDials": the thread hook adopting forms, standard dialogs and popup
// menus, and the forms' child-control walker. Call after RegisterSkinAdapterUnits.
void RegisterSkinDialogUnits();
