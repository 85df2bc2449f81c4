// The two 17-byte reports of the receiver: commands go out as feature reports, answers and the
// mouse's own events come back as input reports.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t PER_PAYLOAD = 15;  // bytes 1 to 15 of a command report
constexpr size_t kReportLength = 17;
constexpr uint8_t kCommandReportId = 0x08;
constexpr uint8_t kNotifyReportId = 0x09;
constexpr uint8_t kNotificationCmd = 0x0A;  // a "reply" with this id is an event of the mouse

// Command ids.
enum : uint8_t {
    kCmdCheckPsd = 0x01,
    kCmdTellDrvStatus = 0x02,
    kCmdGetConnectStatus = 0x03,
    kCmdGetPower = 0x04,
    kCmdWriteEEPROM = 0x07,
    kCmdReadEEPROM = 0x08,
    kCmdResetDevice = 0x09,
    kCmdGetCurProfile = 0x0E,
    kCmdLightingGuard = 0x0F,
    kCmdSetCurProfile = 0x10,
};

// Byte offsets shared by both reports.
enum : size_t {
    kOffCmd = 1,
    kOffStatus = 2,
    kOffAddrHigh = 3,
    kOffAddrLow = 4,
    kOffLength = 5,
    kOffData = 6,
    kOffCheck = 16,
};
constexpr size_t kDataBytes = 10;

using CommandReport = std::array<uint8_t, kReportLength>;
using NotifyReport = std::array<uint8_t, kReportLength>;

// The byte that makes `len` bytes plus itself sum to 0x55 modulo 256.
uint8_t CheckByte(const uint8_t* bytes, size_t len);

// Builds a command report around a 15-byte payload: report ID, payload, check byte.
void FrameCommandReport(const uint8_t payload[PER_PAYLOAD], uint8_t report[kReportLength]);

// A payload for a command: id, EEPROM address (high byte first), length and data.
std::array<uint8_t, PER_PAYLOAD> MakePayload(uint8_t cmd, uint16_t addr = 0, uint8_t len = 0,
                                             const uint8_t* data = nullptr);
