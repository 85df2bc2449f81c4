// The profile controls of the buttons page without a window: the selector of the four onboard
// profiles and the switch it asks of the mouse. Export, import and the factory reset are
// ExportProfile / ImportProfile (profile/profile_transfer.h) and DeviceSession::ResetToDefaults,
// which the page and the command-line tool call alike.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/options.h"
#include "profile/profile_state.h"

class CUSBDriver;

// The four entries: "%s %d" with the text tc_msg35 and 1..4, at most 19 characters.
std::vector<std::string> ProfileSelectorItems();

struct ProfileSelectorView {
    bool visible = false;        // the option ShowProfile
    bool popupDisabled = false;  // the option ProSwitchEnable is 0
    int selected = -1;           // position of the current profile in the list, -1 none
};
ProfileSelectorView ViewProfileSelector(const AppOptions& opt, const ProfileState& state);

// Asks the mouse to switch to onboard profile `index` (0..3); the page changes nothing itself
// and follows the mouse's notification. 1 when the mouse took it; a failure is logged.
int SwitchProfile(CUSBDriver& usb, int index);
