// One table of tricky INI files, answered by our reader on every platform and, under Windows
// (Wine), by GetPrivateProfileStringW / GetPrivateProfileIntW too: both must give the
// expected answers.
#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win/wide.h"
#endif

namespace {

struct StringCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    const char* def;
    size_t size;
    std::string expected;
};

const std::string kUtf8Bom = "\xEF\xBB\xBF";

const StringCase kStringCases[] = {
    {"plain", "[OPT]\nTitle=Zorvan\n", "OPT", "Title", "", 40, "Zorvan"},
    {"spaces around name and value", "[OPT]\n   Title   =   Zor van   \n", "OPT", "Title", "", 40,
     "Zor van"},
    {"case-insensitive names", "[opt]\ntitle=x\n", "OPT", "TITLE", "", 40, "x"},
    {"missing key gives default", "[OPT]\nA=1\n", "OPT", "B", "dflt", 40, "dflt"},
    {"default loses trailing blanks", "[OPT]\n", "OPT", "B", "d  ", 40, "d"},
    {"missing section", "[X]\nA=1\n", "OPT", "A", "none", 40, "none"},
    {"empty value is not the default", "[OPT]\nA=\n", "OPT", "A", "dflt", 40, ""},
    {"line without equals gives default", "[OPT]\nA\n", "OPT", "A", "dflt", 40, "dflt"},
    {"semicolon comment line is no key", "[OPT]\n;A=1\nA=2\n", "OPT", "A", "", 40, "2"},
    {"semicolon inside a value stays", "[OPT]\nA=1 ; note\n", "OPT", "A", "", 40, "1 ; note"},
    {"double quotes removed", "[OPT]\nA=\"x y\"\n", "OPT", "A", "", 40, "x y"},
    {"single quotes removed", "[OPT]\nA='x'\n", "OPT", "A", "", 40, "x"},
    {"unmatched quote kept", "[OPT]\nA=\"x\n", "OPT", "A", "", 40, "\"x"},
    {"duplicate key: first wins", "[OPT]\nA=1\nA=2\n", "OPT", "A", "", 40, "1"},
    {"duplicate section: only the first is searched", "[OPT]\nA=1\n[OPT]\nB=2\n", "OPT", "B",
     "none", 40, "none"},
    {"value cut to buffer", "[OPT]\nA=0123456789\n", "OPT", "A", "", 5, "0123"},
    {"quoted value cut to buffer", "[OPT]\nA=\"abcdef\"\n", "OPT", "A", "", 4, "abc"},
    {"quoted value one short", "[OPT]\nA=\"abcdef\"\n", "OPT", "A", "", 7, "abcde"},
    {"long value", "[OPT]\nA=" + std::string(300, 'v') + "\n", "OPT", "A", "", 260,
     std::string(259, 'v')},
    {"no trailing newline", "[OPT]\nA=last", "OPT", "A", "", 40, "last"},
    {"CRLF lines", "[OPT]\r\nA=1\r\nB=2\r\n", "OPT", "B", "", 40, "2"},
    {"blank lines and tabs", "\n\n[OPT]\n\n\tA\t=\t7\t\n", "OPT", "A", "", 40, "7"},
    {"section name with spaces", "[ OPT ]\nA=1\n", "OPT", "A", "none", 40, "1"},
    {"text after section bracket", "[OPT] junk\nA=1\n", "OPT", "A", "", 40, "1"},
    {"equals in value", "[OPT]\nA=b=c\n", "OPT", "A", "", 40, "b=c"},
    {"UTF-8 with BOM",
     kUtf8Bom + "[OPT]\nName=Gr\xC3\xBC\xC3\x9F"
                "e\n",
     "OPT", "Name", "", 40,
     "Gr\xC3\xBC\xC3\x9F"
     "e"},
    {"ANSI 1252 byte", "[OPT]\nName=Caf\xE9\n", "OPT", "Name", "", 40, "Caf\xC3\xA9"},
    {"UTF-16LE with BOM", std::string("\xFF\xFE[\0O\0P\0T\0]\0\n\0A\0=\0z\0\n\0", 22), "OPT", "A",
     "", 40, "z"},
    {"key before any section", "A=1\n[OPT]\nB=2\n", "OPT", "A", "none", 40, "none"},
};

