// UTF-8 <-> UTF-16 at the Win32 boundary.
#pragma once
#include <string>

#include "platform/codepage.h"

namespace platform::win {
inline std::wstring Widen(const std::string& s) {
    std::u16string u = Utf8ToUtf16(s);
    return std::wstring(u.begin(), u.end());
}
inline std::string Narrow(const std::wstring& w) {
    return Utf16ToUtf8(std::u16string(w.begin(), w.end()));
}
}  // namespace platform::win
