#include <gtest/gtest.h>

#include <string>

#include "base/xml_reader.h"
#include "platform/codepage.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;

std::string U8(const std::u16string& s) {
    return platform::Utf16ToUtf8(s);
}

// ---- loading -------------------------------------------------------------------------------

struct LoadCase {
    const char* what;
    std::string bytes;
    std::u16string doc;
    std::vector<std::string> resultHas;  // pieces the load result text must contain
    std::vector<std::string> resultLacks;
};

class XmlLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(XmlLoadTest, DetectsEncodingAndConverts) {
    const LoadCase& c = GetParam();
    XmlReader xml;
    ASSERT_TRUE(xml.LoadBytes(c.bytes));
    EXPECT_EQ(U8(xml.GetDocument()), U8(c.doc));
    for (const auto& s : c.resultHas)
        EXPECT_NE(xml.GetLoadResult().find(s), std::string::npos) << xml.GetLoadResult();
    for (const auto& s : c.resultLacks)
        EXPECT_EQ(xml.GetLoadResult().find(s), std::string::npos) << xml.GetLoadResult();
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, XmlLoadTest,
    ::testing::Values(
        // A mark decides; the bytes are not tested for UTF-8.
        LoadCase{"utf8 mark", "\xEF\xBB\xBFx\xC3\xA9", u"x\u00E9", {"UTF-8 BOM +"}, {"detection"}},
        LoadCase{"utf16be mark",
                 "\xFE\xFF\0<\0a\0>\x04\x10"s,
                 u"<a>\u0410",
                 {"UTF-16BE BOM +", "endian swap"},
                 {}},
        LoadCase{"utf16le mark with zero units",
                 "\xFF\xFE<\0\0\0a\0"s,
                 u"<a",
                 {"UTF-16LE BOM +", "(1 nulls removed)"},
                 {"swap"}},
        LoadCase{"declared windows-1251",
                 "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xC0\xFF</a>",
                 u"<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\u0410\u044F</a>",
                 {"windows-1251"},
                 {"detection"}},
        LoadCase{"declared in single quotes, any case",
                 "<?xml version='1.0' encoding='ISO-8859-1'?><a>\xE9</a>",
                 u"<?xml version='1.0' encoding='ISO-8859-1'?><a>\u00E9</a>",
                 {"ISO-8859-1"},
                 {}},
        LoadCase{"html meta charset",
                 "<html><head><meta http-equiv=\"content-type\" "
                 "content=\"text/html; charset=windows-1251\"></head>\xC0</html>",
                 u"<html><head><meta http-equiv=\"content-type\" "
                 u"content=\"text/html; charset=windows-1251\"></head>\u0410</html>",
                 {"windows-1251"},
                 {}},
        // After </head> nothing is searched; the leading '<' then means UTF-8.
        LoadCase{"meta after head ignored",
                 "<html><head></head><meta http-equiv=\"Content-Type\" content=\"x; "
                 "charset=windows-1251\">\xC3\xA9</html>",
                 u"<html><head></head><meta http-equiv=\"Content-Type\" content=\"x; "
                 u"charset=windows-1251\">\u00E9</html>",
                 {"UTF-8"},
                 {"windows-1251", "detection"}},
        LoadCase{"leading less-than is utf8",
                 "<a>\xC3\xA9</a>",
                 u"<a>\u00E9</a>",
                 {"UTF-8"},
                 {"detection"}},
        // 0xE9 then a letter is not UTF-8: the system code page takes it.
        LoadCase{
            "utf8 test fails", "caf\xE9s", u"caf\u00E9s", {"ANSI", "(used UTF-8 detection)"}, {}},
        LoadCase{"utf8 test passes", "caf\xC3\xA9", u"caf\u00E9", {"UTF-8", "detection"}, {}},
        // A declaration of 16-bit units in a file read byte by byte cannot be true.
        LoadCase{"utf-16 declared in 8-bit text",
                 "<?xml version=\"1.0\" encoding=\"utf-16\"?><a>\xC3\xA9</a>",
                 u"<?xml version=\"1.0\" encoding=\"utf-16\"?><a>\u00E9</a>",
                 {},
                 {}},
        LoadCase{"zero bytes removed", "<a>\0x\0</a>"s, u"<a>x</a>", {"(2 nulls removed)"}, {}},
        LoadCase{"empty file", "", u"", {"0 length"}, {}}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(XmlLoad, ReadsFileAndReportsMissingOne) {
    zvtest::TempDir dir;
    dir.Write("t.xml", "\xEF\xBB\xBF<r><k>\xE2\x82\xAC</k></r>");
    XmlReader xml;
    ASSERT_TRUE(xml.Load(dir / "t.xml"));
    EXPECT_EQ(xml.GetDocument(), u"<r><k>\u20AC</k></r>");

    EXPECT_FALSE(xml.Load(dir / "missing.xml"));
    EXPECT_NE(xml.GetLoadResult().find("error 2"), std::string::npos) << xml.GetLoadResult();
    EXPECT_TRUE(xml.GetDocument().empty());  // the earlier document is gone
    EXPECT_FALSE(xml.FindChild());
}

TEST(XmlEncodingNames, LooksUpNamesOfCodePages) {
    struct {
        std::u16string name;
        int32_t cp;
    } rows[] = {
        {u"utf-8", 65001},
        {u"UTF-16", 1200},
        {u"unicode", 1200},
        {u"unicodeFFFE", 1201},
        {u"utf-7", 65000},
        {u"us-ascii", 20127},
        {u"iso-8859-1", 28591},
        {u"Latin1", 28591},
        {u"windows-1252", 1252},
        {u"shift_jis", 932},
        {u"gb2312", 936},
        {u"big5", 950},
        {u"windows-1251", 1251},
        {u"UTF-32BE", 65005},
        {u"utf-32", 65005},
        {u"no-such-charset", -1},
        {u"", -1},
        {std::u16string(100, u'a'), -1},
        {u"\u00E9", -1},
    };
    for (const auto& r : rows) EXPECT_EQ(EncodingToCodePage(r.name), r.cp) << U8(r.name);
}

namespace tables {
#include "base/html_entities.inc"
#include "base/xml_encodings.inc"
}  // namespace tables

// The tables are data edited by hand: every entry must parse and sit in the bucket its name
// hashes to, or lookups silently miss it.
TEST(XmlTables, EveryEntryIsFoundThroughItsBucket) {
    size_t names = 0, entities = 0;
    for (size_t b = 0; b < 150; ++b) {
        for (const char* p = tables::kEncodingBuckets[b]; *p;) {
            ASSERT_TRUE(isdigit(p[0]) && isdigit(p[1])) << p;
            size_t len = static_cast<size_t>((p[0] - '0') * 10 + (p[1] - '0'));
            std::string name(p + 7, len);
            ASSERT_EQ(name.size(), len) << p;
            EXPECT_EQ(EncodingToCodePage(platform::Utf8ToUtf16(name)),
                      std::stoi(std::string(p + 2, 5)))
                << name;
            p += 7 + len;
            ++names;
        }
    }
    for (size_t b = 0; b < 130; ++b) {
        for (const char* p = tables::kEntityBuckets[b]; *p;) {
            size_t len = static_cast<size_t>(p[0] - '0');
            std::string name(p + 5, len);
            ASSERT_EQ(name.size(), len) << p;
            EXPECT_EQ(EntityCodePoint(platform::Utf8ToUtf16(name)),
                      static_cast<uint32_t>(std::stoi(std::string(p + 1, 4))))
                << name;
            p += 5 + len;
            ++entities;
        }
    }
    EXPECT_GT(names, 250u);
    EXPECT_EQ(entities, 253u);
}

TEST(XmlUtf8Test, FollowsLeadByteRules) {
    struct {
        std::string bytes;
        bool pass;
    } rows[] = {
        {"plain ascii", true},       {"\xC3\xA9", true},   {"\xE2\x82\xAC", true},
        {"\xF0\x9F\x98\x80", true},  {"\xE9t", false},     {"\xE2\x82", false},
        {"\xF8\x80\x80\x80", false}, {"ok\0\xE9t"s, true},  // stops at a zero byte
    };
    for (const auto& r : rows) EXPECT_EQ(PassesUtf8Test(r.bytes), r.pass) << r.bytes;
}

// ---- references ----------------------------------------------------------------------------

TEST(XmlReferences, DecodesInOnePass) {
    struct {
        std::u16string in, out;
    } rows[] = {
        {u"&amp;lt;", u"&lt;"},  // never decoded twice
        {u"&#x41;&#X42;&#67;", u"ABC"},
        {u"&lt;&GT;&quot;&apos;", u"<>\"'"},
        {u"&AElig;&aelig;", u"\u00C6\u00E6"},  // a case pair keeps its case
        {u"&nbsp;&thetasym;&diams;", u"\u00A0\u03D1\u2666"},
        {u"&#x1F600;", u"\U0001F600"},  // a surrogate pair
        {u"&unknown;", u"&unknown;"},
        {u"a & b", u"a & b"},
        {u"&lt", u"&lt"},
        {u"&#0;&#x110000;&#12a;&#x;&#;", u"&#0;&#x110000;&#12a;&#x;&#;"},
        {u"&abcdefghij;", u"&abcdefghij;"},  // no semicolon within 9 characters
        {u"&\u00E9t;", u"&\u00E9t;"},        // non-ASCII before the semicolon
        {u"&&amp;", u"&&"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(U8(DecodeCharacterReferences(r.in)), U8(r.out)) << U8(r.in);
}

// ---- parsing -------------------------------------------------------------------------------

struct ParseCase {
    std::u16string doc;
    std::string error;
    bool wellFormed;
};

class XmlParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(XmlParseTest, KeepsFirstError) {
    XmlReader xml;
    xml.SetDocument(GetParam().doc);
    EXPECT_EQ(xml.Parse(), GetParam().wellFormed);
    EXPECT_EQ(xml.GetError(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, XmlParseTest,
    ::testing::Values(
        ParseCase{u"<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ELEMENT r ANY>]>\n"
                  u"<!-- note --><r a=\">\" b='/>'><x/><?pi ?><![CDATA[<y>]]></r>\n",
                  "", true},
        ParseCase{u"<a><b></a>", "End tag 'a' at offset 6 does not match start tag 'b' at offset 3",
                  false},
        ParseCase{u"<a></b></a>", "No start tag for end tag 'b' at offset 3", false},
        ParseCase{u"<a><b>", "Element 'b' at offset 3 not ended", false},
        ParseCase{u"<a/><b/>", "Root element has sibling", false},
        ParseCase{u"", "Empty document", false}, ParseCase{u"just text", "No root element", false},
        ParseCase{u"<a><!-- x", "Comment at offset 3 unterminated", false},
        ParseCase{u"<a><![CDATA[x", "CDATA Section at offset 3 unterminated", false},
        ParseCase{u"<?xml", "Processing instruction at offset 0 unterminated", false},
        ParseCase{u"<a x='>'", "Element tag at offset 0 unterminated", false},
        ParseCase{u"<a></a", "Element end tag at offset 3 unterminated", false},
        ParseCase{u"<!DOCTYPE a [<!ENTITY x '>'>", "Doctype at offset 0 unterminated", false},
        ParseCase{u"<a><!ELEMENT", "tag at offset 3 unterminated", false},
        ParseCase{u"<a>< b</a>", "Incorrect tag name character at offset 3", false},
        ParseCase{u"<a><!-x></a>", "Incorrect comment tag at offset 3", false},
        ParseCase{u"<a><!></a>", "Incorrect ! tag at offset 3", false},
        // Only the first error is kept.
        ParseCase{u"<a></b><c>", "No start tag for end tag 'b' at offset 3", false}));

XmlReader Parsed(std::u16string doc) {
    XmlReader xml;
    xml.SetDocument(std::move(doc));
    xml.Parse();
    return xml;
}

TEST(XmlRecovery, UnendedElementsGiveTheirChildrenToTheirParent) {
    // y is not ended: it ends where it stands and z follows it inside x.
    XmlReader xml = Parsed(u"<r><x><y><z>1</z></x><w/></r>");
    EXPECT_EQ(xml.GetError(), "End tag 'x' at offset 17 does not match start tag 'y' at offset 6");
    ASSERT_TRUE(xml.FindChild(u"x"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindChild());
    EXPECT_EQ(xml.GetChildName(), u"y");
    EXPECT_EQ(xml.GetChildContent(), u"");
    ASSERT_TRUE(xml.FindChild());
    EXPECT_EQ(xml.GetChildName(), u"z");
    EXPECT_EQ(xml.GetChildContent(), u"1");
    EXPECT_FALSE(xml.FindChild());
    // x itself was closed by its end tag, so w stays its sibling under r.
    xml.Rewind();
    ASSERT_TRUE(xml.FindChild(u"w"));
}

TEST(XmlRecovery, DeepNestingIsNeitherRecursiveNorQuadratic) {
    const size_t depth = 200000;
    std::u16string open, close;
    for (size_t i = 0; i < depth; ++i) open += u"<a>";
    XmlReader xml = Parsed(open);
    EXPECT_EQ(xml.GetError(),
              "Element 'a' at offset " + std::to_string(3 * (depth - 1)) + " not ended");
    // All of them end up as siblings, in document order.
    size_t count = 0;
    while (xml.FindElement(u"a")) ++count;
    EXPECT_EQ(count, depth);

    for (size_t i = 0; i < depth; ++i) close += u"</a>";
    XmlReader ok = Parsed(open + u"x" + close);
    EXPECT_EQ(ok.GetError(), "");
    // An end tag matching nothing must not walk the whole open chain each time.
    std::u16string stray;
    for (size_t i = 0; i < depth; ++i) stray += u"</b>";
    XmlReader bad = Parsed(open + stray + close);
    EXPECT_EQ(bad.GetError(),
              "No start tag for end tag 'b' at offset " + std::to_string(3 * depth) + "");
}

// ---- navigation ----------------------------------------------------------------------------

TEST(XmlNavigation, WalksByNameAndLeavesPositionOnFailure) {
    XmlReader xml = Parsed(
        u"<anything><config><k1>one</k1><k2/><k1>again</k1></config>"
        u"<config><k3>three</k3></config></anything>");
    ASSERT_TRUE(xml.FindChild(u"config"));  // the root, whatever its name, becomes main
    EXPECT_EQ(xml.GetElementName(), u"anything");
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindChild(u"k1"));
    EXPECT_EQ(xml.GetChildContent(), u"one");
    EXPECT_FALSE(xml.FindChild(u"k3"));        // not in this config
    EXPECT_EQ(xml.GetChildContent(), u"one");  // position unchanged
    ASSERT_TRUE(xml.FindChild(u"k1"));         // the next one after the current child
    EXPECT_EQ(xml.GetChildContent(), u"again");
    ASSERT_TRUE(xml.FindElement(u"config"));  // the second config at the same level
    ASSERT_TRUE(xml.FindChild(u"k3"));
    EXPECT_EQ(xml.GetChildContent(), u"three");
    EXPECT_FALSE(xml.FindElement(u"config"));
    EXPECT_EQ(xml.GetElementName(), u"config");

    xml.Rewind();
    EXPECT_FALSE(xml.FindElement(u"config"));  // top level holds only the root
    ASSERT_TRUE(xml.FindElement(u"anything"));
    EXPECT_FALSE(xml.EnterElement());  // no child to enter
}

TEST(XmlNavigation, ContentKeepsCdataAndSkipsOtherNodes) {
    XmlReader xml = Parsed(
        u"<r><k>a&amp;b<![CDATA[<&amp;>]]><!-- c --><i>x</i><?p q?>c&#x41;</k>"
        u"<e></e><s/></r>");
    ASSERT_TRUE(xml.FindChild(u"k"));
    EXPECT_EQ(xml.GetChildContent(), u"a&b<&amp;>cA");
    ASSERT_TRUE(xml.FindChild(u"e"));
    EXPECT_EQ(xml.GetChildContent(), u"");
    ASSERT_TRUE(xml.FindChild(u"s"));
    EXPECT_EQ(xml.GetChildContent(), u"");
}

}  // namespace
