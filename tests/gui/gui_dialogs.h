// The GUI test's checks of the settings sheet "MIZENTAの動作設定" and the
// distribution dialog "関数の行数分布".
#pragma once

#include "tests/gui/gui_support.h"

// Cancel (after edits on both pages and the folder browsers) leaves
// Mizenta.ini and the options as they were.
void settingsCancelKeepsEverything(Program& mizenta);
// OK after edits on both pages saves them; the toolbar goes at once.
void settingsOkSavesTheEdits(Program& mizenta);
// The distribution of a run over the sample sources in the dialog.
void distributionOfTheSamples(Program& mizenta);
