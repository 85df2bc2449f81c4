#include "cli/cli_command.h"

#include <algorithm>
#include <cstdio>

#include "cli/cli_args.h"
#include "device/eeprom_map.h"
#include "device/reports.h"
#include "ui/device_session.h"

namespace cli {

// ---- raw memory -------------------------------------------------------------------------

int App::Eeprom(const Words& w) {
    const std::string& what = Word(w, 1, "eeprom command");
    const int64_t addr = Number(w, 2, 0, 0xFFFF, "address");
    std::vector<uint8_t> bytes;
    int64_t len = 0;
    if (what == "read") {
        len = Number(w, 3, 1, 0x10000 - addr, "length");
        NoMoreWords(w, 4);
    } else if (what == "write") {
        for (size_t i = 3; i < w.size(); ++i)
            bytes.push_back(static_cast<uint8_t>(Number(w, i, 0, 255, "byte")));
        if (bytes.empty()) throw UsageError{"no bytes to write"};
        if (addr + static_cast<int64_t>(bytes.size()) > 0x10000)
            throw UsageError{"the bytes run past the end of the memory"};
    } else {
        throw Unknown("eeprom command", what, {"read", "write"});
    }
    const int64_t end = addr + (what == "read" ? len : static_cast<int64_t>(bytes.size()));
    if (end > eeprom::kProfileEnd) {
        char why[120];
        std::snprintf(
            why, sizeof why, "a profile's memory ends at 0x%04X; 0x%04X to 0x%04X is past it",
            eeprom::kProfileEnd - 1, static_cast<unsigned>(addr), static_cast<unsigned>(end - 1));
        throw UsageError{why};
    }
    if (int r = Connect(false)) return r;
    CUSBDriver& usb = m_session.Usb();
    if (what == "write") {
        if (usb.WriteEEPROM(10, static_cast<int>(bytes.size()), static_cast<uint32_t>(addr),
                            bytes.data())) {
            char said[64];
            std::snprintf(said, sizeof said, "%zu bytes written at 0x%04X", bytes.size(),
                          static_cast<unsigned>(addr));
            m_stored = said;
            JsonValue o = JsonValue::Object();
            o.Set("address", JsonValue::Int(addr));
            JsonValue& list = o.Set("bytes", JsonValue::Array());
            for (uint8_t b : bytes) list.Add(JsonValue::Int(b));
            m_storedJson = std::move(o);
            return kExitDone;
        }
        Err("the mouse did not take every byte of the write at " + std::to_string(addr));
        return kExitFailed;
    }
    bytes.assign(static_cast<size_t>(len), 0);
    for (int64_t done = 0; done < len; done += 10) {
        const int n = static_cast<int>(std::min<int64_t>(10, len - done));
        if (!usb.ReadEEPROM(static_cast<uint32_t>(addr + done), bytes.data() + done, n)) {
            Err("the mouse did not answer the read at " + std::to_string(addr + done));
            return kExitFailed;
        }
    }
    std::string out;
    if (m_opt.json) {
        out = "{\"address\":" + std::to_string(addr) + ",\"bytes\":[";
        for (size_t i = 0; i < bytes.size(); ++i) out += (i ? "," : "") + std::to_string(bytes[i]);
        out += "]}\n";
    }
    for (size_t i = 0; i < bytes.size() && !m_opt.json; ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X", bytes[i]);
        out += b;
        out += (i % 16 == 15 || i + 1 == bytes.size()) ? '\n' : ' ';
    }
    std::fputs(out.c_str(), stdout);
    return kExitDone;
}

}  // namespace cli
