#include "ui/profiles_model.h"

#include "base/language_texts.h"
#include "base/log.h"
#include "base/printable_text.h"
#include "device/usb_driver.h"

std::vector<std::string> ProfileSelectorItems() {
    std::vector<std::string> items;
    for (int i = 1; i <= kProfileCount; ++i)
        items.push_back(FirstChars(GetText("tc_msg35") + " " + std::to_string(i), 19));
    return items;
}

ProfileSelectorView ViewProfileSelector(const AppOptions& opt, const ProfileState& state) {
    ProfileSelectorView v;
    v.visible = opt.ShowProfile != 0;
    v.popupDisabled = opt.ProSwitchEnable == 0;
    for (size_t i = 0; i < state.ProfileList.size(); ++i)
        if (&state.ProfileList[i] == state.pFile) v.selected = static_cast<int>(i);
    return v;
}

int SwitchProfile(CUSBDriver& usb, int index) {
    if (index < 0 || index >= kProfileCount) return 0;
    if (usb.SetCurProfile(index) == 1) return 1;
    LogPrintf("SetCurProfile Err");
    return 0;
}
