#include "skin/controls/sControlClasses.h"

#include "skin/controls/pngextra.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/vkProgressBar.h"

void RegisterSkinControlClasses() {
  RegisterTsPanelClass();
  RegisterTsComboBoxClass();
  RegisterTsButtonClass();
  RegisterTsProgressBarClass();
  RegisterLabelClasses();
  RegisterGaugeClasses();
  RegisterPngExtraClasses();
}
