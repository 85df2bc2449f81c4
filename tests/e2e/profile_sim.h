// What the profile end-to-end tests share: the shipped configuration with its first mouse in
// use, a fresh data folder, a virtual receiver whose interfaces are open with a service thread
// reading notifications, and a driver over them, as after the mouse has been accepted.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/config.h"
#include "app/device_catalogue.h"
#include "app/gvar.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "device/transport.h"
#include "device/usb_driver.h"
#include "macro/macro_list.h"
#include "platform/window_recorder.h"
#include "profile/profile_defaults.h"
#include "profile/profile_transfer.h"
#include "sim/virtual_receiver.h"
#include "support/log_lines.h"
#include "support/temp_dir.h"

namespace zvtest {

// The shipped cfg.ini and texts, the data folder a new temporary one, the mouse of `cid`/`mid`
// in use with an empty macro library.
inline void LoadShippedConfig(const TempDir& data, uint32_t cid = 0x10, uint32_t mid = 0x1A) {
    gVar.szAppDir = SourceDir() + platform::PathSeparator() + "data" + platform::PathSeparator();
    ASSERT_EQ(LoadConfiguration(), 1);
    LoadDefaultTexts(gVar.szAppDir);
    gVar.szAppDataDir = data.path();
    gVar.szTitle = "Zorvan";
    gVar.pSensorCfg = FindSensorCfg(cid, mid);
    ASSERT_NE(gVar.pSensorCfg, nullptr);
    LoadDefaultKeys();
    g_MacroList.Clear();
    gVar.ProfileList.clear();
    gVar.pFile = nullptr;
    gVar.g_nCurDpiLevel = 0;
    g_bSyncDone = 1;
    platform::recorder::Clear();
}

class SimMouse {
  public:
    explicit SimMouse(uint32_t cid = 0x10, uint32_t mid = 0x1A, uint32_t latencyMs = 0) {
        sim::ReceiverConfig cfg;
        cfg.cid = cid;
        cfg.mid = mid;
        cfg.latencyMs = latencyMs;
        rx = backend.AddReceiver(cfg);
        cmd = backend.Open(rx->CmdPath(), platform::HidOpenMode::kWrite, nullptr);
        notify = backend.Open(rx->NotifyPath(), platform::HidOpenMode::kReadAsync, nullptr);
        stop = std::make_shared<platform::HidEvent>();
        GetReplyQueue().Clear();
        service = std::thread(ServiceThread, ServiceContext{notify, stop, cfg.pid, cid, mid});
        drv.SetHandles(cmd, notify);
    }
    ~SimMouse() {
        stop->Set();
        service.join();
        drv.DropHandles();
    }
    std::vector<uint8_t> Peek(uint32_t addr, uint32_t len) {
        std::vector<uint8_t> out;
        rx->WithMouse([&](sim::VirtualMouse& m) { out = m.Peek(addr, len); });
        return out;
    }
    void Poke(uint32_t addr, const std::vector<uint8_t>& bytes) {
        rx->WithMouse([&](sim::VirtualMouse& m) { m.Poke(addr, bytes); });
    }
    // A value byte followed by its check byte.
    void PokePair(uint32_t addr, uint8_t v) { Poke(addr, {v, static_cast<uint8_t>(0x55 - v)}); }
    std::vector<uint8_t> WholeProfile() { return Peek(0, sim::kProfileBytes); }

    // Addresses of the EEPROM write commands the mouse received, in order.
    std::vector<uint32_t> WriteAddresses() {
        std::vector<uint32_t> out;
        for (const auto& r : rx->ReceivedReports())
            if (r[1] == 0x07) out.push_back((r[3] << 8) | r[4]);
        return out;
    }

    sim::VirtualBackend backend;
    std::shared_ptr<sim::VirtualReceiver> rx;
    platform::HidHandle cmd, notify;
    std::shared_ptr<platform::HidEvent> stop;
    std::thread service;
    CUSBDriver drv;
};

// A profile of the mouse in use, made current.
inline ProfileFile& UseNewProfile() {
    gVar.ProfileList.assign(4, ProfileFile{});
    for (int i = 0; i < 4; ++i) NewProfile(gVar.ProfileList[i], "Profile " + std::to_string(i + 1));
    gVar.pFile = &gVar.ProfileList[0];
    return *gVar.pFile;
}

}  // namespace zvtest
