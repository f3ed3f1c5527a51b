#pragma once
// Window registry internals shared by the control units (not for other units).
#include "framework/Controls.h"

namespace controls_detail {

// The control holding a child window ID; a child still inside CreateWindowEx is found this way.
TWinControl* ControlOfId(UINT Id);

}  // namespace controls_detail
