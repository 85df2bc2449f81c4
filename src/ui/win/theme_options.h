// The look of the running program, read from its loaded options: the one place the windows read
// it. The controls never do; they are handed the values these return.
#pragma once
#include "app/options.h"
#include "base/app_paths.h"
#include "controls/win/tree_ctrl_ex.h"
#include "controls/win/ui_theme.h"

// The theme of these options and paths (colours, font, screen size).
UiTheme ThemeFrom(const AppOptions& o, const AppPaths& paths);
// The theme of the running program.
UiTheme ThemeFromOptions();
// The list colours of the program's options (LstBox_..., clrMacFrame).
TreeColours TreeColoursFromOptions();
