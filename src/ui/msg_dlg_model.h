// What the message dialog decides without a window: its layout per mode, the range hints of
// the number input and what OK does in each mode.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/geometry.h"

enum class MsgMode : int32_t {
    kUnset = -1,
    kMessage = 1,
    kTextInput = 2,
    kNumberInput = 3,
    kKeyCapture = 4,
    kQuestion = 5,
};

struct MsgDlgLayout {
    ZvRect close, ok, cancel, title, text, prompt, edit, hint;
    bool showClose = true, showOk = true, showCancel = false, showEdit = false;
    bool showCheckBoxes = false;
    // The check boxes take the row under the edit box: a hint then shows in the prompt's line,
    // in place of the prompt.
    bool hintOverPrompt = false;
    ZvRect checkBox[4];    // Shift, Ctrl, Alt, Win
    ZvRect checkLabel[4];  // their labels, to the right of each box
};

// Positions in the unscaled picture of `width` x `height`.
MsgDlgLayout LayoutMsgDlg(MsgMode mode, int32_t width, bool checkBoxes, bool waitEvent);

// A wrapped message of `lines` lines of `lineHeight` pixels, centred vertically in `area`.
ZvRect CentreTextLines(const ZvRect& area, int32_t lines, int32_t lineHeight);

// The range of a number input; -1 switches a bound off.
struct NumberRange {
    int32_t minimum = 0;
    int32_t maximum = 0xFFFF;
};

struct NumberEditResult {
    std::string hint;                     // the text under the edit box ("" clears it)
    std::optional<std::string> replaced;  // new content of the edit box, caret at the end
};
// Called after every change of the edit box.
NumberEditResult OnNumberEdited(const std::string& text, const NumberRange& range);

struct NumberOkResult {
    bool accepted = false;
    uint32_t value = 0;
    std::string hint;  // shown when not accepted
};
NumberOkResult OnNumberOk(const std::string& text, const NumberRange& range);

// The range hint: the hint text, then the range.
std::string RangeHint(const NumberRange& range);

// The captions of a question's two buttons: the question's own where the language has them
// (a reset question offers "Reset", not a bare OK), else OK and Cancel.
struct QuestionButtons {
    std::string yes, no;
};
QuestionButtons QuestionButtonTexts(std::string_view yesKey, std::string_view noKey);
