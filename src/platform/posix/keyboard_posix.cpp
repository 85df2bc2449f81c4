// Without a Windows keyboard layout the names follow the US layout, which is what the
// virtual-key codes of the punctuation keys are named after.
#include "platform/keyboard.h"

namespace platform {

char KeyToChar(uint32_t vk) {
    if ((vk >= 0x30 && vk <= 0x39) || vk == 0x20) return static_cast<char>(vk);
    if (vk >= 0x41 && vk <= 0x5A) return static_cast<char>(vk + 0x20);
    if (vk >= 0x60 && vk <= 0x69) return static_cast<char>('0' + (vk - 0x60));
    switch (vk) {
        case 0x08:
            return '\b';
        case 0x09:
            return '\t';
        case 0x0D:
            return '\r';
        case 0x1B:
            return 0x1B;
        case 0x6A:
            return '*';
        case 0x6B:
            return '+';
        case 0x6D:
            return '-';
        case 0x6E:
            return '.';
        case 0x6F:
            return '/';
        case 0xBA:
            return ';';
        case 0xBB:
            return '=';
        case 0xBC:
            return ',';
        case 0xBD:
            return '-';
        case 0xBE:
            return '.';
        case 0xBF:
            return '/';
        case 0xC0:
            return '`';
        case 0xDB:
            return '[';
        case 0xDC:
            return '\\';
        case 0xDD:
            return ']';
        case 0xDE:
            return '\'';
        default:
            return 0;
    }
}

}  // namespace platform
