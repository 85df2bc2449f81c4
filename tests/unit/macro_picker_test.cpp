#include "macro/macro_picker.h"

#include <gtest/gtest.h>

#include <string>

#include "app/gvar.h"
#include "macro/macro_file.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

namespace {

class MacroPickerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gVar.szAppDataDir = dir.path();
        root = MacroRootFolder();
        ASSERT_TRUE(platform::MakeDirectory(root));
    }
    void TearDown() override { gVar.szAppDataDir.clear(); }
    void PutMacro(const std::string& rel, MacroId id) {
        StMacro m = NewMacroRecord(platform::FileNameOf(rel), id);
        m.events[0] = MacroEvent{0x41, 1, 5};
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(m, bytes);
        const std::string path = platform::JoinPath(root, rel);
        ASSERT_TRUE(MakeSureFolderExist(path));
        ASSERT_TRUE(MyCreateFile(path, bytes, sizeof bytes));
    }
    static MacroTreeItem Item(const MacroTree& t, const std::string& text) {
        for (MacroTreeItem h : t.Descendants(kMacroTreeRoot))
            if (t.Find(h)->text == text) return h;
        return 0;
    }

    zvtest::TempDir dir;
    std::string root;
};

TEST_F(MacroPickerTest, OffersWhatIsOnDiskPerMacroDir) {
    PutMacro("top.qzm", 0x01000011);
    PutMacro("Games/deep.qzm", 0x22);
    for (bool macroDir : {false, true}) {
        MacroPicker picker(root, macroDir);
        EXPECT_NE(Item(picker.Tree(), "top"), 0u) << macroDir;
        EXPECT_EQ(Item(picker.Tree(), "Games") != 0, macroDir);
        EXPECT_EQ(Item(picker.Tree(), "deep") != 0, macroDir);
    }
    // Read afresh each time it opens.
    PutMacro("later.qzm", 0x33);
    EXPECT_NE(Item(MacroPicker(root, false).Tree(), "later"), 0u);
}

TEST_F(MacroPickerTest, OkOnlyOnAMacro) {
    PutMacro("top.qzm", 0x01000011);
    PutMacro("Games/deep.qzm", 0x22);
    MacroPicker picker(root, true);

    for (const char* text : {"", "Games"}) {
        picker.Tree().Select(Item(picker.Tree(), text));
        const MacroPicker::Answer a = picker.OnOk();
        EXPECT_FALSE(a.close) << text;
        EXPECT_STREQ(a.messageKey, "tc_macro_msg1") << text;
    }
    picker.Tree().Select(Item(picker.Tree(), "top"));
    const MacroPicker::Answer ok = picker.OnOk();
    EXPECT_TRUE(ok.close);
    EXPECT_EQ(ok.result, 0x11);  // the id's low 24 bits

    const MacroPicker::Answer made = MacroPicker::OnNew();
    EXPECT_TRUE(made.close);
    EXPECT_EQ(made.result, -1);
}

}  // namespace
