#include <gtest/gtest.h>

#include <cstdlib>

#include "app/gvar.h"
#include "base/log.h"
#include "support/temp_dir.h"

namespace {

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_DESKTOP_DIR", dir.path().c_str(), 1);
        SetLogDebugWriter([this](const std::string& s) { debugLines.push_back(s); });
    }
    void TearDown() override {
        SetLogDebugWriter(nullptr);
        ::unsetenv("XDG_DESKTOP_DIR");
        gVar.nDebug = 0;
        LogInit();
    }
    void Init(int level) {
        gVar.nDebug = level;
        LogInit();
    }
    std::string LogFile() const { return dir.Read("Log.txt"); }
    bool LogExists() const { return platform::FileExists(dir / "Log.txt"); }

    zvtest::TempDir dir;
    std::vector<std::string> debugLines;
};

// True when s[i..] is a record's start: CR, "mm:ss.mmm" and three blanks.
bool IsStamp(const std::string& s, size_t i) {
    static const char shape[] = "\r99:99.999   ";
    if (i + 13 > s.size()) return false;
    for (size_t k = 0; k < 13; ++k) {
        char c = s[i + k];
        if (shape[k] == '9' ? (c < '0' || c > '9') : c != shape[k]) return false;
    }
    return true;
}

// Splits the file into records: each starts with a CR and the time stamp.
std::vector<std::string> Records(const std::string& file) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < file.size(); ++i)
        if (IsStamp(file, i)) starts.push_back(i);
    std::vector<std::string> out;
    for (size_t i = 0; i < starts.size(); ++i) {
        size_t from = starts[i] + 13;
        size_t to = i + 1 < starts.size() ? starts[i + 1] : file.size();
        out.push_back(file.substr(from, to - from));
    }
    return out;
}

TEST_F(LogTest, LevelsChooseTheSink) {
    struct Case {
        int level;
        bool file;
        bool debugger;
    } cases[] = {
        {0, false, false}, {1, false, true}, {2, true, false}, {7, true, false}, {-1, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        zvtest::RemoveTree(dir / "Log.txt");
        debugLines.clear();
        Init(c.level);
        LogPrintf("value=%d", 5);
        EXPECT_EQ(LogExists(), c.file);
        if (c.file) {
            EXPECT_EQ(Records(LogFile()), std::vector<std::string>{"value=5"});
        }
        EXPECT_EQ(debugLines.size(), c.debugger ? 1u : 0u);
        if (c.debugger) {
            EXPECT_EQ(debugLines[0], "BY: value=5");
        }
    }
}

TEST_F(LogTest, RecordFormatIsCrTimeThreeSpacesAndMessageWithCrLf) {
    Init(2);
    LogPrintf("first\n");
    LogPrintf("second");
    std::string f = LogFile();
    ASSERT_EQ(f.size(), 13u + 7u + 13u + 6u) << f;
    EXPECT_TRUE(IsStamp(f, 0));
    EXPECT_EQ(f.substr(13, 7), "first\r\n");
    EXPECT_TRUE(IsStamp(f, 20));
    EXPECT_EQ(f.substr(33), "second");
}

TEST_F(LogTest, ExistingLogIsKeptUnlessPastTheLimit) {
    dir.Write("Log.txt", std::string(100000, 'x'));
    Init(2);
    LogPrintf("new");
    EXPECT_EQ(LogFile().substr(0, 100000), std::string(100000, 'x'));
    EXPECT_EQ(Records(LogFile()).back(), "new");

    dir.Write("Log.txt", std::string(512001, 'x'));
    Init(2);
    LogPrintf("fresh");
    EXPECT_EQ(Records(LogFile()), std::vector<std::string>{"fresh"});
    EXPECT_EQ(LogFile().size(), 13u + 5u);
}

TEST_F(LogTest, LogFileCanBeDeletedWhileRunning) {
    Init(2);
    LogPrintf("a");
    ASSERT_TRUE(platform::RemoveFile(dir / "Log.txt"));
    LogPrintf("b");
    EXPECT_EQ(Records(LogFile()), std::vector<std::string>{"b"});
}

TEST_F(LogTest, UnwritableDesktopReportsOpenLogFailed) {
    ::setenv("XDG_DESKTOP_DIR", (dir / "missing").c_str(), 1);
    Init(2);
    EXPECT_EQ(debugLines, std::vector<std::string>{"BY: Open Log failed"});
    debugLines.clear();
    LogPrintf("lost");
    EXPECT_EQ(debugLines, std::vector<std::string>{"BY: lost"});
}

TEST_F(LogTest, DebuggerLineIsCutTo511Characters) {
    Init(1);
    LogPrintf("%s", std::string(600, 'm').c_str());
    ASSERT_EQ(debugLines.size(), 1u);
    EXPECT_EQ(debugLines[0].size(), 511u);
}

TEST_F(LogTest, HexDumpLines) {
    Init(2);
    std::vector<uint8_t> bytes(40);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);

    LogHexDump(bytes.data(), 15, 0, "Read(1f): ");
    LogHexDump(bytes.data(), 40, 32, nullptr);
    LogHexDump(bytes.data(), 3, 2, "DpiX=");
    LogHexDump(bytes.data(), 0, 0, "none");
    LogHexDump(nullptr, 4, 0, "none");
    auto r = Records(LogFile());
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0], "Read(1f):  a0 a1 a2 a3 a4 a5 a6 a7 a8 a9 aa ab ac ad ae ");
    EXPECT_EQ(r[1],
              "a0 a1 a2 a3 a4 a5 a6 a7 a8 a9 aa ab ac ad ae af b0 b1 b2 b3 b4 b5 b6 b7 b8 b9 ba bb "
              "bc bd be bf ");
    EXPECT_EQ(r[2], "c0 c1 c2 c3 c4 c5 c6 c7 ");
    EXPECT_EQ(r[3], "\r\nDpiX= a0 a1 ");
    EXPECT_EQ(r[4], "DpiX= a2 ");
}

TEST_F(LogTest, HexDumpLabelWithPercentIsPrintedAsIs) {
    Init(2);
    uint8_t b[2] = {1, 2};
    LogHexDump(b, 2, 0, "100%s %n C:\\x%d");
    EXPECT_EQ(Records(LogFile()), std::vector<std::string>{"100%s %n C:\\x%d 01 02 "});
}

TEST_F(LogTest, LongOneLineDumpBreaksWhenTheBufferIsFull) {
    Init(2);
    std::vector<uint8_t> bytes(200, 0x5A);
    LogHexDump(bytes.data(), bytes.size(), 0, nullptr);
    auto r = Records(LogFile());
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].size(), 170u * 3);  // 511 characters hold 170 entries
    EXPECT_EQ(r[1].size(), 30u * 3);
}

}  // namespace
