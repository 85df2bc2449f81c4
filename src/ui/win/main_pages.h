// How the pages plug into the main window. A page is a child window in the main window's page
// area that the main window creates once (CPageBase::CreatePage with the program's theme, its
// background set to the page's skin picture), shows by its navigation button (Show) and keeps
// informed: the device's layout (LayoutForDevice), the profile read from the mouse (Refresh),
// the mouse's own changes (DeviceChanged) and the language (TextsChanged). Until a page
// exists, its area shows the skin's background of that page.
#pragma once
#include <windows.h>

#include <memory>

#include "controls/win/page_base.h"

class CZorvanDlg;

enum MainPageType : int {
    kPageButtons = 1,
    kPageMacros = 2,
    kPagePerformance = 3,
    kPageLighting = 4
};

// A page of the main window: CPageBase (creation, showing, texts, the settings shown anew)
// and what only the main window tells its pages.
class CMainPage : public CPageBase {
  public:
    // The mouse in gVar.pSensorCfg changed: lay the page out for it.
    virtual void LayoutForDevice() {}
    // The mouse changed something by itself: 1 DPI level, 2 rate, 4 main, 5 logo, 6 DPI light.
    virtual void DeviceChanged(int /*kind*/) {}
    // The macro page records: the main window keeps it shown.
    virtual bool IsRecording() const { return false; }
    // A macro was saved, renamed or deleted: captions again and, with applyKeys, every button
    // written to the mouse again.
    virtual void MacrosChanged(bool /*applyKeys*/) {}
};

// The page of `type`, or null while that page does not exist yet. Each page adds its line to
// the switch in main_pages.cpp.
std::unique_ptr<CMainPage> CreateMainPage(int type, CZorvanDlg& main);
// The skin picture of a page's whole area (drawn while the page does not exist).
const char* MainPageBackground(int type);
