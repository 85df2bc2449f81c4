// The JSON reader takes text from outside (a file or a pipe a script filled): everything RFC 8259
// does not allow is refused with the place it went wrong, sizes and nesting are bounded, and what
// the writer prints reads back as the same value.
#include <gtest/gtest.h>

#include <string>

#include "base/json_text.h"

namespace {

TEST(JsonText, RefusesWhatJsonDoesNotAllowAndSaysWhere) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {R"({"a":1,})", "line 1, column 8: expected a key in double quotes"},
        {"{\n  \"a\": 1\n  \"b\": 2}", "line 3, column 3: expected ',' or '}'"},
        {R"({a:1})", "expected a key in double quotes"},
        {R"([1,2,])", "expected a JSON value"},
        {"// note\n{}", "line 1, column 1: expected a JSON value"},
        {R"({"a":1,"a":2})", "column 8: the key \"a\" is given twice"},
        {R"({"dpi":{"levels":[{"x":800)", "cut short"},
        {R"({"ripple":tru)", "cut short"},
        {R"({"s":"abc)", "cut short"},
        {"", "cut short"},
        {R"([01])", "a number cannot start with 0"},
        {R"([1.])", "expected digits after '.'"},
        {R"([-])", "expected digits"},
        {R"({} [])", "unexpected text after the end"},
        {"[\"a\tb\"]", "a control character inside a string"},
        {"[\"\xC3\x28\"]", "not UTF-8"},
        {"[\"\xED\xA0\x80\"]", "not UTF-8"},  // a surrogate written as UTF-8
        {R"(["\ud800"])", "a lone high surrogate"},
        {R"(["\udc00"])", "a lone low surrogate"},
        {R"(["\x41"])", "unknown escape \\x"},
        {R"(["\u12G4"])", "four hexadecimal digits"},
        {R"([True])", "expected a JSON value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const JsonParseResult r = ParseJson(c.text);
        EXPECT_FALSE(r.value);
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    }
}

TEST(JsonText, SizeAndNestingAreBounded) {
    const JsonLimits limits{100, 4};
    EXPECT_TRUE(ParseJson("[[[[1]]]]", limits).value);
    EXPECT_NE(ParseJson("[[[[[1]]]]]", limits).error.find("nested deeper than 4 levels"),
              std::string::npos);
    // A deep text is refused before it can exhaust the stack, at any default depth.
    EXPECT_FALSE(ParseJson(std::string(100000, '[')).value);
    const std::string big = "[\"" + std::string(99, 'x') + "\"]";
    EXPECT_NE(ParseJson(big, limits).error.find("larger than"), std::string::npos);
}

TEST(JsonText, ValuesReadBackAsWritten) {
    // Every kind, members in their order, numbers whole or not, strings with what must be
    // escaped and with characters beyond ASCII.
    const std::string text =
        R"({"b":true,"n":null,"i":-9007199254740993,"f":2.5e3,"s":"q\"b\\n\u000a\u0001\u007f é 😀",)"
        R"("l":[1,{"z":false},[]],"a":{}})";
    const JsonParseResult r = ParseJson(text);
    ASSERT_TRUE(r.value) << r.error;
    const JsonValue& v = *r.value;
    EXPECT_EQ(v.Members()[0].first, "b");
    EXPECT_TRUE(v.Find("b")->AsBool());
    EXPECT_TRUE(v.Find("n")->IsNull());
    EXPECT_EQ(v.Find("i")->AsInt(), -9007199254740993);
    EXPECT_FALSE(v.Find("f")->IsWhole());
    EXPECT_EQ(v.Find("f")->Text(), "2.5e3");
    EXPECT_EQ(v.Find("s")->Text(), "q\"b\\n\n\x01\x7f \xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(WriteJson(v), text);
    // Escapes of the reader's own choosing: a surrogate pair and the optional ones.
    EXPECT_EQ(ParseJson(R"(["\ud83d\ude00\/\b\f\r\t"])").value->Items()[0].Text(),
              "\xF0\x9F\x98\x80/\b\f\r\t");
}

TEST(JsonText, TheWriterNeverPrintsInvalidUtf8) {
    // A name from the mouse or a file may hold any bytes: what is not UTF-8 becomes U+FFFD,
    // so the line stays JSON that any reader takes.
    const std::string quoted = JsonQuoted(
        "a\xFF"
        "b\xC3");
    EXPECT_EQ(quoted, R"("a\ufffdb\ufffd")");
    EXPECT_TRUE(ParseJson(quoted).value);
}

}  // namespace
