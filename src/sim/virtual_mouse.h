// The virtual mouse: four onboard profiles of EEPROM, the current profile, battery, connection
// and the lighting guard, answering the receiver's commands as a real mouse does. Written from
// the wire format alone; it shares nothing with the program's own profile code.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

constexpr uint32_t kProfileBytes = 0x1B00;  // 0x000 to 0x1AFF of each onboard profile
constexpr int kProfiles = 4;

// The mouse's own events, as the flags byte of a notification carries them.
enum EventFlag : uint8_t {
    kEvDpiLevel = 0x01,
    kEvRate = 0x02,
    kEvProfile = 0x04,
    kEvDpiLight = 0x20,
    kEvLogoLight = 0x40,
    kEvMainLight = 0x80,
};

// What a mouse holds when it leaves the factory: the catalogue entry it stands for decides the
// sensor (and so how a DPI value is coded), the DPI levels and colours, the level in use and the
// report interval, the sleep time, the lift-off distance and the buttons. The defaults are close
// to the first entry of the shipped catalogue; only its sixth button differs (DPI down, so that
// a test can tell what was read from the mouse from the program's defaults).
struct FactorySettings {
    uint32_t sensor = 0x3395;
    int levels = 6;
    int curLevel = 1;          // 0-based
    uint8_t rateInterval = 1;  // ms between reports
    std::array<uint32_t, 8> dpi = {400, 800, 1600, 3200, 6400, 26000, 16000, 26000};
    std::array<std::array<uint8_t, 3>, 8> colours = {{{255, 0, 0},
                                                      {0, 255, 0},
                                                      {0, 0, 255},
                                                      {255, 255, 0},
                                                      {0, 255, 255},
                                                      {255, 0, 255},
                                                      {255, 255, 255},
                                                      {255, 128, 0}}};
    int sleepSeconds = 60;
    int liftOff = 1;
    // The key matrix, slot by slot: left, right, middle, back, forward, DPI down, then switched
    // off; and for a slot whose code is 05, its combination or consumer record (count, events).
    std::array<uint32_t, 16> keys = {0x000101, 0x000201, 0x000401, 0x000801, 0x001001, 0x000302};
    std::array<std::vector<uint8_t>, 16> keyRecords = {};
};

// Catalogue entry `model` of a cfg.ini: its number ("2") or its Name key (any case); empty: the
// first entry with a sensor. Its identity and factory settings; false with the reason in `why`
// when there is no such entry.
bool CatalogueMouse(const std::string& cfgIniPath, const std::string& model, uint32_t* cid,
                    uint32_t* mid, FactorySettings* factory, std::string* why);

struct MouseState {
    uint32_t cid = 0;
    uint32_t mid = 0;
    int profile = 0;  // current onboard profile
    int battery = 85;
    bool charging = false;
    bool on = true;            // connected to its receiver
    bool lightingOpen = true;  // false: lighting must not be written now
    bool driverShown = false;  // last TellDrvStatus
    std::array<std::vector<uint8_t>, kProfiles> eeprom;
};

class VirtualMouse {
  public:
    VirtualMouse(uint32_t cid, uint32_t mid, const FactorySettings& factory = {});

    // Answers one command: `req` is the 17-byte feature report, `reply` receives the 17-byte
    // input report. false when the mouse gives no answer (it is off).
    bool Handle(const uint8_t req[17], uint8_t reply[17]);

    // The mouse's own actions; each gives the notification report it sends.
    std::array<uint8_t, 17> PressDpiButton();
    std::array<uint8_t, 17> ChangeRate(uint8_t intervalMs);  // 1, 2, 4 or 8
    std::array<uint8_t, 17> SwitchProfile(int profile);
    std::array<uint8_t, 17> FactoryReset();  // current profile back to its factory bytes
    std::array<uint8_t, 17> LightingChanged(uint8_t flags);  // kEvMainLight etc.

    MouseState& State() { return m_state; }
    const MouseState& State() const { return m_state; }
    // Bytes of profile `p` (current when -1) from `addr`.
    std::vector<uint8_t> Peek(uint32_t addr, uint32_t len, int p = -1) const;
    void Poke(uint32_t addr, const std::vector<uint8_t>& bytes, int p = -1);

    // The bytes a profile holds when a mouse with these settings leaves the factory.
    static std::vector<uint8_t> FactoryProfile(int profile, const FactorySettings& f = {});

    // The state as text, and back. Parse refuses anything malformed (message in `why`) and
    // then leaves the mouse as it was.
    std::string Serialize() const;
    bool Parse(const std::string& text, std::string* why);

  private:
    std::array<uint8_t, 17> Notification(uint8_t flags, uint8_t b7 = 0, uint8_t b8 = 0,
                                         uint8_t b10 = 0) const;
    void StorePair(uint32_t addr, uint8_t v);
    MouseState m_state;
    FactorySettings m_factory;
};

}  // namespace sim
