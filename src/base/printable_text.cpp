#include "base/printable_text.h"

#include <cstdio>

std::string PrintableText(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char esc[8];
        if ((c < 0x20 && !(keepLineBreaks && c == '\n')) || c == 0x7F) {
            std::snprintf(esc, sizeof esc, "\\x%02x", c);
            out += esc;
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080 to U+009F, among them the single-character form of the escape sequence.
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned char>(text[++i]));
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string FirstChars(std::string_view text, size_t n) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars++ == n) return std::string(text.substr(0, i));
    }
    return std::string(text);
}
