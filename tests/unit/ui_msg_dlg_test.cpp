#include <gtest/gtest.h>

#include <string>

#include "base/language_texts.h"
#include "ui/msg_dlg_model.h"
#include "support/temp_dir.h"

namespace {

std::string Hint(int lo, int hi) {
    return GetText("tc_tip4") + " " + std::to_string(lo) + " - " + std::to_string(hi);
}

TEST(UiNumberInput, HintsWhileTyping) {
    const NumberRange range{10, 65535};
    struct Case {
        const char* typed;
        std::string hint;
        const char* replaced;  // nullptr: the box keeps what was typed
    };
    const Case cases[] = {
        {"70000", Hint(10, 65535), "65535"},
        {"99999999999999999999999", Hint(10, 65535), "65535"},
        {"5", Hint(10, 65535), nullptr},
        {"10", "", nullptr},
        {"65535", "", nullptr},
        {"", "", nullptr},
    };
    for (const auto& c : cases) {
        const NumberEditResult r = OnNumberEdited(c.typed, range);
        EXPECT_EQ(r.hint, c.hint) << c.typed;
        EXPECT_EQ(r.replaced.has_value(), c.replaced != nullptr) << c.typed;
        if (c.replaced && r.replaced) {
            EXPECT_EQ(*r.replaced, c.replaced);
        }
    }
}

TEST(UiNumberInput, OkAcceptsOnlyNumbersInRange) {
    const NumberRange range{10, 65535};
    const NumberOkResult low = OnNumberOk("5", range);
    EXPECT_FALSE(low.accepted);
    EXPECT_EQ(low.hint, Hint(10, 65535));
    EXPECT_FALSE(OnNumberOk("", range).accepted);  // nothing typed is not 0
    EXPECT_FALSE(OnNumberOk("70000", range).accepted);

    const NumberOkResult ok = OnNumberOk("800", range);
    EXPECT_TRUE(ok.accepted);
    EXPECT_EQ(ok.value, 800u);

    // A bound of -1 is switched off.
    EXPECT_TRUE(OnNumberOk("4000000000", NumberRange{-1, -1}).accepted);
    EXPECT_EQ(OnNumberOk("4000000000", NumberRange{-1, -1}).value, 4000000000u);
    EXPECT_FALSE(OnNumberOk("4294967296", NumberRange{-1, -1}).accepted);
    EXPECT_TRUE(OnNumberOk("0", NumberRange{-1, 5}).accepted);
}

bool Overlap(const ZvRect& a, const ZvRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(UiMsgDlgLayout, HintKeepsClearOfTheControls) {
    struct Case {
        MsgMode mode;
        bool checkBoxes;
    };
    const Case cases[] = {{MsgMode::kNumberInput, false},
                          {MsgMode::kTextInput, false},
                          {MsgMode::kKeyCapture, false},
                          {MsgMode::kKeyCapture, true}};
    for (const auto& c : cases) {
        const MsgDlgLayout l = LayoutMsgDlg(c.mode, 434, c.checkBoxes, false);
        const int mode = static_cast<int>(c.mode);
        EXPECT_GE(l.hint.left, 0) << mode;
        EXPECT_LE(l.hint.right, 434) << mode;
        EXPECT_GE(l.hint.bottom - l.hint.top, 16) << mode;  // one line of the dialog's font
        // Not touching: a pixel of air between the hint and the button under it.
        EXPECT_LT(l.hint.bottom, l.ok.top) << mode;
        EXPECT_FALSE(Overlap(l.hint, l.edit)) << mode;
        if (l.showCheckBoxes) {
            EXPECT_TRUE(l.hintOverPrompt);
            for (int i = 0; i < 4; ++i) {
                EXPECT_FALSE(Overlap(l.hint, l.checkBox[i])) << i;
                EXPECT_FALSE(Overlap(l.hint, l.checkLabel[i])) << i;
            }
        } else {
            EXPECT_FALSE(Overlap(l.hint, l.prompt)) << mode;
        }
    }
}

TEST(UiMsgDlgQuestion, OwnButtonTextsWhereTheLanguageHasThem) {
    zvtest::TempDir dir;
    dir.Write("full.xml",
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<texts><config>"
              "<tc_ok>Fine</tc_ok><tc_cancel>Back</tc_cancel><tc_reset>Wipe</tc_reset>"
              "</config></texts>\n");
    dir.Write("short.xml",
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<texts><config>"
              "<tc_ok>Fine</tc_ok><tc_cancel>Back</tc_cancel></config></texts>\n");
    dir.Write("empty.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<texts/>\n");
    struct Reset {
        std::string path;
        ~Reset() { LoadTexts(path); }
    } reset{dir / "empty.xml"};

    ASSERT_TRUE(LoadTexts(dir / "full.xml"));
    QuestionButtons b = QuestionButtonTexts("tc_reset", "tc_cancel");
    EXPECT_EQ(b.yes, "Wipe");
    EXPECT_EQ(b.no, "Back");
    b = QuestionButtonTexts("tc_ok", "tc_cancel");
    EXPECT_EQ(b.yes, "Fine");

    ASSERT_TRUE(LoadTexts(dir / "short.xml"));
    b = QuestionButtonTexts("tc_reset", "tc_cancel");
    EXPECT_EQ(b.yes, "Fine");  // a language without the reset text still offers a button
    EXPECT_EQ(b.no, "Back");
}

TEST(UiMsgDlgLayout, ButtonsPerMode) {
    const MsgDlgLayout question = LayoutMsgDlg(MsgMode::kQuestion, 434, false, false);
    EXPECT_EQ(question.ok, (ZvRect{136, 110, 216, 137}));
    EXPECT_EQ(question.cancel, (ZvRect{242, 110, 322, 137}));
    EXPECT_TRUE(question.showCancel);
    EXPECT_FALSE(question.showClose);

    const MsgDlgLayout message = LayoutMsgDlg(MsgMode::kMessage, 434, false, false);
    EXPECT_EQ(message.ok, (ZvRect{186, 110, 266, 137}));
    EXPECT_FALSE(message.showCancel);
    EXPECT_TRUE(message.showClose);
    EXPECT_FALSE(message.showEdit);

    const MsgDlgLayout waiting = LayoutMsgDlg(MsgMode::kMessage, 434, false, true);
    EXPECT_FALSE(waiting.showOk || waiting.showCancel || waiting.showClose);

    const MsgDlgLayout capture = LayoutMsgDlg(MsgMode::kKeyCapture, 434, true, false);
    EXPECT_TRUE(capture.showEdit);
    EXPECT_TRUE(capture.showCheckBoxes);
    EXPECT_EQ(capture.edit, (ZvRect{67, 65, 367, 85}));
    EXPECT_EQ(capture.checkBox[0], (ZvRect{69, 93, 80, 104}));
    EXPECT_EQ(capture.checkBox[3], (ZvRect{69 + 243, 93, 80 + 243, 104}));
    EXPECT_FALSE(LayoutMsgDlg(MsgMode::kKeyCapture, 434, false, false).showCheckBoxes);
}

TEST(UiMsgDlgLayout, WrappedTextIsCentredVertically) {
    const ZvRect area{10, 44, 424, 104};
    EXPECT_EQ(CentreTextLines(area, 1, 16), (ZvRect{10, 66, 424, 82}));
    EXPECT_EQ(CentreTextLines(area, 3, 16), (ZvRect{10, 50, 424, 98}));
}

}  // namespace
