// Names and texts from files or the mouse reach a terminal with their controls shown, not obeyed.
#include <gtest/gtest.h>

#include "base/printable_text.h"

namespace {

TEST(PrintableTextTest, ControlsAreShownAndEverythingElseKept) {
    const struct {
        const char* in;
        bool keepLineBreaks;
        const char* out;
    } cases[] = {
        {"Default", false, "Default"},
        {"\x1b[2Jgone", false, "\\x1b[2Jgone"},            // an escape sequence
        {"a\nzorvan: done", false, "a\\x0azorvan: done"},  // a forged line
        {"a\nb\r", true, "a\nb\\x0d"},
        {"tab\there\x7f", false, "tab\\x09here\\x7f"},
        {"\xc2\x9b"
         "31m",
         false, "\\u009b31m"},  // the one-character escape sequence
        {"caf\xc3\xa9 \xc2\xa0\xe2\x86\x92", false, "caf\xc3\xa9 \xc2\xa0\xe2\x86\x92"},
        {"\xc2", false, "\xc2"},  // a cut sequence is not read past the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(PrintableText(c.in, c.keepLineBreaks), c.out);
    }
    EXPECT_EQ(PrintableText(std::string_view("a\0b", 3)), "a\\x00b");
}

}  // namespace
