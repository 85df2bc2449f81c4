#include <gtest/gtest.h>

#include <random>

#include "app/config.h"
#include "app/gvar.h"
#include "base/number_text.h"
#include "platform/window_recorder.h"
#include "support/notice_log.h"
#include "support/temp_dir.h"

namespace {

class ConfigTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::recorder::Clear();
        gVar.szAppDir = dir.path();
    }
    void TearDown() override {
        gVar.nDebug = 0;
        LogInit();
    }
    // Loads a cfg.ini holding [OPT] with these lines plus an appdir, and returns the messages.
    std::vector<std::string> Load(const std::string& optLines, bool withAppdir = true) {
        dir.Write("cfg.ini", "[OPT]\n" + std::string(withAppdir ? "appdir=Zv\n" : "") + optLines);
        EXPECT_EQ(LoadConfiguration(told.Sink()), 1);
        std::vector<std::string> texts;
        for (auto& b : told.Take()) {
            EXPECT_EQ(b.caption, "Error");
            texts.push_back(b.text);
        }
        return texts;
    }
    zvtest::TempDir dir;
    zvtest::NoticeLog told;
};

TEST_F(ConfigTest, MissingFileGivesEveryDefault) {
    EXPECT_EQ(LoadConfiguration(told.Sink()), 1);
    auto boxes = told.Take();
    ASSERT_EQ(boxes.size(), 1u);  // only the empty appdir is reported
    EXPECT_EQ(boxes[0].text, "APPDATA=NULL");
    EXPECT_EQ(gVar.Suwnd, 1);
    EXPECT_EQ(gVar.MenuItems, 13);
    EXPECT_EQ(gVar.DebounceRange, 7680);
    EXPECT_EQ(gVar.VID, 9639);
    EXPECT_EQ(gVar.Retry, 3);
    EXPECT_EQ(gVar.RateVSp, 67);
    EXPECT_EQ(gVar.Sensor9000Max, 12000);
    EXPECT_EQ(gVar.Sensor3395Max, 32000);
    EXPECT_EQ(gVar.clrEdit, Rgb(20, 20, 20));
    EXPECT_EQ(gVar.clrDpiMark, 0x0000FFu);
    EXPECT_EQ(gVar.clrMaskDialog, 0x00FF00u);
    EXPECT_EQ(gVar.rcMacroList, (ZvRect{100, 85, 326, 464}));
    EXPECT_EQ(gVar.rcSubDlg, (ZvRect{}));
    EXPECT_EQ(gVar.ptGrid, (ZvPoint{100, 412}));
    EXPECT_EQ(gVar.PowerCritical, (std::array<uint8_t, 4>{25, 50, 75, 100}));
    EXPECT_EQ(gVar.LEDParam, (std::array<uint8_t, 6>{3, 10, 8, 255, 0, 255}));
    EXPECT_EQ(gVar.LedOpt[2].opt, (std::array<uint8_t, 5>{8, 10, 0, 0, 0}));
    EXPECT_EQ(gVar.LedOpt[6].presetColor[3], Rgb(128, 0, 255));
    EXPECT_EQ(gVar.nLangNum, 0);
    EXPECT_EQ(gVar.nPIDNum, 0);
    EXPECT_EQ(gVar.nMinDelay, 10);
    EXPECT_EQ(gVar.nMaxHdMacroBytes, 384);
    EXPECT_EQ(gVar.nMaxDelay, 65535);
    EXPECT_EQ(gVar.nMaxMacroEvents, 70);
}

