#include <windows.h>

#include "platform/keyboard.h"

namespace platform {

char KeyToChar(uint32_t vk) {
    BYTE state[256] = {};
    WORD out[2] = {};
    UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    int n = ::ToAscii(vk, scan, state, out, 0);
    if (n < 1) return 0;
    return static_cast<char>(out[0] & 0xFF);
}

}  // namespace platform
