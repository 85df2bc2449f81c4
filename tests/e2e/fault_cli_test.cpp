// The zorvan command under the virtual receiver's faults (ZORVAN_SIM_FAULTS), as a user would
// meet them: the exit code and message say what happened, and the cache holds what the mouse
// really holds afterwards (or nothing, when that cannot be known).
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/fs.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

#ifdef ZV_CLI_PATH

namespace {

using Result = zvtest::CliResult;

constexpr const char* kCache = "PRO_101a.dct";
// The report-rate bytes at the start of the mouse's memory: the interval and its check byte.
constexpr const char* k1000Hz = "01 54\n";
constexpr const char* k500Hz = "02 53\n";

struct FaultCase {
    const char* name;
    const char* fault;    // ZORVAN_SIM_FAULTS
    const char* command;  // {import} stands for the export file made beforehand
    int code;
    const char* says;   // part of standard error; "" for nothing in particular
    const char* rate;   // the mouse's rate bytes afterwards; nullptr: not checked
    bool cacheDropped;  // the mouse could not be read back, so nothing of it may be cached
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class FaultCli : public ::testing::TestWithParam<FaultCase> {
  protected:
    static void SetUpTestSuite() {
        // A profile that differs from the factory's in the rate and elsewhere, to import.
        s_export = new zvtest::TempDir;
        zvtest::TempDir data;
        for (const char* c : {"set rate 500", "set lod 2", "set dpi-color 2 '#123456'"})
            ASSERT_EQ(RunWith(data, *s_export, "", c).code, 0) << c;
        ASSERT_EQ(
            RunWith(data, *s_export, "", "profile export '" + (*s_export / "p.qza") + "'").code, 0);
    }
    static void TearDownTestSuite() {
        delete s_export;
        s_export = nullptr;
    }

    static Result RunWith(const zvtest::TempDir& data, const zvtest::TempDir& files,
                          const std::string& fault, const std::string& args) {
        const std::string env = fault.empty() ? "" : "ZORVAN_SIM_FAULTS='" + fault + "' ";
        return zvtest::RunCommand(env + ZV_CLI_PATH,
                                  "--sim='" + (files / "mouse.sim") + "' " +
                                      zvtest::ShippedCfgArg() + " --data-dir '" + data.path() +
                                      "' " + args,
                                  files);
    }
    Result Run(const std::string& args, const std::string& fault = "") {
        return RunWith(data, files, fault, args);
    }

    zvtest::TempDir data, files;
    static zvtest::TempDir* s_export;
};

zvtest::TempDir* FaultCli::s_export = nullptr;

TEST_P(FaultCli, SaysWhatHappenedAndTheCacheFollowsTheMouse) {
    const FaultCase& c = GetParam();
    // A cache made from the mouse, so that a one-record change has a cached record to use.
    ASSERT_EQ(Run("show").code, 0);
    const std::string before = data.Read(kCache);
    ASSERT_FALSE(before.empty());

    std::string command = c.command;
    if (command == "{import}") command = "profile import '" + (*s_export / "p.qza") + "'";
    const Result r = Run(command, c.fault);
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_TRUE(r.Says(c.says)) << r.err;

    const bool cached = platform::FileExists(data / kCache);
    EXPECT_EQ(cached, !c.cacheDropped);
    const std::string after = cached ? data.Read(kCache) : "";
    if (c.rate) {
        EXPECT_EQ(Run("eeprom read 0 2").out, c.rate);
    }
    // A fresh reading of the mouse must find in the cache just what the cache already said.
    ASSERT_EQ(Run("show").code, 0);
    if (cached) {
        EXPECT_TRUE(data.Read(kCache) == after) << "the cache did not hold the mouse's state";
    }
}

const FaultCase kCases[] = {
    // Reading: nothing half-read is cached.
    {"ReadNoReply", "no-reply cmd=8 skip=40 times=always", "show", 1,
     "the mouse's settings could not be read", k1000Hz, false},
    {"ReadGarbage", "garbage cmd=8 skip=40 times=always", "show", 1,
     "the mouse's settings could not be read", k1000Hz, false},
    {"ReadUnplug", "unplug cmd=8 skip=40", "show", 1, "the mouse's settings could not be read",
     nullptr, false},
    {"ReadSlowLink", "latency=20", "show", 0, "", k1000Hz, false},
    // A one-record write.
    {"WriteRefused", "bad-status cmd=7 times=always", "set rate 500", 1,
     "it did not take the whole change", k1000Hz, false},
    {"WriteNotSent", "send-fails cmd=7 times=always", "set rate 500", 1,
     "it did not take the whole change", k1000Hz, false},
    {"WriteTakenWithoutAnswer", "no-reply cmd=7 times=always", "set rate 500", 0,
     "it holds the change all the same", k500Hz, false},
    {"WriteAnsweredAsAnother", "other-command cmd=7 times=always", "set rate 500", 0,
     "it holds the change all the same", k500Hz, false},
    {"WriteAnsweredLate", "late-reply cmd=7 delay=300", "set rate 500", 0, "", k500Hz, false},
    {"WriteUnplugged", "unplug cmd=7", "set rate 500", 1, "could not be read back", nullptr, true},
    // A change made on a profile read whole.
    {"ReadWriteRefused", "bad-status cmd=7 times=always", "set dpi-color 2 '#123456'", 1,
     "it did not take the whole change", k1000Hz, false},
    {"ReadWriteUnplugged", "unplug cmd=7", "set dpi-color 2 '#123456'", 1, "could not be read back",
     nullptr, true},
    // An import stopped half-way leaves the mouse half-written; the cache says which half.
    {"ImportRefusedHalfway", "bad-status cmd=7 skip=3 times=always", "{import}", 1,
     "it did not take the whole change", nullptr, false},
    {"ImportNotSentHalfway", "send-fails cmd=7 skip=2 times=always", "{import}", 1,
     "it did not take the whole change", nullptr, false},
    {"ImportUnpluggedHalfway", "unplug cmd=7 skip=3", "{import}", 1, "could not be read back",
     nullptr, true},
    // The factory reset.
    {"ResetRefused", "bad-status cmd=9 times=always", "reset --yes", 1,
     "the factory reset was not confirmed", k1000Hz, false},
    // Done, but the mouse cannot be read afterwards: the old profile must not stay cached.
    {"ResetNotReadBack", "no-reply cmd=8 skip=1 times=always", "reset --yes", 1,
     "could not be read back", nullptr, true},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultCli, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The window's box pads its text to look centred under the caption "Error"; a line on standard
// error carries neither.
TEST_F(FaultCli, AFailedWriteIsOneLineWithoutPadding) {
    const Result r = Run("set rate 500", "bad-status cmd=7 times=always");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.Says("\nzorvan: Update settings failed!\n") ||
                r.err.rfind("zorvan: Update settings failed!\n", 0) == 0)
        << r.err;
    EXPECT_FALSE(r.Says("Error:")) << r.err;
}

TEST(FaultCliPlan, AMalformedPlanIsAUsageErrorNamingTheVariable) {
    zvtest::TempDir data, files;
    for (const char* plan : {"no-reply cmd=0x100", "hiccup", "bad-status times=-3", "latency=x"}) {
        SCOPED_TRACE(plan);
        const Result r =
            zvtest::RunCommand(std::string("ZORVAN_SIM_FAULTS='") + plan + "' " + ZV_CLI_PATH,
                               "--sim='" + (files / "mouse.sim") + "' " + zvtest::ShippedCfgArg() +
                                   " --data-dir '" + data.path() + "' show",
                               files);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.Says("ZORVAN_SIM_FAULTS: ")) << r.err;
    }
}

}  // namespace

#endif
