#include "device/reports.h"

#include <algorithm>
#include <cstring>

uint8_t CheckByte(const uint8_t* bytes, size_t len) {
    uint8_t sum = 0;
    for (size_t i = 0; i < len; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    return static_cast<uint8_t>(0x55 - sum);
}

void FrameCommandReport(const uint8_t payload[PER_PAYLOAD], uint8_t report[kReportLength]) {
    report[0] = kCommandReportId;
    std::memcpy(report + 1, payload, PER_PAYLOAD);
    report[kOffCheck] = 0;
    report[kOffCheck] = CheckByte(report, kReportLength);
}

std::array<uint8_t, PER_PAYLOAD> MakePayload(uint8_t cmd, uint16_t addr, uint8_t len,
                                             const uint8_t* data) {
    std::array<uint8_t, PER_PAYLOAD> p{};
    p[kOffCmd - 1] = cmd;
    p[kOffAddrHigh - 1] = static_cast<uint8_t>(addr >> 8);
    p[kOffAddrLow - 1] = static_cast<uint8_t>(addr & 0xFF);
    p[kOffLength - 1] = len;
    if (data) std::memcpy(&p[kOffData - 1], data, std::min<size_t>(len, kDataBytes));
    return p;
}
