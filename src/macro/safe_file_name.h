// Names that become file or folder names inside the macro folder.
//
// A macro name can come from a file, an exported profile or the mouse itself, none of which
// we control. Turned into a path unchecked, "..\\x" or "C:" or "CON" would reach outside the
// macro folder or at a device, so every such name goes through these two functions.
#pragma once
#include <string>
#include <string_view>

// true when `name` can be used as one path component as it stands: not empty, not "." or
// "..", no separator, drive colon, wildcard or other character Windows refuses in names, no
// control character, no trailing dot or space, and not a reserved device name (CON, PRN,
// AUX, NUL, COM1-9, LPT1-9, also with an extension).
bool IsSafeFileName(std::string_view name);

// A usable component made from any name: forbidden and control characters become '_',
// trailing dots and spaces are dropped, a reserved device name gets a leading '_', and an
// empty result becomes "_". Leaves a safe name unchanged.
std::string MakeSafeFileName(std::string_view name);
