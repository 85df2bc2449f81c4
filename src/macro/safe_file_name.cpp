#include "macro/safe_file_name.h"

#include <cctype>

namespace {

bool IsForbiddenChar(unsigned char c) {
    if (c < 0x20 || c == 0x7F) return true;
    switch (c) {
        case '/':
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return true;
        default:
            return false;
    }
}

bool IsReservedDeviceName(std::string_view name) {
    // Windows maps these to devices whatever the extension ("nul.qzm" too).
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    std::string up;
    for (char c : base)
        up.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (up == "CON" || up == "PRN" || up == "AUX" || up == "NUL" || up == "CONIN$" ||
        up == "CONOUT$")
        return true;
    if (up.size() == 4 && (up.rfind("COM", 0) == 0 || up.rfind("LPT", 0) == 0) && up[3] >= '1' &&
        up[3] <= '9')
        return true;
    return false;
}

}  // namespace

bool IsSafeFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (IsForbiddenChar(c)) return false;
    if (name.back() == '.' || name.back() == ' ') return false;
    return !IsReservedDeviceName(name);
}

std::string MakeSafeFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 1);
    for (unsigned char c : name) out.push_back(IsForbiddenChar(c) ? '_' : static_cast<char>(c));
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    if (out.empty()) return "_";
    if (IsReservedDeviceName(out)) out.insert(out.begin(), '_');
    return out;
}
