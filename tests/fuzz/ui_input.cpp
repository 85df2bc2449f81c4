// Keyboard events and typed text as they reach the capture and number-input models: any
// sequence must leave a valid combination and never crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/menu_model.h"
#include "ui/key_capture.h"
#include "ui/key_names.h"
#include "ui/msg_dlg_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    KeyCaptureHistory history;
    KeyCaptureModel capture(history);
    capture.checkBoxMode = data[0] & 1;
    capture.restartEachKey = data[0] & 2;
    uint32_t tick = 0;
    size_t i = 1;
    for (; i + 2 < size && data[i] != 0; i += 3) {
        tick += static_cast<uint32_t>(data[i + 2]) * 40;
        capture.CaptureKeyEvent(data[i], data[i + 1] & 1, tick);
        const CapturedCombo& c = capture.Result();
        if (c.KeyCount() + c.ModifierKinds() > 4) std::abort();
        (void)capture.Text();
    }
    capture.ApplyCheckBoxes(data[0] & 4, data[0] & 8, data[0] & 16, data[0] & 32);
    const std::string text(reinterpret_cast<const char*>(data + i), size - i);
    const NumberRange range{static_cast<int32_t>(data[0]) - 1, 0xFFFF};
    const NumberEditResult edited = OnNumberEdited(text, range);
    if (edited.replaced && *edited.replaced != std::to_string(range.maximum)) std::abort();
    const NumberOkResult ok = OnNumberOk(text, range);
    if (ok.accepted && ok.value > 0xFFFF) std::abort();
    (void)GetKeyName(data[1]);
    (void)MenuEntryText(MakeMenuEntry(kMenuTopLevel, 0, text));
    return 0;
}
