#pragma once
// Registers the plain versions of the skinned controls that stored forms name.
void RegisterPlainSkinControls();
