// Keys as the mouse names them (USB HID keyboard usages) and as the program does (Windows
// virtual-key codes).
#pragma once
#include <cstdint>

// The virtual-key code of a usage; 0 when the table has none. The first pair with that usage
// in the table's order wins.
uint8_t HidUsageToVk(uint8_t usage);
// The usage of a virtual-key code; 0 when the table has none. The first pair with that code
// wins (Enter 0x0D gives the main Enter key, not the keypad's).
uint8_t VkToHidUsage(uint8_t vk);
