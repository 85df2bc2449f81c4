#include "ui/win/main_pages.h"

#include "app/gvar.h"
#include "ui/win/adv_dlg.h"
#include "ui/win/key_dlg.h"
#include "ui/win/led_dlg.h"
#include "ui/win/macro_dlg.h"
#include "ui/win/new_adv_dlg.h"

std::unique_ptr<CMainPage> CreateMainPage(MainPageType type, const PageParts& parts) {
    switch (type) {
        case kPageButtons:
            return std::make_unique<CKeyDlg>(parts);
        case kPagePerformance:
            if (parts.options.OldAdvDlg) return std::make_unique<CAdvDlg>(parts);
            return std::make_unique<CNewAdvDlg>(parts);
        case kPageMacros:
            // Its tree comes with the macro library, which loads after the pages are made.
            return std::make_unique<CMacroDlg>(parts, true);
        case kPageLighting:
            return std::make_unique<CLedDlg>(parts);
        default:
            return nullptr;
    }
}

const char* MainPageBackground(int type) {
    switch (type) {
        case kPageMacros:
            return "macro_nr.png";
        case kPagePerformance:
            return gVar.OldAdvDlg ? kOlderPageBackground : "adv_nr.png";
        case kPageLighting:
            return "led_nr.png";
        default:
            // The buttons page is the window's own background.
            return nullptr;
    }
}
