// `zorvan profile link | unlink | links`: the links file changed from the command line, and
// refusals that name what was wrong, without a mouse.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_run.h"
#include "support/temp_dir.h"

#ifdef ZV_CLI_PATH

namespace {

class CliProfileLinks : public ::testing::Test {
  protected:
    zvtest::CliResult Run(const std::string& args) {
        return zvtest::RunCommand(
            ZV_CLI_PATH, zvtest::ShippedCfgArg() + " --data-dir '" + data.path() + "' " + args,
            files);
    }
    zvtest::TempDir data, files;
};

TEST_F(CliProfileLinks, LinkUnlinkAndList) {
    EXPECT_EQ(Run("profile link 'C:\\Games\\Hive.exe' 3").code, 0);
    EXPECT_EQ(Run("profile link notepad.exe default").code, 0);
    EXPECT_EQ(Run("profile link default 2").code, 0);
    EXPECT_EQ(Run("profile link HIVE.EXE 4").code, 0);  // the same program, linked anew
    EXPECT_EQ(data.Read("links.ini"),
              "[OPT]\r\nDefault=2\r\n[Programs]\r\nHive.exe=4\r\nnotepad.exe=default\r\n");
    zvtest::CliResult r = Run("profile links --json");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "{\"default\":2,\"links\":[{\"program\":\"Hive.exe\",\"profile\":4},"
              "{\"program\":\"notepad.exe\",\"profile\":\"default\"}]}\n");
    EXPECT_EQ(Run("profile unlink hive.exe").code, 0);
    r = Run("profile links");
    EXPECT_EQ(r.out, "default: profile 2\nnotepad.exe: default\n");
}

TEST_F(CliProfileLinks, RefusalsSayWhatIsWrongAndChangeNothing) {
    ASSERT_EQ(Run("profile link game.exe 1").code, 0);
    const std::string before = data.Read("links.ini");
    struct Case {
        const char* args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {"profile link game.exe 5", 2, "1 to 4 or default"},
        {"profile link game 2", 2, "ending in .exe"},
        {"profile link default default", 2, "default profile must be 1 to 4"},
        {"profile link game.exe", 2, "missing profile"},
        {"profile unlink other.exe", 1, "other.exe is not linked"},
        {"profile links extra", 2, "too many words"},
    };
    for (const Case& c : cases) {
        const zvtest::CliResult r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args;
        EXPECT_TRUE(r.Says(c.says)) << c.args << ": " << r.err;
    }
    EXPECT_EQ(data.Read("links.ini"), before);
}

}  // namespace

#endif
