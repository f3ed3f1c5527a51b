#include "skin/controls/sLabel.h"

IMPLEMENT_CLASS(TsLabel)
IMPLEMENT_CLASS(TsWebLabel)

void RegisterLabelClasses() { RegisterClasses({TsLabel::StaticClassInfo(), TsWebLabel::StaticClassInfo()}); }
