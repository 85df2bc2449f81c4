// Bytes from outside the device link: input reports handed to the dispatcher and to the
// identification exchange, HID report descriptors, and virtual-mouse state files. None of them
// may crash or read outside what was given; a damaged state file leaves the mouse as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/transport.h"
#include "device/usb_driver.h"
#include "platform/hid.h"
#include "sim/virtual_receiver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t selector = data[0];
    ++data;
    --size;
    switch (selector % 4) {
        case 0: {  // a report as the service thread hands it on
            uint8_t r[16] = {};
            for (size_t i = 0; i < size && i < 16; ++i) r[i] = data[i];
            DispatchReport(r);
            GetReplyQueue().Clear();
            break;
        }
        case 1: {  // identification answered by whatever the receiver sends
            sim::VirtualBackend backend;
            auto rx = backend.AddReceiver({});
            auto cmd = backend.Open(rx->CmdPath(), platform::HidOpenMode::kWrite, nullptr);
            auto notify =
                backend.Open(rx->NotifyPath(), platform::HidOpenMode::kReadAsync, nullptr);
            rx->SetMouseOn(false);  // only the reports below answer
            // Three reports, so that no read has to wait out its time limit.
            for (size_t k = 0; k < 3; ++k) {
                std::array<uint8_t, 17> rep{};
                rep[0] = 0x09;
                for (size_t i = 0; i < 16 && 16 * k + i < size; ++i) rep[1 + i] = data[16 * k + i];
                rx->SendInputReport(rep);
            }
            uint32_t cid = 0, mid = 0;
            int r = CheckPsd(cmd, notify, &cid, &mid);
            if (r < -1 || r > 1 || cid > 255 || mid > 255) std::abort();
            break;
        }
        case 2: {
            auto cols = platform::ParseReportDescriptor(data, size);
            if (cols.size() > size) std::abort();
            break;
        }
        case 3: {
            sim::VirtualMouse m(0x12, 0x34);
            std::string before = m.Serialize();
            std::string why;
            if (!m.Parse(std::string(reinterpret_cast<const char*>(data), size), &why) &&
                m.Serialize() != before)
                std::abort();
            break;
        }
    }
    return 0;
}
