#include <windows.h>

#include "platform/codepage.h"

namespace platform {

bool CodePageToUtf16(uint32_t codePage, std::string_view bytes, std::u16string& out) {
    out.clear();
    if (bytes.empty()) return ::IsValidCodePage(codePage) || codePage == 1200 || codePage == 1201;
    if (codePage == 1200 || codePage == 1201) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            uint8_t a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
            out.push_back(
                static_cast<char16_t>(codePage == 1200 ? (a | (b << 8)) : ((a << 8) | b)));
        }
        return true;
    }
    if (!::IsValidCodePage(codePage)) return false;
    int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  nullptr, 0);
    if (n <= 0) return false;
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
    out.assign(w.begin(), w.end());
    return true;
}

}  // namespace platform
