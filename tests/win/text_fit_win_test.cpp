// Every text the program draws fits its place and stands out from what it is drawn on, in every
// language of the catalogue, on every page and dialog and with each mouse of the catalogue:
// measured with the font and format each text is drawn with, and against the pixels under its
// letters, while the real windows paint.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/language_select.h"
#include "base/ini_file.h"
#include "base/language_texts.h"
#include "controls/button_model.h"
#include "platform/hid.h"
#include "sim/virtual_receiver.h"
#include "support/temp_dir.h"
#include "ui/win/about_dlg.h"
#include "ui/win/firekey_dlg.h"
#include "ui/win/links_dlg.h"
#include "ui/win/main_dlg.h"
#include "ui/win/move_dlg.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/pick_macro_dlg.h"
#include "ui/win/progress_dlg.h"
#include "win/main_window_start.h"
#include "win/ui_host.h"

namespace {

class OpenMainDlg : public CZorvanDlg {
  public:
    OpenMainDlg() : CZorvanDlg(false) {}
    bool Open() { return CreateDialogWindow(nullptr); }
    void ShowText(const std::string&) override {}
};

std::string Lines(const std::set<std::string>& all) {
    std::string out;
    for (const std::string& s : all) out += s + "\n";
    return out;
}

// A dialog's window without its modal run.
template <class D>
class Opened : public D {
  public:
    using D::CreateDialogWindow;
    using D::D;
};

class TextFitWin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(zvtest::StartMainWindowTest(data.path(), "Zorvan text fit test"));
        gVar.ShowMacro = 1;
        // What the windows say is not this test's matter; it must only not wait for a click.
        zvtest::RecordMessageBoxes(boxes);
        SetTextFitHook([this](const TextMisfit& m) {
            const std::string line = where + ": \"" + m.text + "\" needs " +
                                     std::to_string(m.needed.cx) + "x" +
                                     std::to_string(m.needed.cy) + ", has " +
                                     std::to_string(m.place.right - m.place.left) + "x" +
                                     std::to_string(m.place.bottom - m.place.top);
            misfits.insert(line);
        });
        SetTextContrastHook([this](const TextOnBackground& t) {
            const double ratio = ContrastRatio(t.colour, t.background);
            Worst& w = worst[t.colour];
            if (w.text.empty() || ratio < w.ratio) w = Worst{ratio, t.background, t.text, where};
            if (ratio >= kMinTextContrast) return;
            char line[96];
            std::snprintf(line, sizeof line, "\" in #%06X on #%06X: %.2f:1", Hex(t.colour),
                          Hex(t.background), ratio);
            lowContrast.insert(where + ": \"" + t.text + line);
        });
    }
    void TearDown() override {
        // ZORVAN_CONTRAST_LIST=1 prints each text colour with the background it stood out
        // least from, for the notes on the look.
        if (const char* list = std::getenv("ZORVAN_CONTRAST_LIST"); list && *list == '1')
            for (const auto& [colour, w] : worst)
                std::printf("#%06X on #%06X  %5.2f:1  \"%s\" (%s)\n", Hex(colour),
                            Hex(w.background), w.ratio, w.text.c_str(), w.where.c_str());
        SetTextContrastHook(nullptr);
        SetTextFitHook(nullptr);
        platform::SetHidBackend(nullptr);
        platform::SetMessageBoxHook(nullptr);
        LoadDefaultTexts(gVar.szAppDir);
    }
    // Paints `wnd` and all its children now, so every text is drawn (and measured) once.
    static void PaintAll(HWND wnd) {
        ::RedrawWindow(wnd, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        zvtest::Pump(30);
    }
    // The main window in language `lang` over a virtual receiver with mouse `cfg`, read and
    // ready, each of its pages painted.
    void VisitMainWindow(int lang, const SensorCfg& cfg, const std::string& screen = "") {
        ASSERT_TRUE(WriteIniString(data.path() + "lang.ini", "OPT", "LangIndex",
                                   std::to_string(lang), nullptr));
        auto backend = std::make_shared<sim::VirtualBackend>();
        sim::ReceiverConfig rc;
        rc.cid = static_cast<uint32_t>(cfg.CID);
        rc.mid = static_cast<uint32_t>(cfg.MID);
        // A full battery gives the header's widest percentage.
        backend->AddReceiver(rc)->WithMouse([](sim::VirtualMouse& m) { m.State().battery = 100; });
        platform::SetHidBackend(backend);
        const std::string base = gVar.Lang[static_cast<size_t>(lang)].folder + " mouse " +
                                 std::to_string(cfg.CID) + "/" + std::to_string(cfg.MID) + screen;
        where = base + " reading";
        OpenMainDlg dlg;
        ASSERT_TRUE(dlg.Open());
        ::ShowWindow(dlg.m_hWnd, SW_SHOW);
        for (int n = 0; n < 200 && dlg.DeviceStateNow() != MainDeviceState::kReady; ++n)
            zvtest::Pump(50);
        ASSERT_EQ(dlg.DeviceStateNow(), MainDeviceState::kReady);
        static constexpr MainPageType kPages[4] = {kPageButtons, kPagePerformance, kPageMacros,
                                                   kPageLighting};
        for (MainPageType page : kPages) {
            where = base + " page " + std::to_string(page);
            dlg.ShowPage(page);
            PaintAll(dlg.m_hWnd);
        }
        where.clear();
        dlg.DestroyWindow();
        platform::SetHidBackend(nullptr);
    }

    // Dialog `dlg` shown and painted once, then closed.
    template <class D>
    void VisitDialog(const std::string& what, Opened<D>& dlg) {
        where = what;
        ASSERT_TRUE(dlg.CreateDialogWindow(nullptr)) << what;
        ::ShowWindow(dlg.m_hWnd, SW_SHOW);
        PaintAll(dlg.m_hWnd);
        dlg.DestroyWindow();
        where.clear();
    }

    // A COLORREF as it is written in a style sheet: #RRGGBB.
    static unsigned Hex(COLORREF c) {
        return (unsigned{GetRValue(c)} << 16) | (unsigned{GetGValue(c)} << 8) | GetBValue(c);
    }

    zvtest::TempDir data;
    std::vector<std::string> boxes;
    std::string where;
    std::set<std::string> misfits;
    std::set<std::string> lowContrast;  // texts that stand out less than a reader needs
    struct Worst {
        double ratio = 0;
        COLORREF background = 0;
        std::string text, where;
    };
    std::map<COLORREF, Worst> worst;  // per text colour, the background it stood out least from
};

