#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/gvar.h"
#include "app/startup.h"
#include "base/language_texts.h"
#include "platform/folder_lock.h"
#include "platform/fs.h"
#include "platform/codepage.h"
#include "support/temp_dir.h"

TEST(Startup, OsVersionCodes) {
    struct Case {
        bool nt;
        unsigned major, minor;
        int code;
    } cases[] = {
        {false, 4, 10, 1}, {false, 4, 90, 2}, {false, 3, 0, 0}, {true, 5, 0, 3},
        {true, 5, 1, 4},   {true, 5, 2, 4},   {true, 6, 0, 5},  {true, 6, 1, 6},
        {true, 6, 2, 7},   {true, 6, 3, 7},   {true, 10, 0, 7}, {true, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.nt << " " << c.major << "." << c.minor);
        EXPECT_EQ(OsVersionCode(c.nt, c.major, c.minor), c.code);
    }
}

TEST(Startup, TitleIsCutTo39Characters) {
    gVar.Title = std::string(39, 'z');
    ApplyTitle();
    EXPECT_EQ(gVar.szTitle.size(), 39u);
    // Characters, not bytes: a title of umlauts is not cut in the middle of one.
    EXPECT_EQ(platform::CutToUtf16Units(std::string(20, 'a') + "\xC3\xA4\xC3\xA4", 21),
              std::string(20, 'a') + "\xC3\xA4");
    EXPECT_EQ(platform::CutToUtf16Units("ab\xF0\x9F\x8E\xAE", 3), "ab");
}

TEST(Startup, AppDataFolderIsMadeWithItsParentsAndFailuresOnlyLogged) {
    zvtest::TempDir dir;
    ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    gVar.appdir = "Zorvan";
    PrepareAppDataDir();
    EXPECT_EQ(gVar.szAppDataDir, dir / "Zorvan/");
    EXPECT_TRUE(platform::DirectoryExists(dir / "Zorvan"));
    PrepareAppDataDir();  // already there: nothing happens
    EXPECT_TRUE(platform::DirectoryExists(dir / "Zorvan"));

    // A fresh account may lack the parents too: every missing level is made.
    ::setenv("XDG_DATA_HOME", (dir / "missing/deeper").c_str(), 1);
    PrepareAppDataDir();
    EXPECT_TRUE(platform::DirectoryExists(dir / "missing/deeper/Zorvan"));

    // A file where a folder must go: nothing can be made, start-up goes on.
    dir.Write("file", "x");
    ::setenv("XDG_DATA_HOME", (dir / "file/below").c_str(), 1);
    PrepareAppDataDir();
    EXPECT_FALSE(platform::DirectoryExists(dir / "file/below"));
    uint32_t err = 0;
    EXPECT_FALSE(CreateDataFolder(dir / "file/below/Zorvan", &err));
    EXPECT_NE(err, 0u);
    ::unsetenv("XDG_DATA_HOME");
}

TEST(Startup, TheFirstMissingDataFileIsNamed) {
    // Each file in turn is the only one missing: the message names exactly that one.
    const char* files[] = {"cfg.ini", "text.xml", "skins/key_nr.png"};
    for (const char* gone : files) {
        SCOPED_TRACE(gone);
        zvtest::TempDir dir;
        platform::MakeDirectory(dir / "skins");
        for (const char* f : files)
            if (std::string(f) != gone) dir.Write(f, "x");
        const std::string missing = MissingDataFile(dir.path());
        EXPECT_EQ(missing, dir / gone);
        const std::string text = MissingDataMessage(missing);
        EXPECT_NE(text.find(dir / gone), std::string::npos) << text;
        EXPECT_NE(text.find("extract the whole folder"), std::string::npos) << text;
    }
    zvtest::TempDir all;
    platform::MakeDirectory(all / "skins");
    for (const char* f : files) all.Write(f, "x");
    EXPECT_EQ(MissingDataFile(all.path()), "");
    // A folder where a file belongs does not count as the file.
    zvtest::TempDir odd;
    platform::MakeDirectory(odd / "cfg.ini");
    EXPECT_EQ(MissingDataFile(odd.path()), odd / "cfg.ini");
}

// The window and the command line start the same way; each says what a failure means to it. A
// lock held by another stops only the program that needs it, and the steps run in their order.
TEST(Startup, StepsRunInOrderAndABusyLockStopsOnlyWhenRequired) {
    zvtest::TempDir data;
    std::unique_ptr<platform::FolderLock> other;
    ASSERT_EQ(platform::LockFolder(data.path(), 0, &other), platform::FolderLockResult::kTaken);
    for (const bool required : {true, false}) {
        SCOPED_TRACE(required ? "lock required" : "lock not required");
        std::string steps;
        StartupPlan plan;
        plan.appDir = zvtest::SourceDir() + "/data";
        plan.dataDir = data.path();
        plan.lockRequired = required;
        plan.afterCatalogue = [&](std::string*) { return steps += "catalogue ", true; };
        plan.afterTitle = [&] { steps += "title "; };
        plan.beforeLock = [&](std::string*) { return steps += "lock ", true; };
        plan.virtualMouse = [&](std::string*) { return steps += "mouse", true; };
        const StartupOutcome out = StartUp(plan);
        EXPECT_EQ(out.lock, platform::FolderLockResult::kBusy);
        EXPECT_EQ(out.folderLock, nullptr);
        EXPECT_EQ(out.stop, required ? StartupStop::kLock : StartupStop::kNone);
        EXPECT_EQ(steps, required ? "catalogue title lock " : "catalogue title lock mouse");
        EXPECT_EQ(gVar.szAppDataDir.rfind(data.path(), 0), 0u) << gVar.szAppDataDir;
        EXPECT_FALSE(gVar.szTitle.empty());
    }
    other.reset();
    StartupPlan plan;
    plan.appDir = zvtest::SourceDir() + "/data";
    plan.dataDir = data.path();
    plan.lockRequired = true;
    const StartupOutcome out = StartUp(plan);
    EXPECT_EQ(out.stop, StartupStop::kNone);
    EXPECT_NE(out.folderLock, nullptr);
}

// A catalogue without texts beside it takes the shipped ones; without those either, the program
// that cannot go on without texts is stopped with both places named.
TEST(Startup, TextsFallBackToTheShippedOnes) {
    zvtest::TempDir own, data;
    std::vector<uint8_t> cfg;
    ASSERT_TRUE(platform::ReadFile(zvtest::SourceDir() + "/data/cfg.ini", cfg));
    ASSERT_TRUE(platform::WriteFileAtomic(own / "cfg.ini", cfg));
    StartupPlan plan;
    plan.appDir = own.path();
    plan.dataDir = data.path();
    plan.textsRequired = true;
    plan.fallbackTextsDir = zvtest::SourceDir() + "/data";
    StartupOutcome out = StartUp(plan);
    EXPECT_EQ(out.stop, StartupStop::kNone) << out.why;
    EXPECT_FALSE(GetText("tc_msg35").empty());

    plan.fallbackTextsDir = data.path();
    out = StartUp(plan);
    EXPECT_EQ(out.stop, StartupStop::kTexts);
    EXPECT_NE(out.why.find(own / "text.xml"), std::string::npos) << out.why;
    EXPECT_NE(out.why.find(data / "text.xml"), std::string::npos) << out.why;
}
