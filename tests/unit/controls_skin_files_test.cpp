// The skins the build puts beside the programs: every picture a window loads by name must be
// there and be a PNG, for the general folder and for each mouse of the shipped catalogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "controls/skin_paths.h"
#include "platform/fs.h"
#include "platform/sys.h"
#include "support/temp_dir.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Windows finds skin files whatever their case ("Check_nr.png" is "check_nr.png"), so the
// check does too.
bool HasPng(const std::string& folder, const std::string& name, std::string* why) {
    std::vector<platform::DirEntry> entries;
    if (!platform::ListDirectory(folder, entries)) {
        *why = "no folder " + folder;
        return false;
    }
    for (const auto& e : entries) {
        if (Lower(e.name) != Lower(name)) continue;
        std::vector<uint8_t> head;
        platform::ReadFilePrefix(platform::JoinPath(folder, e.name), 8, head);
        static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        if (head.size() == 8 && std::equal(head.begin(), head.end(), kPng)) return true;
        *why = name + " is no PNG";
        return false;
    }
    *why = name + " missing in " + folder;
    return false;
}

TEST(ControlsSkinFiles, EveryPictureExistsAfterTheBuild) {
    const std::string build = platform::GetEnv("ZV_BUILD_DIR");
    if (build.empty()) GTEST_SKIP() << "run through ctest, which names the build folder";
    const std::string skins = platform::JoinPath(build, "skins");
    ASSERT_TRUE(platform::DirectoryExists(skins)) << "the data target has not staged " << skins;

    std::vector<std::string> general = {
        "adv_nr.png",    "adv2_nr.png",     "slider.png",      "slider1.png",
        "slider2.png",   "longbar_nr.png",  "longbar_ov.png",  "dpibar_nr.png",
        "dpibar_ov.png", "bar_nr.png",      "bar_ov.png",      "check_nr.png",
        "check_dn.png",  "Check_nr.png",    "Check_dn.png",    "radio_nr.png",
        "radio_dn.png",  "combo_nr.png",    "combo2_nr.png",   "combo3_nr.png",
        "key_nr.png",    "button_nr.png",   "button2_nr.png",  "reset_nr.png",
        "led_nr.png",    "color.png",       "macro_nr.png",    "mac_u.png",
        "mac_d.png",     "mac_t.png",       "mac_m.png",       "key_time.png",
        "msg_nr.png",    "msg2_nr.png",     "exit_nr.png",     "min_nr.png",
        "help_nr.png",   "progress_nr.png", "progress_ov.png", "menu_nr.png",
        "menu_ov.png",   "menusub_nr.png",  "menusub_ov.png",  "power_charging.png",
    };
    for (int i = 1; i <= 4; ++i) {
        general.push_back("navi" + std::to_string(i) + "_nr.png");
        general.push_back("navi" + std::to_string(i) + "_dn.png");
    }
    for (int i = 0; i <= 4; ++i) general.push_back("power" + std::to_string(i) + ".png");
    std::string why;
    for (const auto& name : general) EXPECT_TRUE(HasPng(skins, name, &why)) << why;
    for (int i = 1; i <= 16; ++i) {
        const std::string n = "number" + std::to_string(i) + ".png";
        EXPECT_TRUE(HasPng(skins, n, &why)) << why;
        EXPECT_TRUE(HasPng(platform::JoinPath(skins, "number"), n, &why)) << why;
    }
    for (const char* n : {"open.png", "close.png"}) {
        EXPECT_TRUE(HasPng(platform::JoinPath(skins, "macro"), n, &why)) << why;
    }

    // One folder per mouse of the catalogue.
    const IniFile cfg = IniFile::Load(platform::JoinPath(zvtest::SourceDir(), "data/cfg.ini"));
    int mice = 0;
    for (int d = 1; d <= 30; ++d) {
        const std::string section = "DEV_" + std::to_string(d);
        const int cid = cfg.GetInt(section, "CID", 0), mid = cfg.GetInt(section, "MID", 0);
        if (cid == 0 && mid == 0) continue;
        ++mice;
        const std::string folder = platform::JoinPath(
            skins, DeviceSkinFolder(static_cast<uint8_t>(cid), static_cast<uint8_t>(mid)));
        for (const char* n : {"mouse_nr.png", "mouse_dn.png", "mouse_led.png", "key_nr.png"}) {
            EXPECT_TRUE(HasPng(folder, n, &why)) << why;
        }
    }
    EXPECT_GT(mice, 0) << "the shipped catalogue names no mouse";
    EXPECT_TRUE(platform::FileExists(platform::JoinPath(build, "appico.ico")));
}

}  // namespace
