// Start-up of the form effects: title-button fades, the border window, the form animations, glue and the
// title bar fill their entries of the provider's parts table, and empty them again at the end.
#pragma once

// Registers "vkFormEffects" (after "sSkinProvider"); a unit already registered is left where it is.
void RegisterFormEffectUnits();
