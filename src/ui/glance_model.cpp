#include "ui/glance_model.h"

#include "base/ini_file.h"
#include "base/language_texts.h"
#include "base/printable_text.h"
#include "profile/profile_file.h"
#include "profile/sensor_cfg.h"
#include "ui/lighting_model.h"
#include "ui/performance_model.h"

std::optional<DpiOverlayView> DpiOverlayTexts(const ProfileFile& p, int level) {
    const int count = static_cast<int>(p.nDpiLevels);
    if (level < 0 || level >= count || level >= kDpiLevels) return std::nullopt;
    const DpiLevel& d = p.dpi[static_cast<size_t>(level)];
    DpiOverlayView v;
    v.value = d.x == d.y ? std::to_string(d.x) + " DPI"
                         : std::to_string(d.x) + " x " + std::to_string(d.y) + " DPI";
    v.level =
        GetText("tc_dpi_level") + " " + std::to_string(level + 1) + " / " + std::to_string(count);
    return v;
}

ZvRect DpiOverlayRect(const ZvRect& workArea, bool large) {
    const int k = large ? 2 : 1;
    const int w = kDpiOverlayW * k, h = kDpiOverlayH * k, m = kDpiOverlayMargin * k;
    return {workArea.right - m - w, workArea.bottom - m - h, workArea.right - m,
            workArea.bottom - m};
}

bool DpiOverlayOn(std::optional<int> userChoice, int cfgValue) {
    return (userChoice ? *userChoice : cfgValue) != 0;
}

std::string TrayTipText(const std::string& title, const std::string& mouseName,
                        std::optional<int> level, bool charging) {
    std::string tip = title;
    if (!mouseName.empty()) tip += "\n" + mouseName;
    if (level) {
        tip += "\n" + GetText("tc_battery") + " " + std::to_string(*level) + " %";
        if (charging) tip += ", " + GetText("tc_charging");
    }
    // The system keeps 127 characters of a tooltip (UTF-16 units; a character beyond the
    // basic plane counts once here, close enough).
    return FirstChars(tip, 127);
}

std::string CatalogueMouseName(const std::string& cfgIniPath, const CatalogueState& catalogue,
                               const SensorCfg* cfg) {
    if (!cfg) return "";
    for (int i = 0; i < kDeviceSections; ++i)
        if (&catalogue.SensorCfgs[static_cast<size_t>(i)] == cfg)
            return IniFile::Load(cfgIniPath)
                .GetString("DEV_" + std::to_string(i + 1), "Name", "", 64);
    return "";
}

bool LowBatteryWarning::OnReading(int level, bool charging,
                                  const std::array<uint8_t, 4>& critical) {
    if (charging) {
        m_warned = false;
        return false;
    }
    if (level > critical[0] || m_warned) return false;
    m_warned = true;
    return true;
}

std::string LowBatteryText(int level) {
    return GetText("tc_battery_low") + " " + std::to_string(level) + " %";
}

std::vector<SummaryLine> ProfileSummary(const ProfileFile& p, const SensorCfg& cfg,
                                        const std::array<LedOption, 7>& ledOpt, int curLevel) {
    std::vector<SummaryLine> lines;
    if (cfg.ShowDpi) {
        if (const std::optional<DpiOverlayView> dpi = DpiOverlayTexts(p, curLevel)) {
            lines.push_back({"DPI", dpi->value});
            lines.push_back({GetText("tc_dpi_level"),
                             std::to_string(curLevel + 1) + " / " + std::to_string(p.nDpiLevels)});
        }
    }
    const PerformanceView perf = ViewPerformance(p, cfg, curLevel);
    if (perf.showRate && perf.rateButton >= 0)
        lines.push_back({GetText("tc_adv_str6"), RateLabel(perf.rateButton)});
    if (perf.showLod && perf.lodButton > 0)
        lines.push_back({GetText("tc_adv_str9"), LiftOffLabel(perf.lodButton)});
    if (cfg.ShowMainEffect) {
        for (const ModeItem& item : MainModeItems(cfg.LedMask)) {
            if (item.mode != p.mainLight.mode) continue;
            SummaryLine light{GetText("tc_page4"), GetText(item.textKey)};
            const ZonePreview shown = PreviewZone(p, cfg, ledOpt, LightZone::kMain);
            light.swatch = shown.kind == ZonePreview::Kind::kColour;
            light.colour = light.swatch ? shown.colour : 0;
            lines.push_back(light);
        }
    }
    return lines;
}
