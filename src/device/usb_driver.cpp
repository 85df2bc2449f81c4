#include "device/usb_driver.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include "device/device_state.h"
#include "base/log.h"
#include "device/discovery.h"
#include "device/eeprom_map.h"
#include "device/report_rate.h"
#include "platform/sys.h"

CUSBDriver::~CUSBDriver() {
    ClearHandle(this);
}

void CUSBDriver::SetHandles(platform::HidHandle hCmd, platform::HidHandle hNotify) {
    std::lock_guard<std::mutex> lock(m_handleLock);
    m_hCmd = std::move(hCmd);
    m_hNotify = std::move(hNotify);
}

platform::HidHandle CUSBDriver::CmdHandle() const {
    std::lock_guard<std::mutex> lock(m_handleLock);
    return m_hCmd;
}

platform::HidHandle CUSBDriver::NotifyHandle() const {
    std::lock_guard<std::mutex> lock(m_handleLock);
    return m_hNotify;
}

void CUSBDriver::DropHandles() {
    SetHandles(nullptr, nullptr);
}

void CUSBDriver::SetDpiEncoder(DpiEncoder encoder) {
    std::lock_guard<std::mutex> lock(m_encoderLock);
    m_encoder = std::move(encoder);
}

int CUSBDriver::Transact(const std::array<uint8_t, PER_PAYLOAD>& payload, int attempts, bool lock,
                         CRetParam* reply, uint32_t* sendErr, bool* sendFailed,
                         const char* failLog) {
    std::unique_lock<std::mutex> driver(m_driverLock, std::defer_lock);
    if (lock) driver.lock();
    GetReplyQueue().Clear();
    platform::HidHandle hCmd = CmdHandle();
    const uint8_t nCmdID = payload[0];
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        uint8_t report[kReportLength] = {};
        if (!SendCommand(hCmd, payload.data(), report, sendErr)) {
            if (sendFailed) *sendFailed = true;
            return 0;
        }
        CRetParam got;
        if (WaitNotify(nCmdID, &got) == 1 && got.Byte(kOffStatus) == 0) {
            if (reply) *reply = got;
            return 1;
        }
        if (failLog) LogPrintf("%s", failLog);
    }
    return 0;
}

int CUSBDriver::SendCMD(uint8_t nCmdID, uint8_t bData) {
    LogPrintf("SendCMD: nCmdID=0x%x, bData=0x%x", nCmdID, bData);
    platform::HidHandle hCmd = CmdHandle();
    LogPrintf("SendCMD: hDev=0x%x", hCmd ? hCmd->Id() : 0u);
    std::array<uint8_t, PER_PAYLOAD> payload;
    if (nCmdID == kCmdTellDrvStatus)
        payload = MakePayload(nCmdID, 0, 1, &bData);
    else
        payload = MakePayload(nCmdID);
    uint32_t err = 0;
    bool sendFailed = false;
    int r = Transact(payload, TheDeviceState().nRetry, true, nullptr, &err, &sendFailed);
    if (sendFailed) LogPrintf("SendCMD: err=0x%x", err);
    return r;
}

int CUSBDriver::TellDrvStatus(int status) {
    if (!CmdHandle()) return 0;
    LogPrintf("TellDrvStatus= %x", status);
    return SendCMD(kCmdTellDrvStatus, static_cast<uint8_t>(status));
}

int CUSBDriver::QueryCmd(uint8_t nCmdID, uint8_t* out10) {
    CRetParam reply;
    if (!Transact(MakePayload(nCmdID), TheDeviceState().nRetry, true, &reply, nullptr, nullptr))
        return 0;
    if (out10) std::memcpy(out10, reply.m_bytes + kOffData - 1, kDataBytes);
    return 1;
}

int CUSBDriver::GetConnectStatus() {
    if (!CmdHandle()) return 0;
    uint8_t data[kDataBytes];
    if (!QueryCmd(kCmdGetConnectStatus, data)) {
        LogPrintf("GetConnectStatus Failed");
        return -1;
    }
    return data[0];
}

