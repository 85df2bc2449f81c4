#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/codepage.h"

namespace platform {

namespace {
std::string IconvName(uint32_t cp) {
    switch (cp) {
        case 65001:
            return "UTF-8";
        case 1200:
            return "UTF-16LE";
        case 1201:
            return "UTF-16BE";
        case 20127:
            return "ASCII";
        case 28591:
            return "ISO-8859-1";
        case 20866:
            return "KOI8-R";
        case 21866:
            return "KOI8-U";
        case 54936:
            return "GB18030";
        case 51949:
            return "EUC-KR";
        case 20932:
        case 51932:
            return "EUC-JP";
        case 50220:
        case 50221:
        case 50222:
            return "ISO-2022-JP";
        case 10000:
            return "MACINTOSH";
        case 936:
            return "GBK";
        case 932:
            return "CP932";
        case 949:
            return "CP949";
        case 950:
            return "BIG5";
        default:
            break;
    }
    if (cp > 28590 && cp < 28606) return "ISO-8859-" + std::to_string(cp - 28590);
    return "CP" + std::to_string(cp);
}
}  // namespace

bool CodePageToUtf16(uint32_t codePage, std::string_view bytes, std::u16string& out) {
    out.clear();
    if (codePage == 65001) {
        out = Utf8ToUtf16(bytes);
        return true;
    }
    iconv_t cd = iconv_open("UTF-16LE", IconvName(codePage).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in(bytes);
    char* inp = in.data();
    size_t inLeft = in.size();
    std::string buf(in.size() * 4 + 16, '\0');
    std::u16string result;
    while (true) {
        char* outp = buf.data();
        size_t outLeft = buf.size();
        size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        size_t produced = buf.size() - outLeft;
        for (size_t i = 0; i + 1 < produced; i += 2)
            result.push_back(static_cast<char16_t>(static_cast<uint8_t>(buf[i]) |
                                                   (static_cast<uint8_t>(buf[i + 1]) << 8)));
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or incomplete byte: replace it and carry on, as MultiByteToWideChar does.
        if (inLeft == 0) break;
        result.push_back(u'\xFFFD');
        ++inp;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    out = std::move(result);
    return true;
}

}  // namespace platform
