#include "profile/key_function.h"

#include <iterator>

namespace {

using R = MatrixRule;
constexpr uint32_t kRecord = kRecordCode;

constexpr KeyFunction kFunctions[] = {
    {0x01000011, "tc_click", nullptr, nullptr, 0x000101, R::kFixed, 0},
    {0x01000012, "tc_middle", nullptr, nullptr, 0x000401, R::kFixed, 0},
    {0x01000013, "tc_menu", nullptr, nullptr, 0x000201, R::kFixed, 0},
    {0x01000014, "tc_forward", nullptr, nullptr, 0x001001, R::kFixed, 0},
    {0x01000015, "tc_back", nullptr, nullptr, 0x000801, R::kFixed, 0},
    {0x01000016, "tc_dbclick", nullptr, nullptr, 0x023204, R::kFixed, 0},
    {0x01000017, "tc_three", nullptr, nullptr, 0x033204, R::kFixed, 0},
    {0x01000018, "tc_rdbclick", nullptr, nullptr, kNoMatrixCode, R::kFixed, 0},
    // The caption of a combination is spelled from stCombo.
    {0x020000A1, "", "tc_combokey", nullptr, kRecord, R::kCombo, 0},
    {0x020000A0, "", "tc_combokey", nullptr, kRecord, R::kCombo, 0},
    {0x03000030, "tc_kbmedia_mail", nullptr, nullptr, kRecord, R::kConsumer, 0x018A},
    {0x03000031, "tc_kbmedia_cal", nullptr, nullptr, kRecord, R::kConsumer, 0x0192},
    {0x03000032, "tc_kbmedia_explore", nullptr, nullptr, kRecord, R::kConsumer, 0x0194},
    {0x03000033, "tc_kbmedia_search", nullptr, nullptr, kRecord, R::kConsumer, 0x0221},
    {0x03000034, "tc_kbmedia_main", nullptr, nullptr, kRecord, R::kConsumer, 0x0223},
    {0x03000035, "tc_kbmedia_back", nullptr, "tc_back", kRecord, R::kConsumer, 0x0224},
    {0x03000036, "tc_kbmedia_forward", nullptr, "tc_forward", kRecord, R::kConsumer, 0x0225},
    {0x03000037, "tc_kbmedia_stop", nullptr, nullptr, kRecord, R::kConsumer, 0x0226},
    {0x03000038, "tc_kbmedia_refresh", nullptr, nullptr, kRecord, R::kConsumer, 0x0227},
    {0x03000039, "tc_kbmedia_favor", nullptr, nullptr, kRecord, R::kConsumer, 0x022A},
    {0x04000021, "tc_kbmedia_msel", nullptr, nullptr, kRecord, R::kConsumer, 0x0183},
    {0x04000022, "tc_PL", nullptr, nullptr, kRecord, R::kConsumer, 0x00CD},
    {0x04000023, "tc_stop", nullptr, nullptr, kRecord, R::kConsumer, 0x00B7},
    {0x04000024, "tc_pre_media", nullptr, nullptr, kRecord, R::kConsumer, 0x00B6},
    {0x04000025, "tc_next_media", nullptr, nullptr, kRecord, R::kConsumer, 0x00B5},
    {0x04000026, "tc_vol_up", nullptr, nullptr, kRecord, R::kConsumer, 0x00E9},
    {0x04000027, "tc_vol_dw", nullptr, nullptr, kRecord, R::kConsumer, 0x00EA},
    {0x04000028, "tc_mute", nullptr, nullptr, kRecord, R::kConsumer, 0x00E2},
    // Shown as "%s - %s" with this text and the macro's name.
    {0x05000000, "tc_msg25", "tc_mac_def", nullptr, kMacroCode, R::kMacro, 0},
    {0x080000A2, "tc_key_off", nullptr, nullptr, 0x000000, R::kFixed, 0},
    {0x080000A3, "tc_shift", nullptr, nullptr, kNoMatrixCode, R::kFixed, 0},
    {0x080000A4, "tc_fire", nullptr, nullptr, 0x000004, R::kFire, 0},
    // Shown as "%s - %d" with this text and the DPI value.
    {0x080000A6, "tc_snipe", nullptr, nullptr, 0x00000A, R::kSnipe, 0},
    {0x080000A7, "tc_rgb", nullptr, nullptr, 0x000008, R::kFixed, 0},
    {0x080000A8, "tc_dpiadd", nullptr, nullptr, 0x000202, R::kFixed, 0},
    {0x080000A9, "tc_dpisub", nullptr, nullptr, 0x000302, R::kFixed, 0},
    {0x080000AA, "tc_dpiloop", nullptr, nullptr, 0x000102, R::kFixed, 0},
    {0x080000AB, "tc_msg31", nullptr, nullptr, kNoMatrixCode, R::kFixed, 0},
    {0x080000AC, "tc_reportsw", nullptr, nullptr, 0x000007, R::kFixed, 0},
    {0x080000AD, "tc_customkey", nullptr, nullptr, 0, R::kParameter, 0},
    {0x080000AE, "tc_rgbsw", nullptr, nullptr, kNoMatrixCode, R::kFixed, 0},
    {0x080000B0, "tc_prosw", nullptr, nullptr, 0x000009, R::kFixed, 0},
    {0x080000C0, "", nullptr, nullptr, kNoMatrixCode, R::kFixed, 0},
    {0x0B000000, "tc_ex1", nullptr, nullptr, 0, R::kParameter, 0},
    {0x0B000001, "tc_ex2", nullptr, nullptr, 0, R::kParameter, 0},
    {0x0B000002, "tc_ex3", nullptr, nullptr, 0, R::kParameter, 0},
};

}  // namespace

std::span<const KeyFunction> KeyFunctions() {
    return kFunctions;
}

const KeyFunction* FindKeyFunction(uint32_t dwFunID) {
    // Combinations read back from the mouse carry other type-2 values; all of them are one thing.
    if ((dwFunID >> 24) == kFunCombo) dwFunID = 0x020000A1;
    for (const KeyFunction& f : kFunctions)
        if (f.dwFunID == dwFunID) return &f;
    return nullptr;
}

const KeyFunction* FindKeyFunctionByCode(uint32_t matrixCode) {
    for (const KeyFunction& f : kFunctions)
        if (f.rule == MatrixRule::kFixed && f.matrixCode != kNoMatrixCode &&
            f.matrixCode == matrixCode)
            return &f;
    return nullptr;
}

const KeyFunction* FindKeyFunctionByLowByte(uint8_t lowByte) {
    for (const KeyFunction& f : kFunctions)
        if ((f.rule == MatrixRule::kMacro || f.rule == MatrixRule::kFire ||
             f.rule == MatrixRule::kSnipe) &&
            f.matrixCode == lowByte)
            return &f;
    return nullptr;
}

const KeyFunction* FindConsumerFunction(uint16_t usage) {
    for (const KeyFunction& f : kFunctions)
        if (f.rule == MatrixRule::kConsumer && f.consumerUsage == usage) return &f;
    return nullptr;
}
