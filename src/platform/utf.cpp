#include "platform/codepage.h"

namespace platform {

namespace {
// Decodes one UTF-8 sequence at s[i]; returns the code point or -1 (and advances by one).
int32_t DecodeUtf8(std::string_view s, size_t& i) {
    auto b = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
    uint8_t c = b(i);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int len;
    int32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07;
    } else {
        ++i;
        return -1;
    }
    if (i + len > s.size()) {
        ++i;
        return -1;
    }
    for (int k = 1; k < len; ++k) {
        uint8_t cc = b(i + k);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += len;
    return cp;
}
}  // namespace

std::string CutToUtf16Units(std::string_view s, size_t units) {
    size_t count = 0;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        size_t u = len == 4 ? 2 : 1;
        if (count + u > units) return std::string(s.substr(0, i));
        count += u;
        i += len;
    }
    return std::string(s);
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size())
        if (DecodeUtf8(s, i) < 0) return false;
    return true;
}

void AppendUtf16(std::u16string& out, uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        int32_t cp = DecodeUtf8(s, i);
        if (cp < 0) cp = 0xFFFD;
        AppendUtf16(out, static_cast<uint32_t>(cp));
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

}  // namespace platform