TEST_F(ConfigTest, PointsAndRectanglesNeedTheirExactCount) {
    struct Case {
        std::string line;
        ZvPoint ptMin;
        ZvRect rcSys;
        std::vector<std::string> messages;
    } cases[] = {
        {"ptMin=10,20\n", {10, 20}, {881, 406, 991, 514}, {}},
        {"ptMin=10\n", {952, 12}, {881, 406, 991, 514}, {"Wrong POINT num"}},
        {"ptMin=1,2,3\n", {952, 12}, {881, 406, 991, 514}, {"Wrong POINT num"}},
        {"ptMin=\n", {952, 12}, {881, 406, 991, 514}, {"Wrong POINT num"}},
        {"rcSys=1,2,3,4\n", {952, 12}, {1, 2, 3, 4}, {}},
        {"rcSys=1,2,3\n", {952, 12}, {881, 406, 991, 514}, {"Wrong rect num"}},
        {"rcSys=1,2 ,3,4\n", {952, 12}, {881, 406, 991, 514}, {"Wrong rect num"}},
        {"rcSys=1,2,3,4,5\n", {952, 12}, {881, 406, 991, 514}, {"Wrong rect num"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Load(c.line), c.messages);
        EXPECT_EQ(gVar.ptMin, c.ptMin);
        EXPECT_EQ(gVar.rcSys, c.rcSys);
    }
}

TEST_F(ConfigTest, ColoursAndByteLists) {
    Load(
        "Txt_clr=255,128\nclrEdit=\nclrMask=1,2,3,4\nPowerCritical=10,20\nLEDParam=300,abc\n"
        "clrTxtAdvDlg=0,0,9\n");
    EXPECT_EQ(gVar.Txt_clr, Rgb(255, 128, 0));
    EXPECT_EQ(gVar.clrTxtLedDlg, Rgb(255, 128, 0));  // follows Txt_clr
    EXPECT_EQ(gVar.clrTxtAdvDlg, Rgb(0, 0, 9));
    EXPECT_EQ(gVar.clrEdit, Rgb(20, 20, 20));  // empty value: default
    EXPECT_EQ(gVar.clrMask, Rgb(1, 2, 3));
    EXPECT_EQ(gVar.PowerCritical, (std::array<uint8_t, 4>{10, 20, 0, 0}));
    EXPECT_EQ(gVar.LEDParam, (std::array<uint8_t, 6>{44, 0, 0, 0, 0, 0}));  // low byte of 300

    Load("PowerCritical=\nLEDParam=x\n");
    EXPECT_EQ(gVar.PowerCritical, (std::array<uint8_t, 4>{25, 50, 75, 100}));
    EXPECT_EQ(gVar.LEDParam, (std::array<uint8_t, 6>{3, 10, 8, 255, 0, 255}));
}

TEST_F(ConfigTest, ProductIdListsAreHexadecimal) {
    Load("PID=5A01,fa60\nPID2=25A7 ,1234\n");
    ASSERT_EQ(gVar.nPIDNum, 2);
    EXPECT_EQ(gVar.PID[0], 0x5A01u);
    EXPECT_EQ(gVar.PID[1], 0xFA60u);
    ASSERT_EQ(gVar.nPID2Num, 1);  // the blank before the comma ends the list
    EXPECT_EQ(gVar.PID2[0], 0x25A7u);

    Load("PID=1,2,3,4,5,6,7,8,9,A,B,C\n");
    EXPECT_EQ(gVar.nPIDNum, 10);
}

TEST_F(ConfigTest, NumberListReading) {
    struct Case {
        const char* text;
        int base;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"1,2,3", 10, {1, 2, 3}},
        {"", 10, {}},
        {"7x,8", 10, {7}},
        {" 5,6", 10, {5, 6}},
        {"1,,2", 10, {1}},
        {"ff,0x10", 16, {0xFF, 0x10}},
        {"99999999999", 10, {0xFFFFFFFFu}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseNumberList(c.text, c.base, 10), c.expected);
    }
}

TEST_F(ConfigTest, LanguageList) {
    EXPECT_EQ(Load("Lang1=English,English\nLang2=Deutsch,German\nLang4=Skipped,X\n"),
              std::vector<std::string>{});
    EXPECT_EQ(gVar.nLangNum, 2);  // read until the first missing key
    EXPECT_EQ(gVar.Lang[1].name, "Deutsch");
    EXPECT_EQ(gVar.Lang[1].folder, "German");

    EXPECT_EQ(Load("Lang1=English,English\nLang2=Broken\nLang3=Third,T\n"),
              std::vector<std::string>{"Lang2 is invalidate"});
    EXPECT_EQ(gVar.nLangNum, 1);

    EXPECT_EQ(Load("Lang1=Name,\n"), std::vector<std::string>{"Lang1 is invalidate"});
    EXPECT_EQ(gVar.nLangNum, 0);

    Load("Lang1=" + std::string(40, 'n') + "," + std::string(40, 'f') + ",extra\n");
    EXPECT_EQ(gVar.Lang[0].name, std::string(29, 'n'));
    EXPECT_EQ(gVar.Lang[0].folder, std::string(29, 'f'));
}

