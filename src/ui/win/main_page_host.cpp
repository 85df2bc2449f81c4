// The main window as its pages' host: it answers with itself, its session and the real
// dialogs.
#include "app/gvar.h"
#include "base/language_texts.h"
#include "ui/import_limits.h"
#include "ui/lighting_model.h"
#include "ui/profiles_model.h"
#include "ui/win/firekey_dlg.h"
#include "ui/win/main_dlg.h"
#include "ui/win/msg_dlg.h"
#include "ui/win/pick_macro_dlg.h"
#include "ui/win/profile_file_dlg.h"

bool CZorvanDlg::Tell(const std::string& text) {
    return ShowMessageText(text, m_hWnd) == IDOK;
}

bool CZorvanDlg::Ask(const std::string& text) {
    return AskYesNo(m_hWnd, text);
}

void CZorvanDlg::RefreshButtons(bool applyKeys) {
    if (auto& p = m_pages[kPageButtons]) p->MacrosChanged(applyKeys);
}

bool CZorvanDlg::LightingHeld() {
    return LightingBlocked(m_session->Usb());
}

void CZorvanDlg::ReadAgainAfterReset() {
    m_session->StartRead();
    ShowWaiting();
}

int CZorvanDlg::SwitchProfile(int index) {
    const int ok = ::SwitchProfile(m_session->Usb(), index);
    // A profile chosen by hand stays until a program with another one comes to the front.
    if (ok == 1 && m_follow) m_follow->SetMouseProfile(index);
    return ok;
}

std::optional<int64_t> CZorvanDlg::PickMacro() {
    // The picker reads the macro folder afresh: its id, -1 for "a new macro", 0 cancelled.
    const int id = ::PickMacro(m_hWnd);
    if (id == 0) return std::nullopt;
    return id;
}

std::optional<CapturedCombo> CZorvanDlg::CaptureCombo() {
    CMsgDlg dlg;
    dlg.mode = MsgMode::kKeyCapture;
    dlg.text = GetText("tc_combo_tips");
    dlg.modifierCheckBoxes = gVar.ComboRec != 0;
    if (dlg.DoModal(m_hWnd) != IDOK) return std::nullopt;
    return dlg.captureResult;
}

std::optional<uint16_t> CZorvanDlg::EditFire(const KeyInfo& current) {
    return EditFireKey(m_hWnd, current);
}

void CZorvanDlg::ExportProfile() {
    ExportProfileWithDialog(m_hWnd, m_profile, m_macros);
}

void CZorvanDlg::ImportProfile() {
    // Every page shows the imported profile, not only the buttons page.
    if (ImportProfileWithDialog(m_hWnd, m_profile, PageImportRules(gVar, gVar, m_macros), m_macros))
        ShowProfile();
}
