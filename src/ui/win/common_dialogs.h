// The system's colour chooser and file dialogs, from comdlg32 loaded the first time one is
// opened. Imported at start, comdlg32 brings the printing system along (under Wine the printing
// libraries with their own dependencies, megabytes of memory) into every run, for dialogs most
// runs never open. Each answers FALSE, as the dialog does when cancelled, when the library or
// the function cannot be had.
#pragma once
#include <windows.h>

#include <commdlg.h>

BOOL ZvChooseColor(CHOOSECOLORW* cc);
BOOL ZvGetOpenFileName(OPENFILENAMEW* ofn);
BOOL ZvGetSaveFileName(OPENFILENAMEW* ofn);
