// A virtual receiver with its mouse, both interfaces open, a service thread reading the notify
// interface and a driver over them: the state after the mouse has been accepted. The unit and
// end-to-end tests, the benchmarks and the fuzz targets all start from it.
//
// Header only, and without GoogleTest, so that the fuzz targets and benchmarks can use it too.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "device/transport.h"
#include "device/usb_driver.h"
#include "sim/virtual_receiver.h"

namespace zvtest {

class SimLink {
  public:
    // The first mouse of the shipped catalogue unless told otherwise.
    explicit SimLink(uint32_t cid = 0x10, uint32_t mid = 0x1A, uint32_t latencyMs = 0) {
        sim::ReceiverConfig cfg;
        cfg.cid = cid;
        cfg.mid = mid;
        cfg.latencyMs = latencyMs;
        rx = backend.AddReceiver(cfg);
        cmd = backend.Open(rx->CmdPath(), platform::HidOpenMode::kWrite, nullptr);
        notify = backend.Open(rx->NotifyPath(), platform::HidOpenMode::kReadAsync, nullptr);
        stop = std::make_shared<platform::HidEvent>();
        // A reply left over from an earlier link must not answer this one's first command.
        GetReplyQueue().Clear();
        service = std::thread(ServiceThread, ServiceContext{notify, stop, cfg.pid, cid, mid});
        drv.SetHandles(cmd, notify);
    }
    ~SimLink() {
        stop->Set();
        service.join();
        drv.DropHandles();
    }
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    // Both interfaces opened: a test that got false has no mouse to talk to.
    bool Ready() const { return cmd != nullptr && notify != nullptr; }

    // The mouse's memory, read and written directly (not through commands).
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

    // The feature reports the receiver got, oldest first.
    std::vector<std::array<uint8_t, 17>> Sent() const { return rx->ReceivedReports(); }
    // Addresses of the EEPROM write commands the mouse received, in order.
    std::vector<uint32_t> WriteAddresses() const {
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

}  // namespace zvtest
