// The keyboard layout as the key names need it: which character a virtual key types.
#pragma once
#include <cstdint>

namespace platform {

// The character the key produces with no modifier held (its scan code from the virtual-key
// code, an all-zero keyboard state), or 0 when the key types nothing.
char KeyToChar(uint32_t virtualKey);

}  // namespace platform
