#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "app/gvar.h"
#include "base/ini_file.h"
#include "app/language_select.h"
#include "base/language_texts.h"
#include "base/xml_reader.h"
#include "platform/codepage.h"
#include "support/temp_dir.h"

namespace {

std::string TextFile(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<texts><config>" + body +
           "</config></texts>\n";
}

TextTable FillFrom(const std::string& doc) {
    XmlReader xml;
    xml.SetDocument(platform::Utf8ToUtf16(doc));
    xml.Parse();
    TextTable t;
    t.Fill(xml);
    return t;
}

TEST(TextTableKeys, OrderAndFamilies) {
    const auto& keys = TextTable::Keys();
    EXPECT_EQ(keys.front(), "tc_title");
    EXPECT_EQ(keys.back(), "tc_debounce_tips");
    std::set<std::string> unique(keys.begin(), keys.end());
    EXPECT_EQ(unique.size(), keys.size());
    for (const char* k : {"tc_adv_str1", "tc_adv_str30", "tc_tip5", "tc_ex3", "tc_comboname2",
                          "tc_lod2", "tc_macro_msg22", "tc_msg38", "tc_led_eft4", "tc_PL"})
        EXPECT_GE(TextTable::IndexOf(k), 0) << k;
    for (const char* k : {"tc_adv_str31", "tc_tip0", "tc_msg39", "tc_pl", ""})
        EXPECT_EQ(TextTable::IndexOf(k), -1) << k;
}

TEST(TextTableFill, FindsKeysInsideConfigOfAnyRoot) {
    TextTable t = FillFrom(
        "<anyroot>"
        "<other><tc_ok>not here</tc_ok></other>"
        "<config><tc_title>First &amp; best</tc_title><tc_ok>OK</tc_ok></config>"
        "<config><tc_title>ignored</tc_title><tc_msg15><![CDATA[No <mouse>]]></tc_msg15></config>"
        "</anyroot>");
    EXPECT_EQ(t.Get("tc_title"), "First & best");
    EXPECT_EQ(t.Get("tc_ok"), "OK");
    EXPECT_EQ(t.Get("tc_msg15"), "No <mouse>");  // from the second config
    EXPECT_EQ(t.Get("tc_cancel"), "");           // missing
    EXPECT_EQ(t.Get("tc_unknown_key"), "");

    TextTable none = FillFrom("<root><tc_title>outside config</tc_title></root>");
    for (size_t i = 0; i < TextTable::Keys().size(); ++i) EXPECT_EQ(none.At(i), "");
}

// Each test gets its own program and data folders and leaves gVar's language fields as found.
class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = static_cast<LanguageState&>(gVar);
        savedLang = gVar.Lang;
        savedNum = gVar.nLangNum;
        savedAppDir = gVar.szAppDir;
        savedDataDir = gVar.szAppDataDir;
        gVar.szAppDir = app.path();
        gVar.szAppDataDir = data.path();
        gVar.Lang = {};
        const char* langs[][2] = {
            {"English", "English"}, {"Deutsch", "German"}, {"Third", "Third"}};
        for (size_t i = 0; i < 3; ++i) gVar.Lang[i] = {langs[i][0], langs[i][1]};
        gVar.nLangNum = 3;
        app.Write("text.xml", TextFile("<tc_title>Default</tc_title><tc_msg15>none</tc_msg15>"));
        MakeLanguage("English", "<tc_title>English</tc_title><tc_msg15>No mouse</tc_msg15>");
        MakeLanguage("German", "<tc_title>Deutsch</tc_title><tc_msg15>Keine Maus</tc_msg15>");
        MakeLanguage("Third", "<tc_title>Third</tc_title>");  // lacks tc_msg15
        ASSERT_TRUE(LoadDefaultTexts(gVar.szAppDir));
    }
    void TearDown() override {
        SetLanguageChangedHook(nullptr);
        static_cast<LanguageState&>(gVar) = saved;
        gVar.Lang = savedLang;
        gVar.nLangNum = savedNum;
        gVar.szAppDir = savedAppDir;
        gVar.szAppDataDir = savedDataDir;
    }
    void MakeLanguage(const std::string& folder, const std::string& body) {
        platform::MakeDirectory(app / folder);
        app.Write(folder + "/text.xml", TextFile(body));
    }
    std::string StoredIndex() const {
        return IniFile::Load(LangIniPath()).GetString("OPT", "LangIndex", "<none>", 64);
    }

    zvtest::TempDir app, data;
    LanguageState saved;
    decltype(gVar.Lang) savedLang;
    int32_t savedNum = 0;
    std::string savedAppDir, savedDataDir;
};

TEST_F(LanguageTest, StartUsesStoredIndexOrFallsBackToFirst) {
    struct {
        const char* langIni;  // nullptr: no lang.ini at all
        int32_t index;
        const char* title;
    } rows[] = {
        {nullptr, 0, "English"},
        {"[OPT]\nLangIndex=1\n", 1, "Deutsch"},
        {"[OPT]\nLangIndex=2\n", 2, "Third"},
        {"[OPT]\nLangIndex=5\n", 0, "English"},  // only three languages
        {"[OPT]\nLangIndex=-1\n", 0, "English"},
        {"[OPT]\nLangIndex=x\n", 0, "English"},
    };
    for (const auto& r : rows) {
        platform::RemoveFile(LangIniPath());
        if (r.langIni) data.Write("lang.ini", r.langIni);
        gVar.nLangIndex = 99;
        LoadLanguageAtStart();
        EXPECT_EQ(gVar.nLangIndex, r.index) << (r.langIni ? r.langIni : "none");
        EXPECT_EQ(GetText("tc_title"), r.title);
    }
    // A bad stored index is not corrected until the user switches.
    EXPECT_EQ(StoredIndex(), "x");
}

