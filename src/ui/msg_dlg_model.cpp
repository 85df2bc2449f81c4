#include "ui/msg_dlg_model.h"

#include <cstdio>

#include "base/language_texts.h"

namespace {

constexpr int32_t kFieldWidth = 300;

// Decimal digits of the edit box, saturated far above any range so that a long paste cannot
// overflow. nullopt when the box holds no digit at all.
std::optional<int64_t> ParseDecimal(const std::string& text) {
    int64_t v = 0;
    bool any = false;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        any = true;
        if (v < 100000000000LL) v = v * 10 + (c - '0');
    }
    if (!any) return std::nullopt;
    return v;
}

bool BelowMinimum(int64_t v, const NumberRange& r) {
    return r.minimum != -1 && v < r.minimum;
}
bool AboveMaximum(int64_t v, const NumberRange& r) {
    return r.maximum != -1 && v > r.maximum;
}

}  // namespace

MsgDlgLayout LayoutMsgDlg(MsgMode mode, int32_t width, bool checkBoxes, bool waitEvent) {
    MsgDlgLayout l;
    l.close = {399, 10, 424, 35};
    l.title = {12, 9, 112, 29};
    l.text = {10, 44, width - 10, 104};
    if (mode == MsgMode::kQuestion) {
        l.ok = {136, 110, 216, 137};
        l.cancel = {242, 110, 322, 137};
        l.showCancel = true;
        l.showClose = false;
    } else {
        l.ok = {186, 110, 266, 137};
    }
    const int32_t x = (width - kFieldWidth) / 2;
    l.prompt = {x, 41, x + kFieldWidth, 61};
    l.edit = {x, 65, x + kFieldWidth, 85};
    // The hint keeps clear of the OK button below it, and takes the dialog's width, as its
    // texts are longer than the edit box.
    l.hint = {10, l.edit.bottom + 3, width - 10, l.edit.bottom + 21};
    l.showEdit = mode == MsgMode::kTextInput || mode == MsgMode::kNumberInput ||
                 mode == MsgMode::kKeyCapture;
    l.showCheckBoxes = mode == MsgMode::kKeyCapture && checkBoxes;
    if (l.showCheckBoxes) {
        l.hintOverPrompt = true;
        l.hint = {10, l.prompt.top, width - 10, l.prompt.bottom};
    }
    for (int i = 0; i < 4; ++i) {
        const int32_t bx = x + 2 + 81 * i;
        l.checkBox[i] = {bx, 93, bx + 11, 104};
        l.checkLabel[i] = {bx + 11 + 5, 89, bx + 81, 108};
    }
    if (waitEvent) {
        // A waiting message closes itself; nothing may close it early.
        l.showOk = l.showCancel = l.showClose = false;
    }
    return l;
}

ZvRect CentreTextLines(const ZvRect& area, int32_t lines, int32_t lineHeight) {
    const int32_t h = lines * lineHeight;
    const int32_t top = area.top + ((area.bottom - area.top) - h) / 2;
    return {area.left, top, area.right, top + h};
}

std::string RangeHint(const NumberRange& range) {
    char buf[100];
    std::snprintf(buf, sizeof buf, "%s %d - %d", GetText("tc_tip4").c_str(), range.minimum,
                  range.maximum);
    return buf;
}

NumberEditResult OnNumberEdited(const std::string& text, const NumberRange& range) {
    NumberEditResult r;
    const auto v = ParseDecimal(text);
    if (!v) return r;
    if (BelowMinimum(*v, range)) {
        r.hint = RangeHint(range);
    } else if (AboveMaximum(*v, range)) {
        r.replaced = std::to_string(range.maximum);
        r.hint = RangeHint(range);
    }
    return r;
}

NumberOkResult OnNumberOk(const std::string& text, const NumberRange& range) {
    NumberOkResult r;
    const auto v = ParseDecimal(text);
    // An empty box is no number; taking it as 0 would accept a value the user never typed.
    if (!v || BelowMinimum(*v, range) || AboveMaximum(*v, range) || *v > 0xFFFFFFFFLL) {
        r.hint = RangeHint(range);
        return r;
    }
    r.accepted = true;
    r.value = static_cast<uint32_t>(*v);
    return r;
}

QuestionButtons QuestionButtonTexts(std::string_view yesKey, std::string_view noKey) {
    auto text = [](std::string_view key, std::string_view fallback) {
        const std::string& own = GetText(key);
        return own.empty() ? GetText(fallback) : own;
    };
    return {text(yesKey, "tc_ok"), text(noKey, "tc_cancel")};
}
