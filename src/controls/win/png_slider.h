// The skinned stepped sliders: a track window with one thumb (CPngSliderBar / CPngSlider) or
// two (CPngHSliderBarEx / CPngHSliderEx, the DPI bar with its X and Y thumbs). Every decision
// (which index a pixel stands for, what the owner is asked, which message it gets) is the
// slider model's; these windows only turn mouse input into model calls, move the thumb windows
// where the model put them and draw the skin pictures.
//
//     SliderArgs a;
//     a.id = 272;  a.rc = {100, 465, 361, 475};  a.background = pageBackground;
//     a.track = "bar_nr.png";  a.fill = "bar_ov.png";  a.thumb = "slider.png";
//     a.minimum = 1;  a.maximum = 10;
//     NewSmallPngSliderBar(&m_light, m_hWnd, a, Theme());
//
// The owner receives the messages of slider_model.h (0x800 ... 0x80B) and answers the
// may-I-change questions 0x802 / 0x806.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/slider_model.h"
#include "controls/win/skin_picture.h"
#include "controls/win/ui_theme.h"
#include "controls/win/wnd_base.h"

// How a slider is made.
struct SliderArgs {
    UINT id = 0;                        // control number, lParam of the owner's messages
    RECT rc{};                          // place in the owner
    SkinPicture* background = nullptr;  // the owner's picture, cut at rc behind the track
    std::string track, fill;            // skin files: the track (required) and its filled part
    std::string thumb;                  // the (first) thumb; empty: a thumbless level bar
    std::string thumb2;                 // two-thumb sliders: the Y thumb
    POINT trackOffset{};                // where the track picture lies inside the control
    int thumbY = 0;                     // the (single-value) thumb's offset below the top
    int32_t minimum = 0, maximum = 10;
    // Instead of `background`: the picture the owner draws over its whole client area, asked
    // for at each paint (it may be let go and made again while the owner is hidden). The track
    // draws its part of it and keeps no copy.
    std::function<SkinPicture*()> ownerBackground;
};

class CSliderTrack;

// A thumb window: draws the part of its track behind itself and its picture, and hands mouse
// input to its track.
class CSliderThumb : public CWndBase {
  public:
    // `picture` (not owned; null: an empty thumb) stays with the track.
    bool Create(CSliderTrack& track, int number, SkinPicture* picture);
    int Number() const { return m_number; }
    SkinPicture* Picture() const { return m_picture; }
    void SetPicture(SkinPicture* picture) { m_picture = picture; }
    // The thumb's size: its picture's, doubled on large screens.
    SIZE Size() const;
    // Moves and sizes the window to the picture at (left, top) in track coordinates.
    void Place(int left, int top);
    // The thumb's left edge in track coordinates.
    int Left() const;

  protected:
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    void OnPaint(CMemPaint& buf) override;

  private:
    CSliderTrack* m_track = nullptr;
    int m_number = 1;
    SkinPicture* m_picture = nullptr;
};

// What both tracks share: the track and fill pictures over the owner's background, painting,
// the owner link.
class CSliderTrack : public CWndBase, protected SliderOwner {
  public:
    ~CSliderTrack() override;
    // Draws the track as it looks now with its top-left at (dx, dy); thumbs draw the part
    // behind them this way, so their transparent pixels show the track and its fill.
    void Render(Gdiplus::Graphics& g, int dx, int dy);
    bool Large() const { return m_large; }

    // Keyboard: a Tab stop; the arrows move one step of the slider's own list, PageUp/PageDown
    // several, Home/End to the ends, through the model as a click on that mark would. Two
    // thumbs showing X and Y: Left/Right (and the page keys, Home, End) move X, Up/Down move Y;
    // with Shift the page keys, Home and End move Y.
    bool TakesTab() const override { return true; }
    bool WantsKey(UINT vk) const override;
    AccessibleInfo Describe() const override;

    // From the thumbs: pointer x in track coordinates. Press answers whether a drag begins.
    virtual bool ThumbPressed(int thumb, int x) = 0;
    virtual void ThumbMoved(int thumb, int x) = 0;
    virtual void ThumbReleased(int thumb, int x) = 0;

  protected:
    // Creates the window and loads the pictures; a warning names a track file that does not
    // load.
    bool CreateTrack(HWND owner, const SliderArgs& a, const UiTheme& theme, const char* who);
    virtual int FillWidth() const = 0;
    virtual bool DrawsFill() const = 0;
    virtual const std::vector<int32_t>& Marks() const = 0;
    virtual void Sync() = 0;  // thumb windows to the model, then redraw
    void OnPaint(CMemPaint& buf) override;
    // The window at twice its place and size, pictures stretched from now on.
    void DoubleTrack();
    // Creates and places thumb `number`, hidden when `picture` is missing.
    bool CreateThumb(CSliderThumb& thumb, int number, SkinPicture* picture);
    // A key for the thumb(s); true when something moved.
    virtual bool OnStepKey(StepKey key, bool vertical, bool shift) = 0;
    // What the value reads as for a screen reader.
    virtual std::string ValueText() const = 0;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // SliderOwner: the owner window.
    intptr_t Send(uint32_t msg, intptr_t wParam, intptr_t lParam) override;
    void Post(uint32_t msg, intptr_t wParam, intptr_t lParam) override;

