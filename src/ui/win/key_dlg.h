// The buttons page: one row per button of the mouse with the name of its function, the mouse
// picture whose button under the cursor lights up, the function menu of a row, the profile
// selector, restore, export and import, and the debounce and auto-sleep controls. The rules
// are the buttons page model's (ui/buttons_page_model.h, ui/button_assignment.h,
// ui/key_page_layout.h); the window shows them and runs the dialogs a choice asks for.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "controls/win/gdi_handle.h"
#include "controls/win/png_btn.h"
#include "controls/win/skin_picture.h"
#include "profile/profile_file.h"
#include "ui/key_capture.h"
#include "ui/key_page_layout.h"
#include "ui/win/main_page.h"
#include "ui/win/value_dlgs.h"

// The picture of the mouse with one hotspot per button, lit when the page says so.
class CKeyMarkDlg : public CWndBase {
  public:
    ~CKeyMarkDlg() override;
    // Loads the device's pictures and places the window at ptMark over `pageBackground`
    // (pictures, place and hotspots doubled when `large`); false (with the message shown
    // through `tell`) when the picture is missing.
    bool Load(HWND page, const SensorCfg& cfg, SkinPicture* pageBackground, bool debugFrame,
              bool large, const std::function<void(const std::string&)>& tell);
    // Lights hotspot `row` and clears the others; above 15 clears all.
    void HighlightMark(int row);
    bool Lit(int i) const { return m_lit[static_cast<size_t>(i)]; }
    int ShownHotspots() const;
    // The shown hotspot under `pt` (this window's coordinates): the smallest that holds it,
    // as a button's box may reach over a smaller one beside it.
    std::optional<int> SpotAt(POINT pt) const;
    const ZvRect& Spot(int i) const { return m_spots[static_cast<size_t>(i)]; }

  protected:
    void OnPaint(CMemPaint& buf) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    PicturePtr m_normal, m_lit_pic;
    std::array<ZvRect, kKeysPerSet> m_spots{};
    std::array<bool, kKeysPerSet> m_shown{}, m_lit{};
    bool m_debugFrame = false;
};

class CKeyDlg : public CMainPage {
  public:
    // The profile summary's panel: right of the mouse picture (which ends by x 640 on every
    // shipped mouse), a head and one line per setting.
    static constexpr ZvRect kSummaryPanel{664, 58, 994, 0};
    static constexpr int kSummaryHead = 40, kSummaryLine = 26;
    static constexpr UINT kIdRow0 = 100, kIdProfile = 130, kIdRestore = 131, kIdExport = 132,
                          kIdImport = 133, kIdLinks = 134;
    static constexpr UINT_PTR kHoverTimer = 1;
    static constexpr UINT_PTR kReadAfterResetTimer = 2;
    static constexpr UINT kReadAfterResetMs = 500;
    static constexpr UINT kHoverMs = 300;

    explicit CKeyDlg(const PageParts& parts) : CMainPage(parts) {}
    ~CKeyDlg() override;

    // Shows the current profile record again (RefreshKeyPage).
    void RefreshKeyPage();
    // After a macro was saved, renamed or deleted: the rows again and, with applyKeys, all
    // buttons written.
    void MacrosChanged(bool applyKeys) override;
    // The menu's report of `value` for `row`.
    void OnFunctionChosen(uint32_t value, int row);
    // Stores `key` on `row` (the left-click guard's refusal is shown); 1 when stored.
    int SetKeyFunction(int row, const KeyInfo& key);
    // The hover timer's work: links a row and its button on the picture, so either shows
    // which is which. The row under the pointer lights its button; the button under the
    // pointer on the picture gives its row the pointed-at look; with neither, the row with the
    // keyboard focus is linked. The timer runs only while the pointer is over the page: it
    // starts when the pointer comes over the page or one of its controls and stops once the
    // pointer has left.
    void CheckHover();
    bool HoverTimerRunning() const { return m_hoverOn; }

    // For tests and screenshots.
    CPngBtn& Row(int i) { return m_rows[static_cast<size_t>(i)]; }
    CKeyMarkDlg& Mark() { return m_mark; }
    CComboBtn& ProfileSelector() { return m_profile; }
    CPngBtn& LinksButton() { return m_links; }
    CDebounceDlg& Debounce() { return m_debounce; }
    CAutoSleepDlg& AutoSleep() { return m_autoSleep; }
    void ClickRow(int row) { OnRowClicked(row); }
    // The lines the summary beside the mouse showed when last painted.
    int SummaryLinesShown() const { return m_summaryLines; }

    void LayoutForDevice() override;
    void DeviceChanged(DevBehaviorKind kind) override;

  protected:
    bool OnCreatePage() override;
    void OnTextsChanged() override;
    void OnRefresh() override;
    void OnPaintPage(CMemPaint& buf) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    bool Build();
    void DestroyControls();
    void OnRowClicked(int row);
    void StartHover();
    // Lights `row`'s button on the picture and gives the row the pointed-at look; none: all
    // off.
    void ShowLink(std::optional<int> row);
    std::optional<int> FocusedRow() const;
    // The current profile's settings from the other pages, beside the mouse picture.
    void PaintSummary(CMemPaint& buf);
    void OnProfileChosen(int32_t index);
    void OnRestore();
    void SetRowCaptions();
    void SetSelectorTexts();
    // Inside a Read of the profile.
    bool ValuesKnown(const ProfileState& s) const;
    // The mouse in use; an empty entry while there is none.
    const SensorCfg& DeviceCfg() const;

    std::array<CPngBtn, kKeysPerSet> m_rows;
    std::array<KeyRowPlace, kKeysPerSet> m_places{};
    std::array<PicturePtr, kKeysPerSet> m_numbers;
    PicturePtr m_rowPic;
    CKeyMarkDlg m_mark;
    CComboBtn m_profile;
    CPngBtn m_restore, m_export, m_import, m_links;
    CDebounceDlg m_debounce{m_profiles, m_options};
    CAutoSleepDlg m_autoSleep{m_profiles};
    bool m_menuWasOpen = false;  // a menu was open when the last command arrived
    bool m_hoverOn = false;      // the hover timer runs
    int m_summaryLines = 0;
    UiFont m_tipFont;
};
