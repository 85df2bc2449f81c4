// Text conversions: UTF-8 <-> UTF-16 (portable) and code-page bytes -> UTF-16.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Appends a code point (up to U+10FFFF) as one unit or a surrogate pair.
void AppendUtf16(std::u16string& out, uint32_t cp);
// Invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);
// A UTF-8 text cut to at most `units` UTF-16 code units (the size of a wide-character buffer)
// without splitting a character.
std::string CutToUtf16Units(std::string_view s, size_t units);
// true when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view s);

// Bytes in a Windows code page (1252, 1251, 932, 65001, ...) to UTF-16.
// false when the code page is not known here; invalid bytes become U+FFFD.
bool CodePageToUtf16(uint32_t codePage, std::string_view bytes, std::u16string& out);

}  // namespace platform
