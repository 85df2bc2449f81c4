// The command link byte by byte: framing, the reply queue, retries and every driver operation,
// against the virtual mouse, with the expected report bytes written out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "app/gvar.h"
#include "base/log.h"
#include "device/discovery.h"
#include "device/transport.h"
#include "device/usb_driver.h"
#include "platform/window_recorder.h"
#include "sim/virtual_receiver.h"
#include "support/log_lines.h"
#include "support/sim_link.h"

namespace {

using Report = std::array<uint8_t, 17>;

using LogCapture = zvtest::LogLines;

// The links of these tests use a mouse that no catalogue entry names.
class SimLink : public zvtest::SimLink {
  public:
    SimLink() : zvtest::SimLink(0x12, 0x34) {}
};

class DeviceLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gVar.nRetry = 3;
        GetReplyQueue().Clear();
    }
    void TearDown() override { gVar.nRetry = 3; }
};

uint8_t Sum(const Report& r) {
    uint8_t s = 0;
    for (uint8_t b : r) s = static_cast<uint8_t>(s + b);
    return s;
}

Report Bytes(std::initializer_list<uint8_t> head, uint8_t check) {
    Report r{};
    std::copy(head.begin(), head.end(), r.begin());
    r[16] = check;
    return r;
}

// ---- framing ----------------------------------------------------------------------------

