// The device link object: every command of the mouse, each one a whole exchange under the
// driver lock.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>

#include "device/transport.h"
#include "platform/hid.h"

// A DPI value as the current sensor stores it: its code and its multiplier flag.
struct DpiCode {
    uint32_t code = 0;
    uint32_t mul = 0;
};
// How DPI values become codes for the sensor in use.
struct DpiEncoder {
    uint32_t sensorId = 0;
    std::function<DpiCode(uint32_t dpi)> encode;
};
// The encoder of the current device's sensor (none known: every value codes as 0).
DpiEncoder CurrentSensorDpiEncoder();

// One DPI level as the record writer needs it.
struct DpiLevelXY {
    uint32_t x = 0;
    uint32_t y = 0;
};

// Stops a multi-piece read early: given the piece just read and its size.
using ReadStopTest = std::function<bool(const uint8_t* piece, int size)>;

class CUSBDriver {
  public:
    CUSBDriver() = default;
    virtual ~CUSBDriver();
    CUSBDriver(const CUSBDriver&) = delete;
    CUSBDriver& operator=(const CUSBDriver&) = delete;

    // The interfaces of the current device; the slot they came from owns them.
    void SetHandles(platform::HidHandle hCmd, platform::HidHandle hNotify);
    platform::HidHandle CmdHandle() const;
    platform::HidHandle NotifyHandle() const;
    // Forgets the handles (does not close them).
    void DropHandles();

    int SendCMD(uint8_t nCmdID, uint8_t bData);
    int TellDrvStatus(int status);
    // Bare command; on success reply bytes 6 to 15 go to `out10` when given.
    int QueryCmd(uint8_t nCmdID, uint8_t* out10 = nullptr);
    // 1 connected, other values not; -1 when the query failed.
    int GetConnectStatus();
    // 0 to 3, or -1.
    int GetCurProfile();
    int SetCurProfile(int index);
    int GetPower(int* level, int* charging);
    // `blocked` is 1 when lighting must not be written now.
    int LightingGuardQuery(int* blocked);
    // n from 1 to 10.
    int ReadEEPROM(uint32_t addr, uint8_t* buf, int n);
    int ReadROM(uint32_t addr, uint8_t* buf, int len, const ReadStopTest& stop = {});
    // Writes `len` bytes in pieces of `pieceSize` (0 means 10). Returns 0 when a piece could not
    // be sent or was refused on every attempt; later pieces are still written.
    int WriteEEPROM(int pieceSize, int len, uint32_t addr, const uint8_t* data);
    int ResetDevice();

    // Record writers. Mask 0xFF writes `count` records from the first `count` values; another
    // mask writes the record of its lowest set bit from the first value given.
    int WriteReportRate(uint32_t rate);
    // `encoder`, when given, is the sensor conversion of the mouse the caller writes for.
    int WriteDpiLevels(uint32_t mask, const DpiLevelXY* levels, int count,
                       const DpiEncoder* encoder = nullptr);
    int WriteDpiColors(uint32_t mask, const uint32_t* colours, int count);
    int WriteKeyMatrix(uint32_t mask, const uint32_t* codes, int count);

    // The sensor conversion used by WriteDpiLevels; unset means that of the current device.
    void SetDpiEncoder(DpiEncoder encoder);

  private:
    // The command transaction: attempts of send and wait under the driver lock (when `lock`).
    // `failLog` is logged after each failed attempt when given. 1 with the reply, else 0.
    int Transact(const std::array<uint8_t, PER_PAYLOAD>& payload, int attempts, bool lock,
                 CRetParam* reply, uint32_t* sendErr, bool* sendFailed,
                 const char* failLog = nullptr);
    int WriteRecords(uint32_t mask, uint32_t tableStart, int maxRecords, int count,
                     const std::function<void(int src, int rec, uint8_t out[4])>& build);

    mutable std::mutex m_handleLock;  // guards the two handles only
    platform::HidHandle m_hCmd;
    platform::HidHandle m_hNotify;
    std::mutex m_driverLock;  // one whole command exchange at a time
    std::mutex m_encoderLock;
    DpiEncoder m_encoder;
};

// The identification exchange, used before a device has a service thread: no locks, one
// command report and up to three direct reads of 200 ms.
int GetConnectStatusIdent(const platform::HidHandle& hCmd, const platform::HidHandle& hNotify);
// 1 with the mouse's identity, 0 on failure, -1 when the mouse answered 0/0.
int CheckPsd(const platform::HidHandle& hCmd, const platform::HidHandle& hNotify, uint32_t* cid,
             uint32_t* mid);
