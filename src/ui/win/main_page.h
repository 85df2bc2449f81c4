// What a page of the main window is. A page is a child window in the main window's page area
// that the main window creates once (CPageBase::CreatePage with the program's theme, its
// background set to the page's skin picture), shows by its navigation button (Show) and keeps
// informed: the device's layout (LayoutForDevice), the profile read from the mouse (Refresh),
// the mouse's own changes (DeviceChanged) and the language (TextsChanged). A page is handed
// its host and the profile it shows when it is made, and reaches neither any other way.
#pragma once
#include <windows.h>

#include <functional>

#include "app/options.h"
#include "controls/win/page_base.h"
#include "device/transport.h"
#include "macro/macro_list.h"
#include "profile/catalogue_state.h"
#include "profile/profile_state.h"
#include "ui/page_change.h"
#include "ui/win/page_host.h"

// What a page is handed when it is made: its host, the profiles it shows and changes, the
// program's options (cfg.ini and the skin's places), the catalogue, whose pSensorCfg is the
// mouse in use, and the macro library the buttons' macros are kept in.
struct PageParts {
    PageHost& host;
    ProfileMonitor& profiles;
    const AppOptions& options;
    const CatalogueState& catalogue;
    MacroList& macros;
};

// CPageBase (creation, showing, texts, the settings shown anew) and what only the main window
// tells its pages.
class CMainPage : public CPageBase {
  public:
    explicit CMainPage(const PageParts& parts)
        : m_host(parts.host),
          m_profiles(parts.profiles),
          m_options(parts.options),
          m_catalogue(parts.catalogue),
          m_macros(parts.macros) {}

    // The mouse in m_catalogue.pSensorCfg changed: lay the page out for it.
    virtual void LayoutForDevice() {}
    // The mouse changed something by itself.
    virtual void DeviceChanged(DevBehaviorKind /*kind*/) {}
    // The macro page records: the main window keeps it shown.
    virtual bool IsRecording() const { return false; }
    // A macro was saved, renamed or deleted: captions again and, with applyKeys, every button
    // written to the mouse again.
    virtual void MacrosChanged(bool /*applyKeys*/) {}

  protected:
    // Runs `edit` on the current record and level inside the profile's lock, so the apply
    // thread never copies a half-made change; without a current record nothing runs and an
    // empty change comes back. The request is placed (outside the lock) when `place` is set
    // and something changed.
    PageChange EditProfile(const std::function<PageChange(ProfileFile&, int32_t& curLevel)>& edit,
                           bool place);

    PageHost& m_host;
    ProfileMonitor& m_profiles;
    const AppOptions& m_options;
    const CatalogueState& m_catalogue;
    MacroList& m_macros;
};
