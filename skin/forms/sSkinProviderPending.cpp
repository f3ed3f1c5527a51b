// Members that need the glow form of the engine (the caption cover and the veil over a disabled form).
#include "skin/forms/sSkinProvider.h"

void TsSkinProvider::ShowCaptionCover() {}
void TsSkinProvider::HideCaptionCover() {}
void TsSkinProvider::UpdateDisabledVeil() {}