int CUSBDriver::GetCurProfile() {
    uint8_t data[kDataBytes];
    if (!QueryCmd(kCmdGetCurProfile, data)) {
        LogPrintf("GetCurProfile Failed");
        return -1;
    }
    return data[0];
}

int CUSBDriver::SetCurProfile(int index) {
    uint8_t b = static_cast<uint8_t>(index);
    return Transact(MakePayload(kCmdSetCurProfile, 0, 1, &b), 1, false, nullptr, nullptr, nullptr);
}

int CUSBDriver::GetPower(int* level, int* charging) {
    CRetParam reply;
    if (!Transact(MakePayload(kCmdGetPower), 1, true, &reply, nullptr, nullptr)) return 0;
    if (level) *level = reply.Byte(6);
    if (charging) *charging = reply.Byte(7);
    return 1;
}

int CUSBDriver::LightingGuardQuery(int* blocked) {
    CRetParam reply;
    if (!Transact(MakePayload(kCmdLightingGuard), 1, true, &reply, nullptr, nullptr)) return 0;
    if (blocked) *blocked = reply.Byte(6) == 0 ? 1 : 0;
    return 1;
}

int CUSBDriver::ReadEEPROM(uint32_t addr, uint8_t* buf, int n) {
    if (!CmdHandle()) return 0;
    if (!buf || n < 1 || n > static_cast<int>(kDataBytes) || addr + n > 0x10000) return 0;
    CRetParam reply;
    if (!Transact(MakePayload(kCmdReadEEPROM, static_cast<uint16_t>(addr), uint8_t(n)),
                  TheDeviceState().nRetry, true, &reply, nullptr, nullptr, "ReadEEPROM Failed"))
        return 0;
    std::memcpy(buf, reply.m_bytes + kOffData - 1, n);
    return 1;
}

int CUSBDriver::ReadROM(uint32_t addr, uint8_t* buf, int len, const ReadStopTest& stop) {
    if (len < 0 || (len > 0 && !buf) || addr + len > 0x10000) return 0;
    int piece = 0;
    while (len > 0) {
        int n = std::min(len, static_cast<int>(kDataBytes));
        if (!ReadEEPROM(addr, buf, n)) {
            LogPrintf("ReadROM Failed at %d: nAddr=0x%x", piece, addr);
            return 0;
        }
        if (stop && stop(buf, n)) return 1;
        addr += n;
        buf += n;
        len -= n;
        ++piece;
        platform::Sleep(5);
    }
    return 1;
}

int CUSBDriver::WriteEEPROM(int pieceSize, int len, uint32_t addr, const uint8_t* data) {
    if (len < 0 || (len > 0 && !data) || addr + len > 0x10000) return 0;
    LogPrintf("WriteEEPROM( Addr=0x%x ): ", addr);
    LogHexDump(data, len, 32);
    std::lock_guard<std::mutex> driver(m_driverLock);
    GetReplyQueue().Clear();
    platform::HidHandle hCmd = CmdHandle();
    if (pieceSize <= 0 || pieceSize > static_cast<int>(kDataBytes)) pieceSize = kDataBytes;
    const int nRetry = TheDeviceState().nRetry;
    int result = 1;
    int piece = 0;
    for (int done = 0; done < len; done += pieceSize, ++piece) {
        int n = std::min(pieceSize, len - done);
        auto payload = MakePayload(kCmdWriteEEPROM, static_cast<uint16_t>(addr + done),
                                   static_cast<uint8_t>(n), data + done);
        bool written = false;
        for (int attempt = 1; attempt <= nRetry && !written; ++attempt) {
            uint8_t report[kReportLength] = {};
            if (!SendCommand(hCmd, payload.data(), report)) {
                LogPrintf("WriteEEPROM Err, i=%d", piece);
                return 0;
            }
            CRetParam got;
            if (WaitNotify(kCmdWriteEEPROM, &got) == 1 && got.Byte(kOffStatus) == 0) {
                written = true;
                break;
            }
            LogPrintf("WriteEEPROM Failed");
            if (nRetry > 1) LogPrintf("nRetry=%d", attempt);
        }
        // The remaining pieces are still worth writing, but the caller must learn that this
        // one did not reach the mouse.
        if (!written) result = 0;
    }
    return result;
}

