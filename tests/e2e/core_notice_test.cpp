// What the core finds to tell the user reaches its caller as a notice that carries the box the
// user has always seen (text, caption, buttons and icon), at the moment it is found; the
// command-line tool prints the same notices as lines on standard error.
#include <gmock/gmock.h>

#include <functional>

#include "base/ini_file.h"
#include "e2e/profile_sim.h"
#include "macro/macro_store.h"
#include "profile/apply_thread.h"
#include "profile/eeprom_reader.h"
#include "profile/eeprom_writer.h"
#include "support/cli_run.h"
#include "support/notice_log.h"
#include "ui/import_limits.h"

namespace {

using ::testing::ElementsAre;

class CoreNotices : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data));
        zvtest::UseNewProfile();
    }
    void TearDown() override {
        StopApplyThread();
        gVar.GoWithNoDev = 0;
    }

    zvtest::TempDir data, files;
};

TEST_F(CoreNotices, EachCarriesTheBoxItWasShownIn) {
    const std::string title = gVar.szTitle;
    const std::string badName =
        GetText("tc_tip1").empty() ? "Invalid file name." : GetText("tc_tip1");
    // Apply requests run on the thread; the sink hears them there, before WaitApplyDone returns.
    auto applyOnce = [](CUSBDriver& usb, const NoticeSink& tell, uint32_t flag) {
        StartApplyThread(&usb, g_MacroList, tell);
        RequestApply(flag, 0);
        EXPECT_TRUE(WaitApplyDone(5000));
        StopApplyThread();
    };
    struct Case {
        const char* what;
        std::function<void(const NoticeSink&)> run;
        Notice shown;
    };
    const Case cases[] = {
        {"a change with no mouse to take it",
         [&](const NoticeSink& tell) {
             CUSBDriver none;
             applyOnce(none, tell, kApplyDebounce);
         },
         {GetText("tc_msg15"), "Error", platform::kMbIconWarning}},
        {"a write the mouse refuses",
         [&](const NoticeSink& tell) {
             zvtest::SimMouse m;
             gVar.pFile->nRate = 0x300;
             applyOnce(m.drv, tell, kApplyRate);
         },
         {"   Update settings failed!      ", "Error", platform::kMbIconWarning}},
        {"an export into a folder that is not there",
         [&](const NoticeSink& tell) {
             EXPECT_EQ(ExportProfile(platform::JoinPath(files / "no", "p.qza"), g_MacroList, tell),
                       0);
         },
         {"Create profile failed.", title}},
        {"an import of a file that is no profile",
         [&](const NoticeSink& tell) {
             files.Write("bad.qza", std::string(kProfileFileSize, 'x'));
             EXPECT_EQ(ImportProfile(files / "bad.qza", PageImportRules(gVar, gVar, g_MacroList),
                                     g_MacroList, tell),
                       0);
         },
         {GetText("tc_tip3"), title}},
        {"a macro name that cannot be a file name",
         [&](const NoticeSink& tell) {
             const NameCheck checked = CheckFileName("a-b");
             EXPECT_FALSE(checked.name);
             if (checked.refusal) tell(*checked.refusal);
         },
         {badName, title}},
        {"a cfg.ini without appdir",
         [&](const NoticeSink& tell) {
             zvtest::TempDir cfg;
             cfg.Write("cfg.ini", "[OPT]\nTitle=T\n");
             gVar.szAppDir = cfg.path();
             EXPECT_EQ(LoadConfiguration(tell), 1);
         },
         {"APPDATA=NULL", "Error"}},
        {"a device section whose DPI range builds no list",
         [&](const NoticeSink& tell) {
             EXPECT_TRUE(LoadDeviceSections(
                 IniFile::FromBytes("[DEV_1]\nSensor=12368\nKM=2\nDM=1\nDPIRANGE=100,300\n"),
                 tell));
         },
         {"Wrong DPIRANGE", "Warning"}},
        {"a level whose DPI code the sensor's table lacks",
         [&](const NoticeSink& tell) {
             // The second mouse's sensor codes DPI values through a table; level 2 has code 0xFF.
             ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data, 0x10, 0x2B));
             zvtest::SimMouse m(0x10, 0x2B);
             m.Poke(0x10, {0xFF, 0x0F, 0x00, static_cast<uint8_t>(0x55 - 0xFF - 0x0F)});
             ProfileFile p = zvtest::UseNewProfile();
             EXPECT_EQ(GetProfile(&m.drv, p, g_MacroList, nullptr, nullptr, tell), 1);
         },
         {"Get wrong dpi from device", "Warning"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(zvtest::LoadShippedConfig(data));
        zvtest::UseNewProfile();
        platform::recorder::Clear();
        zvtest::NoticeLog told;
        c.run(told.Sink());
        EXPECT_THAT(told.Take(), ElementsAre(c.shown));
        // Nothing of it went to a box of its own.
        EXPECT_TRUE(platform::recorder::TakeMessageBoxes().empty());
    }
}

#ifdef ZV_CLI_PATH

// The command line prints the notice as one line: without the padding that centres it in a box,
// and without a caption that only says "Error" or the program's title.
TEST_F(CoreNotices, TheCommandLinePrintsThem) {
    const std::string shipped = zvtest::SourceDir() + "/data/cfg.ini";
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadFile(shipped, bytes));
    std::string cfg(bytes.begin(), bytes.end());
    const std::string range = "DPIRANGE=100,10000,100,10200,26000,200";
    ASSERT_NE(cfg.find(range), std::string::npos);
    files.Write("cfg.ini", cfg.replace(cfg.find(range), range.size(), "DPIRANGE=100,300"));
    files.Write("bad.qza", std::string(kProfileFileSize, 'x'));

    struct Case {
        const char* what;
        std::string env, cfg, words;
        std::string line;
    };
    const Case cases[] = {
        {"a write the mouse refuses", "ZORVAN_SIM_FAULTS='bad-status cmd=7 times=always' ", shipped,
         "set rate 500", "zorvan: Update settings failed!\n"},
        {"an import of a file that is no profile", "", shipped,
         "profile import '" + (files / "bad.qza") + "'", "zorvan: " + GetText("tc_tip3") + "\n"},
        {"an export into a folder that is not there", "", shipped,
         "profile export '" + (platform::JoinPath(files / "no", "p.qza")) + "'",
         "zorvan: Create profile failed.\n"},
        {"a device section whose DPI range builds no list", "", files / "cfg.ini", "info",
         "zorvan: Warning: Wrong DPIRANGE\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zvtest::TempDir run;
        const zvtest::CliResult r =
            zvtest::RunCommand(c.env + ZV_CLI_PATH,
                               "--sim='" + (run / "mouse.sim") + "' --cfg '" + c.cfg +
                                   "' --data-dir '" + run.path() + "' " + c.words,
                               run);
        EXPECT_TRUE(r.Says(c.line)) << r.err;
        // Said once, never twice (once by the core, once more by the command).
        EXPECT_EQ(r.err.find(c.line), r.err.rfind(c.line)) << r.err;
    }
}

#endif

}  // namespace
