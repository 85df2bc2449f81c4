// Texts of the program that look misspelled ("eixt", "Unkown", "Warrning", ...) are its own:
// people and tools match the log and the message boxes against them, so they stay exactly as
// they are. This list is where they are kept; a "correction" anywhere under src/ fails here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace {

constexpr const char* kOwnTexts[] = {
    "Match_Thread eixt, hFile=%x",
    "EEPROM_To_MainRGB: Unkown Speed",
    "EEPROM_To_MainRGB: Unkown Bri",
    "EEPROM_To_LogoRGB: Unkown Speed",
    "EEPROM_To_LogoRGB: Unkown Bri",
    "\"Warrning\"",
    "add macro to list faile..",
    "hWnd is invalidate",
    " is invalidate",
    "another dev has exist, give up this!!!",
    "GetData Err, dev is plugout",
};

std::string AllSources() {
    std::string all;
    const std::filesystem::path src = std::filesystem::path(zvtest::SourceDir()) / "src";
    for (const auto& e : std::filesystem::recursive_directory_iterator(src)) {
        const std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        all += text.str();
    }
    return all;
}

TEST(OwnTexts, KeepTheirSpelling) {
    const std::string sources = AllSources();
    ASSERT_FALSE(sources.empty());
    for (const char* t : kOwnTexts) EXPECT_NE(sources.find(t), std::string::npos) << t;
}

}  // namespace