int CUSBDriver::ResetDevice() {
    return SendCMD(kCmdResetDevice, 0);
}

int CUSBDriver::WriteRecords(uint32_t mask, uint32_t tableStart, int maxRecords, int count,
                             const std::function<void(int, int, uint8_t[4])>& build) {
    if (mask == 0xFF) {
        count = std::clamp(count, 0, maxRecords);
        if (count == 0) return 1;
        uint8_t bytes[16 * 4];
        for (int i = 0; i < count; ++i) build(i, i, bytes + 4 * i);
        return WriteEEPROM(8, 4 * count, tableStart, bytes);
    }
    if (count < 1) return 0;
    for (int i = 0; i < maxRecords; ++i) {
        if (!(mask & (1u << i))) continue;
        uint8_t rec[4];
        build(0, i, rec);
        return WriteEEPROM(0, 4, tableStart + 4 * i, rec);
    }
    return 1;
}

namespace {
void Finish3(uint8_t rec[4]) {
    rec[3] = CheckByte(rec, 3);
}
}  // namespace

int CUSBDriver::WriteReportRate(uint32_t rate) {
    const ReportRate* r = RateOfCode(static_cast<int32_t>(rate));
    if (!r) return 0;
    uint8_t rec[2] = {r->intervalMs, CheckByte(&r->intervalMs, 1)};
    return WriteEEPROM(0, 2, eeprom::kRate, rec);
}

int CUSBDriver::WriteDpiColors(uint32_t mask, const uint32_t* colours, int count) {
    if (!colours) return 0;
    return WriteRecords(mask, eeprom::kDpiColours, eeprom::kDpiRecords, count,
                        [&](int src, int, uint8_t rec[4]) {
                            uint32_t c = colours[src];
                            rec[0] = c & 0xFF;
                            rec[1] = (c >> 8) & 0xFF;
                            rec[2] = (c >> 16) & 0xFF;
                            Finish3(rec);
                        });
}

int CUSBDriver::WriteKeyMatrix(uint32_t mask, const uint32_t* codes, int count) {
    if (!codes) return 0;
    return WriteRecords(mask, eeprom::kMatrix, eeprom::kMatrixRecords, count,
                        [&](int src, int, uint8_t rec[4]) {
                            uint32_t c = codes[src];
                            rec[0] = c & 0xFF;
                            rec[1] = (c >> 8) & 0xFF;
                            rec[2] = (c >> 16) & 0xFF;
                            Finish3(rec);
                        });
}

