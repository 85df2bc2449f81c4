// A page host for page tests: it answers from its fields and records what the page told,
// asked and opened, so a test sees each request the page makes of the main window.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/win/page_host.h"

namespace zvtest {

class StubPageHost : public PageHost {
  public:
    int ready = 1;
    bool askAnswer = false;
    // The mouse's answer on its lighting; none: never held.
    std::function<bool()> lightingHeld;
    std::optional<CapturedCombo> combo;
    std::optional<uint16_t> fire;
    std::optional<KeyInfo> fireOpenedWith;
    std::vector<std::string> told, asked;
    std::vector<MainPageType> shown;
    std::vector<bool> buttonRefreshes;  // applyKeys of each RefreshButtons

    int CheckDeviceReady() override { return ready; }
    bool Tell(const std::string& text) override {
        told.push_back(text);
        return true;
    }
    bool Ask(const std::string& text) override {
        asked.push_back(text);
        return askAnswer;
    }
    void ShowPage(MainPageType type) override { shown.push_back(type); }
    void RefreshButtons(bool applyKeys) override { buttonRefreshes.push_back(applyKeys); }
    bool LightingHeld() override { return lightingHeld && lightingHeld(); }
    int ResetToDefaults() override { return 0; }
    void ReadAgainAfterReset() override {}
    int SwitchProfile(int) override { return 1; }
    std::optional<int64_t> PickMacro() override { return std::nullopt; }
    std::optional<CapturedCombo> CaptureCombo() override { return combo; }
    std::optional<uint16_t> EditFire(const KeyInfo& current) override {
        fireOpenedWith = current;
        return fire;
    }
    void ExportProfile() override {}
    void ImportProfile() override {}
    void EditProgramLinks() override {}
};

}  // namespace zvtest