TEST_F(TextFitWin, EveryPageOfEveryMouseInEveryLanguage) {
    ASSERT_GE(gVar.nLangNum, 3);
    for (int lang = 0; lang < gVar.nLangNum; ++lang) {
        for (const SensorCfg& cfg : gVar.SensorCfgs) {
            if (cfg.Sensor == 0) continue;
            VisitMainWindow(lang, cfg);
            if (HasFatalFailure()) return;
        }
    }
    // The large-screen layout, with the first mouse: its fonts do not grow quite as much as
    // its places do, but a text placed by hand in normal terms might still not fit.
    gVar.b4K = 1;
    for (int lang = 0; lang < gVar.nLangNum; ++lang) {
        VisitMainWindow(lang, gVar.SensorCfgs[0], " 4K");
        if (HasFatalFailure()) break;
    }
    gVar.b4K = 0;
    EXPECT_TRUE(misfits.empty()) << Lines(misfits);
    EXPECT_TRUE(lowContrast.empty()) << Lines(lowContrast);
}

TEST_F(TextFitWin, EveryDialogInEveryLanguage) {
    ASSERT_GE(gVar.nLangNum, 3);
    gVar.pSensorCfg = &gVar.SensorCfgs[0];
    for (int lang = 0; lang < gVar.nLangNum; ++lang) {
        const std::string folder = gVar.Lang[static_cast<size_t>(lang)].folder;
        ASSERT_TRUE(LoadTexts(LanguageTextPath(lang))) << folder;
        KeyInfo fire;
        fire.dwFunID = 0x080000A4;
        fire.dwParameter = 0x1402;
        Opened<CFirekeyDlg> fireDlg(fire, UiTheme{});
        VisitDialog(folder + " fire", fireDlg);
        Opened<CAboutDlg> about(gVar, gVar);
        VisitDialog(folder + " about", about);
        Opened<CMoveDlg> move;
        VisitDialog(folder + " move", move);
        Opened<CPickMacroDlg> pick;
        VisitDialog(folder + " macro picker", pick);
        Opened<CLinksDlg> links{ProgramLinks{}};
        VisitDialog(folder + " links", links);
        Opened<CProgressDlg> progress;
        progress.text = GetText("tc_msg12");
        progress.textRect = {15, 12, 455, 32};
        progress.barRect = {45, 101, 486, 123};
        VisitDialog(folder + " progress", progress);
        // Each kind of message dialog with the longest question the program asks.
        const struct {
            MsgMode mode;
            const char* text;
        } messages[] = {{MsgMode::kMessage, "tc_msg15"},
                        {MsgMode::kQuestion, "tc_msg5"},
                        {MsgMode::kTextInput, "tc_msg14"},
                        {MsgMode::kNumberInput, "tc_msg14"},
                        {MsgMode::kKeyCapture, "tc_msg14"}};
        for (const auto& m : messages) {
            Opened<CMsgDlg> msg;
            msg.mode = m.mode;
            msg.text = GetText(m.text);
            msg.modifierCheckBoxes = m.mode == MsgMode::kKeyCapture;
            VisitDialog(folder + " message " + std::to_string(static_cast<int>(m.mode)), msg);
        }
    }
    EXPECT_TRUE(misfits.empty()) << Lines(misfits);
    EXPECT_TRUE(lowContrast.empty()) << Lines(lowContrast);
}

}  // namespace
