#pragma once
// Registers the skinned control classes stored forms name (the reader finds them by class name).
void RegisterSkinControlClasses();