struct IntCase {
    const char* name;
    std::string file;
    int def;
    int expected;
};

const IntCase kIntCases[] = {
    {"decimal", "[OPT]\nN=42\n", 7, 42},
    {"missing", "[OPT]\n", 7, 7},
    {"empty value gives default", "[OPT]\nN=\n", 7, 7},
    {"negative", "[OPT]\nN=-3\n", 7, -3},
    {"plus sign", "[OPT]\nN=+5\n", 7, 5},
    {"trailing text ignored", "[OPT]\nN=12abc\n", 7, 12},
    {"not a number", "[OPT]\nN=abc\n", 7, 0},
    {"hex prefix", "[OPT]\nN=0x10\n", 7, 16},
    {"upper-case hex prefix is not one", "[OPT]\nN=0X10\n", 7, 0},
    {"binary prefix", "[OPT]\nN=0b101\n", 7, 5},
    {"octal prefix", "[OPT]\nN=0o17\n", 7, 15},
    {"digit past the base ends", "[OPT]\nN=0b12\n", 7, 1},
    {"leading blanks inside quotes", "[OPT]\nN=\"  8\"\n", 7, 8},
    {"quoted number", "[OPT]\nN=\"9\"\n", 7, 9},
    {"inner blank ends", "[OPT]\nN=1 2\n", 7, 1},
};

std::string FileFor(const zvtest::TempDir& dir, const std::string& bytes, int index) {
    std::string name = "case" + std::to_string(index) + ".ini";
    dir.Write(name, bytes);
    return dir / name;
}

}  // namespace

TEST(IniConformance, StringsAnswerAsTheSystemDoes) {
    zvtest::TempDir dir;
    int i = 0;
    for (const StringCase& c : kStringCases) {
        SCOPED_TRACE(c.name);
        std::string path = FileFor(dir, c.file, i++);
        EXPECT_EQ(IniFile::Load(path).GetString(c.section, c.key, c.def, c.size), c.expected);
#ifdef _WIN32
        std::wstring buf(c.size + 1, L'\0');
        DWORD n = GetPrivateProfileStringW(
            platform::win::Widen(c.section).c_str(), platform::win::Widen(c.key).c_str(),
            platform::win::Widen(c.def).c_str(), buf.data(), static_cast<DWORD>(c.size),
            platform::win::Widen(path).c_str());
        buf.resize(n);
        EXPECT_EQ(platform::win::Narrow(buf), c.expected) << "GetPrivateProfileStringW";
#endif
    }
}

TEST(IniConformance, IntegersAnswerAsTheSystemDoes) {
    zvtest::TempDir dir;
    int i = 100;
    for (const IntCase& c : kIntCases) {
        SCOPED_TRACE(c.name);
        std::string path = FileFor(dir, c.file, i++);
        EXPECT_EQ(IniFile::Load(path).GetInt("OPT", "N", c.def), c.expected);
#ifdef _WIN32
        UINT v = GetPrivateProfileIntW(L"OPT", L"N", c.def, platform::win::Widen(path).c_str());
        EXPECT_EQ(static_cast<int>(v), c.expected) << "GetPrivateProfileIntW";
#endif
    }
}

TEST(IniConformance, MissingFileGivesDefaults) {
    zvtest::TempDir dir;
    IniFile ini = IniFile::Load(dir / "absent.ini");
    EXPECT_EQ(ini.GetString("OPT", "A", "d", 10), "d");
    EXPECT_EQ(ini.GetInt("OPT", "A", 5), 5);
}

TEST(IniConformance, WriteThenReadBack) {
    zvtest::TempDir dir;
    std::string path = dir / "lang.ini";
    ASSERT_TRUE(WriteIniString(path, "OPT", "LangIndex", "1"));
    ASSERT_TRUE(WriteIniString(path, "opt", "LANGINDEX", "2"));
    ASSERT_TRUE(WriteIniString(path, "Other", "K", "v"));
    IniFile ini = IniFile::Load(path);
    EXPECT_EQ(ini.GetInt("OPT", "LangIndex", 0), 2);
    EXPECT_EQ(ini.GetString("Other", "K", "", 10), "v");
#ifdef _WIN32
    EXPECT_EQ(GetPrivateProfileIntW(L"OPT", L"LangIndex", 0, platform::win::Widen(path).c_str()),
              2u);
#endif
}