TEST_F(ConfigTest, LightingModeOptions) {
    Load("LedOpt1=1,2,3\nLedOpt2=9,9,9,9,9,10,20,30,40,50\n");
    EXPECT_EQ(gVar.LedOpt[0].opt, (std::array<uint8_t, 5>{1, 2, 3, 0, 0}));
    EXPECT_EQ(gVar.LedOpt[0].presetColor[0], Rgb(255, 0, 0));
    EXPECT_EQ(gVar.LedOpt[1].presetColor[0], Rgb(10, 20, 30));
    EXPECT_EQ(gVar.LedOpt[1].presetColor[1], Rgb(40, 50, 0));
    EXPECT_EQ(gVar.LedOpt[1].presetColor[2], Rgb(0, 255, 0));  // not given: default
    EXPECT_EQ(gVar.LedOpt[3].opt, (std::array<uint8_t, 5>{6, 6, 0, 0, 0}));
}

TEST_F(ConfigTest, TextsAreCutToTheirBuffers) {
    Load("Title=" + std::string(60, 't') + "\nFontName=" + std::string(40, 'f') + "\n");
    EXPECT_EQ(gVar.Title, std::string(39, 't'));
    EXPECT_EQ(gVar.FontName, std::string(29, 'f'));
    EXPECT_EQ(gVar.appdir, "Zv");
}

TEST_F(ConfigTest, NegativeDebugIsAFileLevel) {
    ::setenv("XDG_DESKTOP_DIR", dir.path().c_str(), 1);
    Load("Debug=-1\n");
    EXPECT_EQ(gVar.LogPrintf, &LogToFile);
    ::unsetenv("XDG_DESKTOP_DIR");
}

TEST_F(ConfigTest, HostileFilesGiveDefaultsAndNeverCrash) {
    std::mt19937 rng(7);
    std::string binary(4096, '\0');
    for (char& c : binary) c = static_cast<char>(rng());
    const std::string cases[] = {
        binary,
        "[OPT]\nMenuItems=" + std::string(100000, '9') + "\n",
        "[OPT]\nptMin=" + std::string(100000, '1') + "\n",
        "[OPT]\n" + std::string(100000, 'x') + "\nRetry=5\n",
        std::string("[OPT]\nRetry=\0"
                    "5\n",
                    12),
        "\xFF\xFE[\0",
        "[OPT\nRetry=9\n",
    };
    for (const std::string& bytes : cases) {
        dir.Write("cfg.ini", bytes);
        EXPECT_EQ(LoadConfiguration(), 1);
        EXPECT_LE(gVar.Title.size(), 39u);
    }
    dir.Write("cfg.ini", cases[3]);
    LoadConfiguration();
    EXPECT_EQ(gVar.Retry, 5);
    EXPECT_EQ(gVar.nRetry, 5);  // the attempts of every device command
}

TEST_F(ConfigTest, ShippedFileLoadsWithoutAMessage) {
    std::vector<uint8_t> shipped;
    ASSERT_TRUE(
        platform::ReadFile(platform::JoinPath(zvtest::SourceDir(), "data/cfg.ini"), shipped));
    dir.Write("cfg.ini", std::string(shipped.begin(), shipped.end()));
    EXPECT_EQ(LoadConfiguration(told.Sink()), 1);
    EXPECT_TRUE(told.Take().empty());
    EXPECT_EQ(gVar.Title, "Zorvan");
    EXPECT_EQ(gVar.appdir, "Zorvan");
    EXPECT_EQ(gVar.VID, 0x25A7);
    EXPECT_GE(gVar.nLangNum, 2);
    EXPECT_GE(gVar.nPIDNum, 1);
}

}  // namespace
