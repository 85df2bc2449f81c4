#include "ui/about_version.h"

std::string VersionLine(const std::string& text, const std::string& version) {
    std::string head = text;
    size_t end = head.find_last_not_of(' ');
    head.resize(end == std::string::npos ? 0 : end + 1);
    // A last word of digits and dots (with an optional leading "v") is an old version number.
    const size_t space = head.find_last_of(' ');
    const size_t start = space == std::string::npos ? 0 : space + 1;
    size_t digits = start;
    if (digits < head.size() && (head[digits] == 'v' || head[digits] == 'V')) ++digits;
    const bool number = digits < head.size() && head[digits] >= '0' && head[digits] <= '9' &&
                        head.find_first_not_of("0123456789.", digits) == std::string::npos;
    if (number) head.resize(start);
    end = head.find_last_not_of(' ');
    head.resize(end == std::string::npos ? 0 : end + 1);
    return head.empty() ? version : head + " " + version;
}
