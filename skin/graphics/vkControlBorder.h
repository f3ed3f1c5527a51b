// The skin border of a control painted into its cache: the section's border mask by the nine-part rule over the
// parent's background, and an optional frame of the control's own width filled with the section's colour.
#pragma once
#include <windows.h>

#include "framework/Graphics.h"

class TsCommonData;

// Paints into SkinData's cache (R: the control's rectangle there) and gives the rectangle left inside the
// border(s) in Client. DC is where the control finally shows: when it is not the cache's own canvas, the frame
// of ExtraWidth is copied there too. Without a border mask only the ExtraWidth frame is painted, on DC, and
// Client is left as it was.
void PaintControlBorder(HDC DC, const TRect& R, int ExtraWidth, TRect& Client, int State, TsCommonData* SkinData);
