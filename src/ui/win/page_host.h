// What a page of the main window may ask of the window that holds it. The main window answers
// with itself and the real dialogs; a test hands a page its own answers. A page reaches its
// host only through this, never through the main window's type, so a page can be built and
// driven without the main window.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "profile/profile_file.h"
#include "ui/key_capture.h"

enum MainPageType : int {
    kPageButtons = 1,
    kPageMacros = 2,
    kPagePerformance = 3,
    kPageLighting = 4
};

class PageHost {
  public:
    virtual ~PageHost() = default;

    // ---- every page ----------------------------------------------------------------------
    // 1 when a change may be sent now; otherwise the reason was shown.
    virtual int CheckDeviceReady() = 0;
    // A message with OK over the main window; true when the user closed it with OK.
    virtual bool Tell(const std::string& text) = 0;
    virtual bool Ask(const std::string& text) = 0;
    virtual void ShowPage(MainPageType type) = 0;
    // The macros changed: the buttons page shows their names again and, with applyKeys,
    // writes every button to the mouse again.
    virtual void RefreshButtons(bool applyKeys) = 0;
    // The mouse holds its lighting (a mode the page may not change now).
    virtual bool LightingHeld() = 0;

    // ---- the session, for the buttons page -----------------------------------------------
    // The factory reset with its progress window; 1 when it ran.
    virtual int ResetToDefaults() = 0;
    // After a reset with InitOnReset: the profile read anew behind the waiting message.
    virtual void ReadAgainAfterReset() = 0;
    // Asks the mouse to switch to onboard profile `index`; 1 when it took it.
    virtual int SwitchProfile(int index) = 0;

    // ---- the buttons page's dialogs ------------------------------------------------------
    // The macro picker: a macro's identifier, -1 for the macro page, none when cancelled.
    virtual std::optional<int64_t> PickMacro() = 0;
    // The key capture for a combination; none when cancelled.
    virtual std::optional<CapturedCombo> CaptureCombo() = 0;
    // The fire dialog for the row's assignment; the 16-bit parameter, none when cancelled.
    virtual std::optional<uint16_t> EditFire(const KeyInfo& current) = 0;
    virtual void ExportProfile() = 0;
    virtual void ImportProfile() = 0;
    // The linked-programs window (the profile that follows the program in front).
    virtual void EditProgramLinks() = 0;
};
