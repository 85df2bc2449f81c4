#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/version.h"
#include "ui/about_version.h"

TEST(AboutVersion, TheLineShowsTheProgramsOwnVersion) {
    struct Case {
        const char* text;
        const char* want;
    } cases[] = {
        {"Software version", "Software version 2.13.4"},
        // An older text file's own number gives way to the program's.
        {"Software version 1.0", "Software version 2.13.4"},
        {"Softwareversion v1.0.7 ", "Softwareversion 2.13.4"},
        {"1.0", "2.13.4"},
        {"", "2.13.4"},
        // Words that merely hold digits stay.
        {"Version 2026b", "Version 2026b 2.13.4"},
        {"Version .", "Version . 2.13.4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(VersionLine(c.text, "2.13.4"), c.want);
    }
    // The version built in is three numbers, as the file names and the resources expect.
    EXPECT_TRUE(std::string(kProgramVersion).find_first_not_of("0123456789.") == std::string::npos);
    EXPECT_EQ(std::count(kProgramVersion, kProgramVersion + std::strlen(kProgramVersion), '.'), 2);
}
