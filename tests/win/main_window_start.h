// The program's state as a main window made in a test needs it, for the fixtures that open the
// real main window.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "app/config.h"
#include "app/gvar.h"
#include "base/language_texts.h"
#include "win/ui_host.h"

namespace zvtest {

// The shipped catalogue and English texts, `dataDir` as the data folder, a normal screen, no
// tray icon and the skinned frame. `title` is the window's, so a test finds its own window and
// no other program's. Call it under ASSERT_NO_FATAL_FAILURE: it fails when the catalogue does
// not load.
inline void StartMainWindowTest(const std::string& dataDir, const std::string& title) {
    StartGdiplus();
    gVar.szAppDir = ProgramFolder();
    ASSERT_EQ(LoadConfiguration(), 1);
    LoadDefaultTexts(gVar.szAppDir);
    gVar.szAppDataDir = dataDir;
    gVar.szTitle = title;
    gVar.b4K = 0;
    gVar.TrayIcon = 0;
    gVar.Suwnd = 1;
}

}  // namespace zvtest
