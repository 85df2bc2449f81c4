// The vocabulary of button functions: every dwFunID the program assigns, the text key that names
// it, and how it becomes a key-matrix code. One table shared by the pages, the EEPROM codec and
// the command-line tool.
#pragma once
#include <cstdint>
#include <span>

#include "profile/profile_file.h"

// Function types (the high byte of dwFunID).
enum : uint32_t {
    kFunMouse = 1,
    kFunCombo = 2,
    kFunKbMedia = 3,  // keyboard and browser keys of the consumer page
    kFunMedia = 4,    // media keys of the consumer page
    kFunMacro = 5,
    kFunSpecial = 8,
    kFunExKey = 0x0B,
};

constexpr uint32_t kNoMatrixCode = 0xFFFFFF;  // a function without a code of its own
constexpr uint32_t kRecordCode = 0x000005;    // points at the slot's combination or consumer record
constexpr uint32_t kMacroCode = 0x000006;  // the slot's macro; repeat and slot in the bytes above

// How a function becomes a key-matrix code.
enum class MatrixRule : uint8_t {
    kFixed,      // matrixCode as it stands (kNoMatrixCode: none)
    kCombo,      // matrixCode plus a combination record
    kConsumer,   // matrixCode plus a consumer record with consumerUsage
    kMacro,      // 0x06, slot MatrixInx - 1 in bits 8..15, repeat byte in bits 16..23
    kFire,       // 0x04, parameter bits 8..15 in bits 8..15, bits 0..7 in bits 16..23
    kSnipe,      // 0x0A, hardware code of the DPI (parameter: list position) in bits 8..15
    kParameter,  // dwParameter is the code
};

struct KeyFunction {
    uint32_t dwFunID;
    const char* textKey;          // names the function; "" when it has no text
    const char* menuKey;          // menu item when it differs from textKey, else nullptr
    const char* fallbackTextKey;  // shown when textKey's text is empty, else nullptr
    uint32_t matrixCode;
    MatrixRule rule;
    uint16_t consumerUsage;  // consumer-page usage of types 3 and 4, else 0
};

// Every function, in menu order within each type.
std::span<const KeyFunction> KeyFunctions();
// The entry of a dwFunID; every type-2 value finds the combination entry. nullptr: unknown.
const KeyFunction* FindKeyFunction(uint32_t dwFunID);
// The fixed-code function a key-matrix code stands for, or nullptr.
const KeyFunction* FindKeyFunctionByCode(uint32_t matrixCode);
// The function whose codes carry a parameter above this low byte (macro, fire, sniper), or
// nullptr.
const KeyFunction* FindKeyFunctionByLowByte(uint8_t lowByte);
// The consumer-page function of a usage, or nullptr.
const KeyFunction* FindConsumerFunction(uint16_t usage);