TEST_F(LanguageTest, SwitchStoresIndexAtOnceAndNextStartUsesIt) {
    std::string titleSeenByHook;
    SetLanguageChangedHook([&] { titleSeenByHook = GetText("tc_title"); });
    ASSERT_TRUE(SelectLanguage(1));
    EXPECT_EQ(gVar.nLangIndex, 1);
    EXPECT_EQ(GetText("tc_title"), "Deutsch");
    EXPECT_EQ(titleSeenByHook, "Deutsch");  // windows re-read their texts after the load
    EXPECT_EQ(StoredIndex(), "1");

    // Next start.
    gVar.nLangIndex = 0;
    ASSERT_TRUE(LoadDefaultTexts(gVar.szAppDir));
    LoadLanguageAtStart();
    EXPECT_EQ(gVar.nLangIndex, 1);
    EXPECT_EQ(GetText("tc_title"), "Deutsch");

    // A language file without a key gives an empty text, not the default one.
    ASSERT_TRUE(SelectLanguage(2));
    EXPECT_EQ(GetText("tc_msg15"), "");
}

TEST_F(LanguageTest, SwitchToUnknownIndexChangesNothing) {
    ASSERT_TRUE(SelectLanguage(1));
    for (int32_t bad : {3, 10, -1, 1000}) {
        EXPECT_FALSE(SelectLanguage(bad)) << bad;
        EXPECT_EQ(gVar.nLangIndex, 1);
        EXPECT_EQ(GetText("tc_title"), "Deutsch");
        EXPECT_EQ(StoredIndex(), "1");
    }
}

TEST_F(LanguageTest, UnreadableLanguageKeepsCurrentTexts) {
    ASSERT_TRUE(SelectLanguage(1));
    zvtest::RemoveTree(app / "English");
    EXPECT_TRUE(SelectLanguage(0));  // the choice itself is still remembered
    EXPECT_EQ(GetText("tc_title"), "Deutsch");
    EXPECT_EQ(StoredIndex(), "0");
    EXPECT_FALSE(LoadTexts(app / "missing.xml"));
    EXPECT_EQ(GetText("tc_title"), "Deutsch");
}

TEST_F(LanguageTest, NoLanguagesConfiguredLoadsProgramFolderTexts) {
    gVar.Lang = {};
    gVar.nLangNum = 0;
    data.Write("lang.ini", "[OPT]\nLangIndex=2\n");
    LoadLanguageAtStart();
    EXPECT_EQ(gVar.nLangIndex, 0);
    EXPECT_EQ(GetText("tc_title"), "Default");
}

// Another thread (the apply thread shows tc_msg15) may read while the user switches languages.
TEST_F(LanguageTest, ReadersSeeWholeTextsDuringSwitches) {
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::thread reader([&] {
        while (!stop.load()) {
            const std::string& t = GetText("tc_msg15");
            if (t != "No mouse" && t != "Keine Maus" && t != "none") ++bad;
        }
    });
    for (int i = 0; i < 40; ++i) SelectLanguage(i % 2);
    stop = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
}

// ---- the language files we ship ------------------------------------------------------------

std::vector<std::string> ShippedTextFiles() {
    std::string dataDir = platform::JoinPath(zvtest::SourceDir(), "data");
    std::vector<std::string> files{platform::JoinPath(dataDir, "text.xml")};
    IniFile cfg = IniFile::Load(platform::JoinPath(dataDir, "cfg.ini"));
    for (int i = 1; i <= 10; ++i) {
        std::string v = cfg.GetString("OPT", "Lang" + std::to_string(i), "", 256);
        if (v.empty()) break;
        std::string folder = v.substr(v.find(',') + 1);
        files.push_back(platform::JoinPath(platform::JoinPath(dataDir, folder), "text.xml"));
    }
    return files;
}

TEST(ShippedTexts, EveryLanguageDefinesEveryKeyOnce) {
    auto files = ShippedTextFiles();
    ASSERT_GE(files.size(), 3u);  // the defaults, English and German
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        XmlReader xml;
        ASSERT_TRUE(xml.Load(file)) << xml.GetLoadResult();
        EXPECT_TRUE(xml.Parse()) << xml.GetError();

        std::set<std::string> seen;
        ASSERT_TRUE(xml.FindChild(u"config"));
        ASSERT_TRUE(xml.EnterElement());
        while (xml.FindChild()) {
            std::string key = platform::Utf16ToUtf8(xml.GetChildName());
            EXPECT_TRUE(seen.insert(key).second) << "defined twice: " << key;
            EXPECT_GE(TextTable::IndexOf(key), 0) << "not a text key: " << key;
        }
        xml.Rewind();
        EXPECT_FALSE(xml.FindChild(u"config") && xml.FindChild(u"config")) << "second config";

        TextTable t;
        t.Fill(xml);
        for (size_t i = 0; i < TextTable::Keys().size(); ++i)
            EXPECT_FALSE(t.At(i).empty()) << "no text for " << TextTable::Keys()[i];
    }
}

}  // namespace
