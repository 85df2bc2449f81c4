// What the profile end-to-end tests share: the shipped configuration with its first mouse in
// use, a fresh data folder, and the virtual mouse as after it has been accepted.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "device/transport.h"
#include "device/usb_driver.h"
#include "macro/macro_list.h"
#include "platform/window_recorder.h"
#include "profile/profile_defaults.h"
#include "profile/profile_transfer.h"
#include "sim/virtual_receiver.h"
#include "support/log_lines.h"
#include "support/sim_link.h"
#include "support/temp_dir.h"

namespace zvtest {

// The shipped cfg.ini and texts, the data folder a new temporary one, the mouse of `cid`/`mid`
// in use with an empty macro library.
inline void LoadShippedConfig(const TempDir& data, uint32_t cid = 0x10, uint32_t mid = 0x1A) {
    gVar.szAppDir = SourceDir() + platform::PathSeparator() + "data" + platform::PathSeparator();
    ASSERT_EQ(LoadConfiguration(), 1);
    LoadDefaultTexts(gVar.szAppDir);
    gVar.szAppDataDir = data.path();
    gVar.szTitle = "Zorvan";
    gVar.pSensorCfg = FindSensorCfg(cid, mid);
    ASSERT_NE(gVar.pSensorCfg, nullptr);
    LoadDefaultKeys();
    g_MacroList.Clear();
    gVar.ProfileList.clear();
    gVar.pFile = nullptr;
    gVar.g_nCurDpiLevel = 0;
    g_bSyncDone = 1;
    platform::recorder::Clear();
}

// The profile tests' mouse: the first shipped one unless a test names another.
using SimMouse = SimLink;

// A profile of the mouse in use, made current.
inline ProfileFile& UseNewProfile() {
    gVar.ProfileList.assign(4, ProfileFile{});
    for (int i = 0; i < 4; ++i) NewProfile(gVar.ProfileList[i], "Profile " + std::to_string(i + 1));
    gVar.pFile = &gVar.ProfileList[0];
    return *gVar.pFile;
}

}  // namespace zvtest