TEST(DeviceFraming, CommandReportsCarryTheirCheckByte) {
    struct Case {
        const char* what;
        std::array<uint8_t, PER_PAYLOAD> payload;
        Report expected;
    } cases[] = {
        {"bare command 0x03", MakePayload(0x03), Bytes({0x08, 0x03}, 0x4A)},
        {"read 10 bytes at 0x0123", MakePayload(0x08, 0x0123, 10),
         Bytes({0x08, 0x08, 0x00, 0x01, 0x23, 0x0A}, 0x17)},
        {"profile switch to 2", MakePayload(0x10, 0, 1, std::array<uint8_t, 1>{2}.data()),
         Bytes({0x08, 0x10, 0, 0, 0, 0x01, 0x02}, 0x3A)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Report r{};
        FrameCommandReport(c.payload.data(), r.data());
        EXPECT_EQ(r, c.expected);
        EXPECT_EQ(Sum(r), 0x55);
    }
}

TEST(DeviceFraming, SendDataRefusesOversizedPayloads) {
    LogCapture log;
    uint8_t big[16] = {3};
    EXPECT_EQ(SendData(nullptr, big, 16), 0);
    EXPECT_EQ(SendData(nullptr, nullptr, 1), 0);
    EXPECT_EQ(log.Count("SendData Err: nSize>PER_PAYLOAD!"), 2);
}

// ---- reply queue ------------------------------------------------------------------------

TEST_F(DeviceLinkTest, ReplyToAnotherCommandIsDroppedWhileWaiting) {
    ReplyQueue q;
    uint8_t other[16] = {0x08, 0, 0, 0x10, 10};
    uint8_t mine[16] = {0x07, 0, 0, 0x20, 4};
    q.Append(other);
    q.Append(mine);
    CRetParam got;
    EXPECT_EQ(q.WaitNotify(0x07, &got), 1);
    EXPECT_EQ(got.Byte(1), 0x07);
    EXPECT_EQ(got.Byte(4), 0x20);
    EXPECT_EQ(q.Count(), 0u);
}

TEST_F(DeviceLinkTest, AppendsDoNotWaitForAWaiter) {
    ReplyQueue q;
    CRetParam got;
    int result = 0;
    // The waiter holds the queue's lock for its whole wait; an append that needed that lock
    // would only get in after the wait had timed out.
    std::thread waiter([&] { result = q.WaitNotify(0x0E, &got); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    uint8_t reply[16] = {0x0E, 0, 0, 0, 0, 3};
    q.Append(reply);
    waiter.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(got.Byte(6), 3);
}

TEST_F(DeviceLinkTest, LateReplyIsClearedByTheNextTransaction) {
    LogCapture log;
    SimLink link;
    gVar.nRetry = 1;
    // Well past the ~1 s wait, however slowly this machine sleeps.
    link.rx->InjectFault({sim::FaultKind::kLateReply, 0x0E, 0, 1, 2500});
    EXPECT_EQ(link.drv.GetCurProfile(), -1);
    for (int i = 0; i < 300 && GetReplyQueue().Count() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(GetReplyQueue().Count(), 1u);
    link.rx->WithMouse([](sim::VirtualMouse& m) { m.State().profile = 2; });
    // The stale "profile 0" answer is in the queue now; the new query must not take it.
    EXPECT_EQ(link.drv.GetCurProfile(), 2);
    EXPECT_EQ(log.Count("GetCurProfile Failed"), 1);
}

// ---- attempts -----------------------------------------------------------------------------

TEST_F(DeviceLinkTest, NoAttemptsMeansNoReportReachesTheDevice) {
    SimLink link;
    gVar.nRetry = 0;
    uint8_t buf[10];
    uint8_t data[4] = {1, 2, 3, 4};
    EXPECT_EQ(link.drv.SendCMD(0x09, 0), 0);
    EXPECT_EQ(link.drv.ReadEEPROM(0, buf, 10), 0);
    EXPECT_EQ(link.drv.GetCurProfile(), -1);
    EXPECT_EQ(link.drv.WriteEEPROM(0, 4, 0x60, data), 0);
    EXPECT_TRUE(link.Sent().empty());
}

TEST_F(DeviceLinkTest, FailedAttemptIsRetried) {
    struct Case {
        const char* what;
        sim::FaultKind kind;
        bool timesOut;  // the attempt ends by waiting out the reply
    } cases[] = {
        {"no reply", sim::FaultKind::kNoReply, true},
        {"status not 0", sim::FaultKind::kBadStatus, false},
        {"reply to another command", sim::FaultKind::kOtherCommand, true},
        {"garbage", sim::FaultKind::kGarbage, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogCapture log;
        SimLink link;
        gVar.nRetry = 2;
        link.rx->InjectFault({c.kind, 0x0E});
        link.rx->WithMouse([](sim::VirtualMouse& m) { m.State().profile = 3; });
        EXPECT_EQ(link.drv.GetCurProfile(), 3);
        EXPECT_EQ(link.Sent().size(), 2u);
        EXPECT_EQ(log.Count("WaitNotify TimeOut for nCmdID=e"), c.timesOut ? 1 : 0);
    }
}

TEST_F(DeviceLinkTest, RefusedFeatureReportEndsTheCommand) {
    LogCapture log;
    SimLink link;
    link.rx->InjectFault({sim::FaultKind::kSendFails, -1, 0, -1});
    EXPECT_EQ(link.drv.SendCMD(0x09, 0), 0);
    // Three tries of the report, one failure line, no further attempts.
    EXPECT_EQ(log.Count("SendCommand err=0x1f"), 1);
    EXPECT_EQ(log.Count("SendCMD: err=0x1f"), 1);
    EXPECT_EQ(log.Count("WaitNotify"), 0);
}

// ---- notifications -----------------------------------------------------------------------

TEST_F(DeviceLinkTest, NotificationFlagsPostInTableOrder) {
    platform::recorder::Clear();
    platform::recorder::SetWindow("main", 0x4242);
    gVar.hDevNotifyWnd = 0x4242;
    struct Case {
        uint8_t flags;
        std::vector<std::pair<uintptr_t, intptr_t>> posted;  // value, kind
    } cases[] = {
        {0x83, {{5, 1}, {0x04, 2}, {0, 4}}},
        {0x7C, {{2, 3}, {0, 5}, {0, 6}}},  // 0x08 and 0x10 mean nothing
        {0x00, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        // byte 7 level 5, byte 8 rate 0xF4 (low four bits count), byte 10 profile 2
        uint8_t r[16] = {0x0A, 0, 0, 0, 0, c.flags, 5, 0xF4, 0, 2};
        DispatchReport(r);
        std::vector<std::pair<uintptr_t, intptr_t>> got;
        for (auto& m : platform::recorder::TakePosted()) {
            EXPECT_EQ(m.msg, WM_DEV_BEHAVIOR);
            got.push_back({m.wParam, m.lParam});
        }
        EXPECT_EQ(got, c.posted);
    }
    EXPECT_EQ(GetReplyQueue().Count(), 0u);  // notifications never become replies
    // Without a main window nothing is posted.
    platform::recorder::SetWindow("main", 0);
    uint8_t r[16] = {0x0A, 0, 0, 0, 0, 0x01};
    DispatchReport(r);
    EXPECT_TRUE(platform::recorder::TakePosted().empty());
    gVar.hDevNotifyWnd = 0;
}

// ---- EEPROM -------------------------------------------------------------------------------

TEST_F(DeviceLinkTest, WriteEEPROMSplitsIntoPieces) {
    struct Case {
        int pieceSize, len;
        std::vector<std::pair<uint16_t, uint8_t>> pieces;  // address, length
    } cases[] = {
        {0, 21, {{0x300, 10}, {0x30A, 10}, {0x314, 1}}},
        {8, 32, {{0x300, 8}, {0x308, 8}, {0x310, 8}, {0x318, 8}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.len);
        SimLink link;
        std::vector<uint8_t> data(c.len);
        for (int i = 0; i < c.len; ++i) data[i] = static_cast<uint8_t>(0xA0 + i);
        EXPECT_EQ(link.drv.WriteEEPROM(c.pieceSize, c.len, 0x300, data.data()), 1);
        std::vector<std::pair<uint16_t, uint8_t>> got;
        for (const Report& r : link.Sent()) {
            EXPECT_EQ(r[1], 0x07);
            EXPECT_EQ(Sum(r), 0x55);
            got.push_back({uint16_t(r[3] << 8 | r[4]), r[5]});
        }
        EXPECT_EQ(got, c.pieces);
        EXPECT_EQ(link.Peek(0x300, c.len), data);
    }
}

TEST_F(DeviceLinkTest, RefusedPieceDoesNotStopTheWriteButFailsIt) {
    LogCapture log;
    SimLink link;
    gVar.nRetry = 2;
    // The second piece is refused on both of its attempts.
    link.rx->InjectFault({sim::FaultKind::kBadStatus, 0x07, 1, 2});
    std::vector<uint8_t> data(30, 0x5A);
    std::vector<uint8_t> before = link.Peek(0x30A, 10);
    EXPECT_EQ(link.drv.WriteEEPROM(0, 30, 0x300, data.data()), 0);
    EXPECT_EQ(link.Sent().size(), 4u);
    EXPECT_EQ(link.Peek(0x300, 10), std::vector<uint8_t>(10, 0x5A));
    EXPECT_EQ(link.Peek(0x30A, 10), before);
    EXPECT_EQ(link.Peek(0x314, 10), std::vector<uint8_t>(10, 0x5A));
    EXPECT_EQ(log.Count("WriteEEPROM Failed"), 2);
    EXPECT_EQ(log.Count("nRetry=1"), 1);
    EXPECT_EQ(log.Count("nRetry=2"), 1);
}

TEST_F(DeviceLinkTest, SingleAttemptLogsNoAttemptCount) {
    LogCapture log;
    SimLink link;
    gVar.nRetry = 1;
    link.rx->InjectFault({sim::FaultKind::kBadStatus, 0x07});
    uint8_t data[4] = {1, 2, 3, 4};
    EXPECT_EQ(link.drv.WriteEEPROM(0, 4, 0x60, data), 0);
    EXPECT_EQ(log.Count("WriteEEPROM Failed"), 1);
    EXPECT_EQ(log.Count("nRetry="), 0);
}

TEST_F(DeviceLinkTest, ReadROMReadsInPiecesAndStopsEarly) {
    SimLink link;
    std::vector<uint8_t> stored(25);
    for (int i = 0; i < 25; ++i) stored[i] = static_cast<uint8_t>(i + 1);
    link.rx->WithMouse([&](sim::VirtualMouse& m) { m.Poke(0x400, stored); });

    std::vector<uint8_t> buf(25);
    EXPECT_EQ(link.drv.ReadROM(0x400, buf.data(), 25), 1);
    EXPECT_EQ(buf, stored);
    std::vector<uint8_t> lengths;
    for (const Report& r : link.Sent()) lengths.push_back(r[5]);
    EXPECT_EQ(lengths, (std::vector<uint8_t>{10, 10, 5}));

    link.rx->ClearReceivedReports();
    int calls = 0;
    EXPECT_EQ(link.drv.ReadROM(0x400, buf.data(), 25,
                               [&](const uint8_t*, int n) {
                                   ++calls;
                                   return n == 10;
                               }),
              1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(link.Sent().size(), 1u);
}

TEST_F(DeviceLinkTest, ReadFailureNamesThePiece) {
    LogCapture log;
    SimLink link;
    gVar.nRetry = 1;
    link.rx->InjectFault({sim::FaultKind::kBadStatus, 0x08, 1, 1});
    uint8_t buf[25];
    EXPECT_EQ(link.drv.ReadROM(0x400, buf, 25), 0);
    EXPECT_EQ(log.Count("ReadEEPROM Failed"), 1);
    EXPECT_EQ(log.Count("ReadROM Failed at 1: nAddr=0x40a"), 1);
}

// ---- record writers ----------------------------------------------------------------------

TEST_F(DeviceLinkTest, RecordWritersSendTheseReports) {
    // Codes of 50-DPI steps, with the multiplier above 26099 DPI.
    DpiEncoder enc3395{
        0x3395, [](uint32_t dpi) {
            return dpi <= 26099 ? DpiCode{dpi / 50 - 1, 0} : DpiCode{dpi / 100 - 1, 1};
        }};
    DpiLevelXY levels[2] = {{800, 800}, {26000, 32000}};
    uint32_t colours[1] = {0x00FF8040};  // red 0x40, green 0x80, blue 0xFF
    uint32_t keys[1] = {0x023204};
    struct Case {
        const char* what;
        std::function<int(CUSBDriver&)> op;
        std::vector<Report> sent;
    } cases[] = {
        {"report rate 500 Hz",
         [](CUSBDriver& d) { return d.WriteReportRate(0x500); },
         {Bytes({0x08, 0x07, 0, 0x00, 0x00, 0x02, 0x02, 0x53}, 0xEF)}},
        {"one DPI level, mask 0x04, from the first entry",
         [&](CUSBDriver& d) {
             d.SetDpiEncoder(enc3395);
             return d.WriteDpiLevels(0x04, levels, 1);
         },
         {Bytes({0x08, 0x07, 0, 0x00, 0x14, 0x04, 0x0F, 0x0F, 0x00, 0x37}, 0xD9)}},
        {"all levels: codes past 8 bits ride in the extension byte",
         [&](CUSBDriver& d) {
             d.SetDpiEncoder(enc3395);
             return d.WriteDpiLevels(0xFF, levels, 2);
         },
         // 26000 -> code 0x207; 32000 -> code 0x13F with multiplier: ext 0x08 | 0x10 | 0x40
         {Bytes({0x08, 0x07, 0, 0x00, 0x0C, 0x08, 0x0F, 0x0F, 0x00, 0x37, 0x07, 0x3F, 0x58, 0xB7},
                0x88)}},
        {"DPI colour of level 3",
         [&](CUSBDriver& d) { return d.WriteDpiColors(0x08, colours, 1); },
         {Bytes({0x08, 0x07, 0, 0x00, 0x38, 0x04, 0x40, 0x80, 0xFF, 0x96}, 0xB5)}},
        {"key slot 16",
         [&](CUSBDriver& d) { return d.WriteKeyMatrix(0x8000, keys, 1); },
         {Bytes({0x08, 0x07, 0, 0x00, 0x9C, 0x04, 0x04, 0x32, 0x02, 0x1D}, 0x51)}},
        {"mask without a record writes nothing",
         [&](CUSBDriver& d) { return d.WriteDpiColors(0x100, colours, 1); },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimLink link;
        EXPECT_EQ(c.op(link.drv), 1);
        EXPECT_EQ(link.Sent(), c.sent);
    }
    SimLink link;
    EXPECT_EQ(link.drv.WriteReportRate(0x400), 0);
    EXPECT_TRUE(link.Sent().empty());
}

TEST(DeviceDpiExtension, OtherSensorsPackBothMultipliers) {
    SimLink link;
    // A sensor whose multipliers use more than one bit: X keeps its low four bits, Y moves up.
    link.drv.SetDpiEncoder({0x9000, [](uint32_t dpi) {
                                return dpi > 12000   ? DpiCode{0x46, 0x11}
                                       : dpi > 10000 ? DpiCode{0x37, 0x22}
                                                     : DpiCode{0x10, 0};
                            }});
    DpiLevelXY level[1] = {{11000, 14000}};
    ASSERT_EQ(link.drv.WriteDpiLevels(0x01, level, 1), 1);
    ASSERT_EQ(link.Sent().size(), 1u);
    // (0x22 & 0x0F) + 16 * 0x11 = 0x112, cut to 8 bits
    EXPECT_EQ(link.Sent()[0][8], 0x12);
}

// ---- identification ------------------------------------------------------------------------

TEST(DeviceIdentification, CheckPsdResults) {
    struct Case {
        uint32_t cid, mid;
        bool badStatus;
        int result;
        const char* line;
    } cases[] = {
        {0x12, 0x34, false, 1, "CheckPsd: cid=12, mid=34"},
        {0, 0, false, -1, "CheckPsd: cid=0, mid=0"},
        {0x12, 0x34, true, 0, "CheckPsd Err=1 1 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        LogCapture log;
        sim::VirtualBackend backend;
        sim::ReceiverConfig cfg;
        cfg.cid = c.cid;
        cfg.mid = c.mid;
        auto rx = backend.AddReceiver(cfg);
        if (c.badStatus) rx->InjectFault({sim::FaultKind::kBadStatus, 0x01});
        auto cmd = backend.Open(rx->CmdPath(), platform::HidOpenMode::kWrite, nullptr);
        auto notify = backend.Open(rx->NotifyPath(), platform::HidOpenMode::kReadAsync, nullptr);
        uint32_t cid = 0, mid = 0;
        EXPECT_EQ(CheckPsd(cmd, notify, &cid, &mid), c.result);
        EXPECT_EQ(log.Count(c.line), 1);
        if (c.result == 1) {
            EXPECT_EQ(std::make_pair(cid, mid), std::make_pair(c.cid, c.mid));
        }
        // The request: length 8, four numbers of 1 to 100, then zeros.
        Report req = rx->ReceivedReports().at(0);
        EXPECT_EQ(req[1], 0x01);
        EXPECT_EQ(req[5], 8);
        for (int i = 6; i < 10; ++i) EXPECT_TRUE(req[i] >= 1 && req[i] <= 100);
        EXPECT_EQ(Sum(req), 0x55);
    }
}

TEST(DeviceIdentification, ConnectStatusOfAMouseThatIsOff) {
    sim::VirtualBackend backend;
    sim::ReceiverConfig cfg;
    cfg.mouseOn = false;
    auto rx = backend.AddReceiver(cfg);
    auto cmd = backend.Open(rx->CmdPath(), platform::HidOpenMode::kWrite, nullptr);
    auto notify = backend.Open(rx->NotifyPath(), platform::HidOpenMode::kReadAsync, nullptr);
    EXPECT_EQ(GetConnectStatusIdent(cmd, notify), 0);
    rx->SetMouseOn(true);
    EXPECT_EQ(GetConnectStatusIdent(cmd, notify), 1);
    cmd->Close();
    EXPECT_EQ(GetConnectStatusIdent(cmd, notify), -1);  // not sent
}

// ---- device paths --------------------------------------------------------------------------

TEST(DevicePath, VendorAndProductIds) {
    struct Case {
        const char* path;
        bool ok;
        uint32_t vid, pid;
    } cases[] = {
        {"\\\\?\\usb#vid_0a1b&pid_0c2d#5&1a2b3c&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", true,
         0x0A1B, 0x0C2D},
        {"\\\\?\\USB#VID_25A7&PID_FA70#X", true, 0x25A7, 0xFA70},
        {"\\\\?\\usb#vid_0a1b#no-product", false, 0, 0},
        {"\\\\?\\usb#vid_0a1g&pid_0c2d", false, 0, 0},
        {"vid_0a1b&pid_0c", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        LogCapture log;
        uint32_t vid = 0, pid = 0;
        EXPECT_EQ(ParseDevicePathIds(c.path, &vid, &pid), c.ok);
        EXPECT_EQ(vid, c.vid);
        EXPECT_EQ(pid, c.pid);
        EXPECT_EQ(log.Count("OnDeviceChange: path_string_to_id err"), c.ok ? 0 : 1);
    }
}

// ---- HID report descriptors ----------------------------------------------------------------

TEST(HidDescriptor, TopLevelCollectionsAndReportLengths) {
    // A receiver's two vendor collections: 16 input bytes with report ID 9, and 16 feature
    // bytes with report ID 8 beside a 2-byte input report.
    const uint8_t desc[] = {
        0x06, 0x01, 0xFF, 0x09, 0x00, 0xA1, 0x01,  // page FF01, usage 0
        0x85, 0x09, 0x75, 0x08, 0x95, 0x10, 0x09, 0x00, 0x81, 0x02, 0xC0,
        0x06, 0x02, 0xFF, 0x09, 0x02, 0xA1, 0x01,  // page FF02, usage 2
        0x85, 0x08, 0x75, 0x08, 0x95, 0x10, 0x09, 0x00, 0xB1, 0x02, 0x85,
        0x07, 0x95, 0x02, 0x09, 0x00, 0x81, 0x02, 0xC0, 0x05, 0x01, 0x09,  // cut short: ignored
    };
    auto cols = platform::ParseReportDescriptor(desc, sizeof desc);
    ASSERT_EQ(cols.size(), 2u);
    EXPECT_EQ(cols[0].usagePage, 0xFF01u);
    EXPECT_EQ(cols[0].usage, 0u);
    EXPECT_EQ(cols[0].inputReportLength, 17u);
    EXPECT_EQ(cols[0].featureReportLength, 0u);
    EXPECT_EQ(cols[1].usagePage, 0xFF02u);
    EXPECT_EQ(cols[1].usage, 2u);
    EXPECT_EQ(cols[1].featureReportLength, 17u);
    EXPECT_EQ(cols[1].inputReportLength, 3u);
}

// ---- the virtual mouse's state file ------------------------------------------------------------

TEST(VirtualMouseState, SurvivesASaveAndRefusesDamage) {
    sim::VirtualMouse a(0x12, 0x34);
    a.State().profile = 2;
    a.State().battery = 40;
    a.State().driverShown = true;
    a.Poke(0x0C, {1, 2, 3, 4});
    std::string text = a.Serialize();

    sim::VirtualMouse b(0, 0);
    std::string why;
    ASSERT_TRUE(b.Parse(text, &why)) << why;
    EXPECT_EQ(b.State().cid, 0x12u);
    EXPECT_EQ(b.State().profile, 2);
    EXPECT_EQ(b.State().battery, 40);
    EXPECT_TRUE(b.State().driverShown);
    EXPECT_EQ(b.Peek(0x0C, 4), (std::vector<uint8_t>{1, 2, 3, 4}));

    std::string damaged[] = {
        "",
        text.substr(0, text.size() / 2),
        std::string(text).replace(text.find("eeprom1=") + 8, 2, "zz"),
        std::string(text).replace(text.find("profile=2"), 9, "profile=9"),
        std::string(text).replace(text.find("battery=40"), 10, "battery=-1"),
    };
    std::vector<uint8_t> factory1 = sim::VirtualMouse::FactoryProfile(1);
    factory1.resize(0x100);
    for (const std::string& d : damaged) {
        sim::VirtualMouse c(0x55, 0x66);
        EXPECT_FALSE(c.Parse(d, &why));
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(c.State().cid, 0x55u);  // untouched
        EXPECT_EQ(c.Peek(0, 0x100, 1), factory1);
    }
}

TEST(VirtualMouseState, FactoryProfilesHoldValidRecords) {
    for (int p = 0; p < sim::kProfiles; ++p) {
        SCOPED_TRACE(p);
        std::vector<uint8_t> e = sim::VirtualMouse::FactoryProfile(p);
        auto sums = [&](uint32_t addr, int n) {
            uint8_t s = 0;
            for (int i = 0; i <= n; ++i) s = static_cast<uint8_t>(s + e[addr + i]);
            return s;
        };
        for (uint32_t pair : {0x00, 0x02, 0x04, 0x0A, 0x4C, 0x4E, 0x50, 0xA9, 0xAD, 0xB5})
            EXPECT_EQ(sums(pair, 1), 0x55) << pair;
        for (int i = 0; i < 8; ++i) EXPECT_EQ(sums(0x0C + 4 * i, 3), 0x55);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(sums(0x2C + 4 * i, 3), 0x55);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(sums(0x60 + 4 * i, 3), 0x55);
        EXPECT_EQ(sums(0xA0, 6), 0x55);
        EXPECT_TRUE(e[0] == 1 || e[0] == 2 || e[0] == 4 || e[0] == 8);
        EXPECT_LE(e[4], e[2]);
    }
}

}  // namespace