    HWND m_owner = nullptr;
    // The skin files as loaded (shared with every slider that uses them), drawn over the
    // background at m_trackAt: nothing is composed into a picture of the slider's own.
    PicturePtr m_trackPic, m_fillPic;
    POINT m_trackAt{};
    std::function<SkinPicture*()> m_ownerBackground;
    PicturePtr m_backgroundPart;  // without an owner's background: the part behind the track
    bool m_large = false, m_debugFrame = false;
    COLORREF m_focusColour = RGB(255, 196, 0);
    int m_width = 0, m_height = 0;

  private:
    // The background behind the track, clipped to `whole` (the track at its place).
    void DrawBackground(Gdiplus::Graphics& g, const RECT& whole);
    // A skin picture at the track offset, doubled on large screens.
    void DrawOver(Gdiplus::Graphics& g, SkinPicture* p, int dx, int dy);
};

// The single-thumb slider.
class CPngSlider : public CSliderThumb {};

class CPngSliderBar : public CSliderTrack {
  public:
    bool Create(HWND owner, const SliderArgs& a, const UiTheme& theme);
    void SetRange(int32_t minimum, int32_t maximum);
    void SetValueList(const int32_t* values, int32_t count);
    // A count that does not match the range shows the warning; the positions are kept.
    void SetScalePos(int32_t count, const int32_t* positions);
    void SetValue(int32_t value, bool notify);
    int32_t GetValue() const { return m_model ? m_model->GetValue() : 0; }
    void LayoutFor4K();
    const SliderModel* Model() const { return m_model.get(); }

    bool ThumbPressed(int thumb, int x) override;
    void ThumbMoved(int thumb, int x) override;
    void ThumbReleased(int thumb, int x) override;

  protected:
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    bool OnStepKey(StepKey key, bool vertical, bool shift) override;
    std::string ValueText() const override;
    int FillWidth() const override { return m_model->FillWidth(); }
    bool DrawsFill() const override { return m_model->FillWidth() > 0; }
    const std::vector<int32_t>& Marks() const override {
        return m_model->Thumb().scale.Positions();
    }
    void Sync() override;

  private:
    std::unique_ptr<SliderModel> m_model;
    CPngSlider m_thumb;
    PicturePtr m_picture;
    int m_thumbY = 0;
};

// The two-thumb slider (the DPI bar).
class CPngHSliderEx : public CSliderThumb {};

class CPngHSliderBarEx : public CSliderTrack {
  public:
    bool Create(HWND owner, const SliderArgs& a, const UiTheme& theme);
    void SetRange(int32_t minimum, int32_t maximum);
    void SetValueList(const int32_t* values, int32_t count);
    void SetScalePos(int32_t count, const int32_t* positions);
    // Thumb 1 or 2.
    void SetValue(int thumb, int32_t value, bool notify);
    int32_t GetValue(int thumb) const { return m_model ? m_model->GetValue(thumb) : 0; }
    // On: X thumb on top, Y thumb at the bottom, no fill. Off: one thumb `thumbY` below the
    // top with `single` (not owned; null keeps the X thumb's picture), the fill drawn up to it.
    void SetTwoThumbs(bool on, SkinPicture* single, int thumbY);
    bool TwoThumbs() const { return m_model && m_model->TwoThumbs(); }
    void SetReportWhileDragging(bool on);
    void LayoutFor4K();
    const TwoThumbSliderModel* Model() const { return m_model.get(); }
    CPngHSliderEx& ThumbWnd(int thumb) { return thumb == 2 ? m_thumb2 : m_thumb1; }

    bool ThumbPressed(int thumb, int x) override;
    void ThumbMoved(int thumb, int x) override;
    void ThumbReleased(int thumb, int x) override;

  protected:
    bool OnMouse(UINT msg, POINT pt, WPARAM keys) override;
    bool OnStepKey(StepKey key, bool vertical, bool shift) override;
    std::string ValueText() const override;
    int FillWidth() const override { return m_model->FillWidth(); }
    bool DrawsFill() const override { return m_model->DrawsFill(); }
    const std::vector<int32_t>& Marks() const override {
        return m_model->Thumb(1).scale.Positions();
    }
    void Sync() override;

  private:
    std::unique_ptr<TwoThumbSliderModel> m_model;
    CPngHSliderEx m_thumb1, m_thumb2;
    PicturePtr m_picture1, m_picture2;
    SkinPicture* m_single = nullptr;  // thumb 1's picture in single-value mode
    int m_thumbY = 0;
};

// Factories: 1 with the slider made, 0 (after the warning "NewSmallPngSliderBar Error. file %s
// not exist" or its two-thumb twin) when the track file does not load.
int NewSmallPngSliderBar(CPngSliderBar* bar, HWND owner, const SliderArgs& a, const UiTheme& theme);
int NewSmallPngHSliderBarEx(CPngHSliderBarEx* bar, HWND owner, const SliderArgs& a,
                            const UiTheme& theme);
