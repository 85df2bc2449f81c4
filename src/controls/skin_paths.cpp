#include "controls/skin_paths.h"

#include <cstdio>

#include "base/app_paths.h"
#include "platform/fs.h"

std::string SkinPath(const std::string& name) {
    std::string p = ThePaths().szAppDir + "skins";
    p += platform::PathSeparator();
    for (char c : name) p += (c == '/' || c == '\\') ? platform::PathSeparator() : c;
    return p;
}

std::string DeviceSkinFolder(uint8_t cid, uint8_t mid) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02x%02x", cid, mid);
    return buf;
}

std::string DeviceSkinPath(uint8_t cid, uint8_t mid, const std::string& name) {
    return SkinPath(DeviceSkinFolder(cid, mid) + "/" + name);
}