int CUSBDriver::WriteDpiLevels(uint32_t mask, const DpiLevelXY* levels, int count,
                               const DpiEncoder* encoder) {
    if (!levels) return 0;
    DpiEncoder enc;
    if (encoder) {
        enc = *encoder;
    } else {
        std::lock_guard<std::mutex> lock(m_encoderLock);
        enc = m_encoder;
    }
    if (!enc.encode) enc = CurrentSensorDpiEncoder();
    uint8_t xs[8] = {}, ys[8] = {};
    auto build = [&](int src, int rec, uint8_t out[4]) {
        DpiCode x = enc.encode ? enc.encode(levels[src].x) : DpiCode{};
        DpiCode y = enc.encode ? enc.encode(levels[src].y) : DpiCode{};
        out[0] = x.code & 0xFF;
        out[1] = y.code & 0xFF;
        if (enc.sensorId == 0x3395) {
            // Codes of this sensor run past 8 bits; their top bits ride in the extension byte.
            out[2] = static_cast<uint8_t>((x.mul ? 1 : 0) | (((x.code >> 8) & 3) << 2) |
                                          ((y.mul ? 1 : 0) << 4) | (((y.code >> 8) & 3) << 6));
        } else {
            out[2] = static_cast<uint8_t>((x.mul & 0x0F) + 16 * y.mul);
        }
        Finish3(out);
        if (rec < 8) {
            xs[rec] = out[0];
            ys[rec] = out[1];
        }
    };
    int r = WriteRecords(mask, eeprom::kDpiLevels, eeprom::kDpiRecords, count, build);
    if (mask == 0xFF) {
        int n = std::clamp(count, 0, 8);
        LogHexDump(xs, n, 0, "DpiX=");
        LogHexDump(ys, n, 0, "DpiY=");
    }
    return r;
}

// ---- identification exchange ------------------------------------------------------------

int GetConnectStatusIdent(const platform::HidHandle& hCmd, const platform::HidHandle& hNotify) {
    uint8_t payload[1] = {kCmdGetConnectStatus};
    if (!SendData(hCmd, payload, 1)) return -1;
    for (int i = 0; i < 3; ++i) {
        uint8_t r[16];
        if (!GetData(hNotify, r, 16, 200)) {
            LogPrintf("GetConnectStatus GetData Err");
            return 0;
        }
        uint8_t cmd = r[kOffCmd - 1], status = r[kOffStatus - 1], b6 = r[kOffData - 1];
        if (cmd == kCmdGetConnectStatus && status == 0) return b6;
        LogPrintf("GetConnectStatus Err=%x %x %x, ThreadId=0x%x", cmd, status, b6,
                  platform::GetCurrentThreadId());
        if (cmd == kCmdGetConnectStatus) return 0;
    }
    return 0;
}

int CheckPsd(const platform::HidHandle& hCmd, const platform::HidHandle& hNotify, uint32_t* cid,
             uint32_t* mid) {
    // The mouse only wants four numbers of 1 to 100; their values do not matter.
    std::minstd_rand rng(
        static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count() ^
                              std::hash<std::thread::id>()(std::this_thread::get_id())));
    uint8_t payload[PER_PAYLOAD] = {kCmdCheckPsd, 0, 0, 0, 8};
    for (int i = 0; i < 4; ++i) payload[kOffData - 1 + i] = static_cast<uint8_t>(rng() % 100 + 1);
    uint32_t err = 0;
    if (!SendData(hCmd, payload, PER_PAYLOAD, &err)) {
        LogPrintf("CheckPsd SendData Err=0x%x", err);
        return 0;
    }
    uint8_t r[16];
    bool found = false;
    for (int i = 0; i < 3 && !found; ++i) {
        if (!GetData(hNotify, r, 16, 200)) {
            LogPrintf("CheckPsd GetData Err");
            return 0;
        }
        if (r[kOffCmd - 1] == kCmdCheckPsd) {
            found = true;
            break;
        }
        LogPrintf("CheckPsd Err=%x %x %x, ThreadId=0x%x", r[kOffCmd - 1], r[kOffStatus - 1],
                  r[kOffData - 1], platform::GetCurrentThreadId());
    }
    if (!found) return 0;
    if (r[kOffStatus - 1] != 0) {
        LogPrintf("CheckPsd Err=%x %x %x, ThreadId=0x%x", 1, r[kOffStatus - 1], r[kOffData - 1],
                  platform::GetCurrentThreadId());
        return 0;
    }
    uint32_t c = r[10 - 1], m = r[11 - 1];
    LogPrintf("CheckPsd: cid=%x, mid=%x", c, m);
    if (c == 0 && m == 0) return -1;
    if (cid) *cid = c;
    if (mid) *mid = m;
    return 1;
}
