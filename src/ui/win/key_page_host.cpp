// The buttons page in the main window: its host answers with the main window and the real
// dialogs.
#include <memory>

#include "app/gvar.h"
#include "base/language_texts.h"
#include "base/log.h"
#include "ui/profiles_model.h"
#include "ui/win/firekey_dlg.h"
#include "ui/win/key_dlg.h"
#include "ui/win/main_dlg.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/pick_macro_dlg.h"
#include "ui/win/profile_file_dlg.h"

namespace {

class MainKeyPageHost : public KeyPageHost {
  public:
    explicit MainKeyPageHost(CZorvanDlg& main) : m_main(main) {}
    int CheckDeviceReady() override { return m_main.CheckDeviceReady(); }
    void ShowMacroPage() override { m_main.ShowPage(kPageMacros); }
    int ResetToDefaults() override { return m_main.ResetToDefaults(); }
    void ReadAgainAfterReset() override {
        m_main.Session().StartRead();
        m_main.ShowWaiting();
    }
    int SwitchProfile(int index) override {
        const int ok = ::SwitchProfile(m_main.Session().Usb(), index);
        // A profile chosen by hand stays until a program with another one comes to the front.
        if (ok == 1 && m_main.Follow()) m_main.Follow()->SetMouseProfile(index);
        return ok;
    }
    void EditProgramLinks() override { m_main.EditProgramLinks(); }
    bool Tell(const std::string& text) override {
        return ShowMessageText(text, m_main.m_hWnd) == IDOK;
    }
    bool Ask(const std::string& text) override { return AskYesNo(m_main.m_hWnd, text); }
    std::optional<int64_t> PickMacro() override {
        // The picker reads the macro folder afresh: its id, -1 for "a new macro", 0 cancelled.
        const int id = ::PickMacro(m_main.m_hWnd);
        if (id == 0) return std::nullopt;
        return id;
    }
    std::optional<CapturedCombo> CaptureCombo() override {
        CMsgDlg dlg;
        dlg.mode = MsgMode::kKeyCapture;
        dlg.text = GetText("tc_combo_tips");
        dlg.modifierCheckBoxes = gVar.ComboRec != 0;
        if (dlg.DoModal(m_main.m_hWnd) != IDOK) return std::nullopt;
        return dlg.captureResult;
    }
    std::optional<uint16_t> EditFire(const KeyInfo& current) override {
        return EditFireKey(m_main.m_hWnd, current);
    }
    void ExportProfile() override { ExportProfileWithDialog(m_main.m_hWnd); }
    void ImportProfile() override {
        // Every page shows the imported profile, not only this one.
        if (ImportProfileWithDialog(m_main.m_hWnd)) m_main.ShowProfile();
    }

  private:
    CZorvanDlg& m_main;
};

// The host is made before the page that refers to it.
struct KeyPageHostHolder {
    explicit KeyPageHostHolder(CZorvanDlg& main) : host(main) {}
    MainKeyPageHost host;
};

class CMainKeyDlg : private KeyPageHostHolder, public CKeyDlg {
  public:
    explicit CMainKeyDlg(CZorvanDlg& main) : KeyPageHostHolder(main), CKeyDlg(host) {}
};

}  // namespace

std::unique_ptr<CMainPage> CreateKeyPage(CZorvanDlg& main) {
    return std::make_unique<CMainKeyDlg>(main);
}
