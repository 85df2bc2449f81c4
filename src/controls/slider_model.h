// The decisions of the stepped sliders without a window: which index a pixel stands for,
// where a thumb goes, what the owner is asked before a change and which change messages it
// gets. A slider never holds a free pixel position, only an index of its range; each index
// may stand for an entry of a value list (a sensor's DPI values, for example).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/keyboard_model.h"

// Messages a slider sends or posts to its owner.
enum SliderMessage : uint32_t {
    kSliderCommitted = 0x800,   // single thumb: wParam value, lParam control number
    kSliderDragging = 0x801,    // single thumb: value under the thumb while dragging
    kSliderMayChange = 0x802,   // single thumb, sent: the answer must be exactly 1
    kSlider2Committed = 0x804,  // two thumbs: lParam thumb number << 16 | control number
    kSlider2DragEnded = 0x805,  // thumb to its own track only
    kSlider2MayChange = 0x806,  // two thumbs, sent: any non-zero answer allows
    kSlider2Dragging = 0x80B,   // two thumbs: value under the pointer while dragging
};

constexpr int kMaxSliderEntries = 650;  // value list and scale positions are cut to this

// The slider's owner (the page): it is asked before a change and told about changes.
class SliderOwner {
  public:
    virtual ~SliderOwner() = default;
    virtual intptr_t Send(uint32_t msg, intptr_t wParam, intptr_t lParam) = 0;
    virtual void Post(uint32_t msg, intptr_t wParam, intptr_t lParam) = 0;
};

// A message box the window shows for a slider set up badly.
struct SliderWarning {
    std::string text;
    std::string caption;
};

// Scale positions of n marks over a track of `width` pixels with `margin` pixels left free
// (half at each end). `warning` is set when the marks do not fit ("Scale num too much"); the
// positions are made anyway.
std::vector<int32_t> ScalePositions(int32_t width, int32_t margin, int32_t count,
                                    std::optional<SliderWarning>* warning = nullptr);

// The value model of one thumb: range, value list, scale positions and current index.
class SliderScale {
  public:
    void SetRange(int32_t minimum, int32_t maximum);
    void SetValueList(const int32_t* values, int32_t count);
    void SetPositions(const int32_t* positions, int32_t count);

    int32_t Minimum() const { return m_min; }
    int32_t Maximum() const { return m_max; }
    int32_t Index() const { return m_index; }
    // Stores the index, an index outside the range becoming the minimum.
    void SetIndex(int32_t index);
    const std::vector<int32_t>& Positions() const { return m_positions; }

    // The value an index stands for: the list entry, 0 outside the range or the list, the
    // index itself without a list.
    int32_t ValueOf(int32_t index) const;
    int32_t Value() const { return ValueOf(m_index); }
    // The index of a value (first equal list entry); none when the list does not hold it.
    // Without a list the value is the index; outside the range it becomes the minimum.
    std::optional<int32_t> IndexOf(int32_t value) const;

    // Pixel x (track coordinates) of an index, and the index nearest a pixel x.
    int32_t XOf(int32_t index, int32_t trackWidth) const;
    int32_t IndexAt(int32_t x, int32_t trackWidth) const;

  private:
    int32_t m_min = 0, m_max = 10, m_index = 0;
    std::vector<int32_t> m_values;
    std::vector<int32_t> m_positions;
};

// One thumb's place and drag state inside its track.
struct SliderThumb {
    SliderScale scale;
    int32_t left = 0;   // thumb window's left edge in track coordinates
    int32_t width = 0;  // thumb window's width
    bool dragging = false;
    int32_t pressX = 0;  // pointer x at the press
    int32_t leftAtPress = 0;
    int32_t indexAtPress = 0;
    std::optional<int32_t> lastDragValue;  // last value reported while dragging
    bool reportWhileDragging = false;

    int32_t Centre() const { return left + width / 2; }
    // Starts a drag at this pointer position.
    void BeginDrag(int32_t pointerX);
    // Follows the pointer horizontally, kept inside the track.
    void FollowPointer(int32_t pointerX, int32_t trackWidth);
    // Whether a value reached while dragging is new, and remembers it.
    bool NewDragValue(int32_t value);
};

// A single-thumb slider: track and thumb.
class SliderModel {
  public:
    SliderModel(SliderOwner& owner, int32_t controlNumber, int32_t trackWidth, int32_t thumbWidth);

    void SetRange(int32_t minimum, int32_t maximum);
    void SetValueList(const int32_t* values, int32_t count) {
        m_thumb.scale.SetValueList(values, count);
    }
    // Keeps the first 650 positions; a count that does not match the range gives the warning
    // (also logged) the window shows.
    std::optional<SliderWarning> SetScalePos(int32_t count, const int32_t* positions);
    // A value outside the list changes nothing and reports nothing.
    void SetValue(int32_t value, bool notify);
    int32_t GetValue() const { return m_thumb.scale.Value(); }

    void SetHasFill(bool fill) { m_hasFill = fill; }
    void SetHasThumbImage(bool image) { m_hasThumbImage = image; }
    void SetReportWhileDragging(bool on) { m_thumb.reportWhileDragging = on; }

    // Mouse input, x in track coordinates.
    void ClickTrack(int32_t x);
    bool PressThumb(int32_t pointerX);  // false when the owner refused
    void DragTo(int32_t pointerX);
    void Release(int32_t pointerX);
    // A key moves the thumb as a click on that mark would: the owner is asked first and hears
    // of the new value; a key at the end of the range changes and reports nothing. False when
    // nothing moved.
    bool KeyStep(StepKey key);

    // Doubles the control for the high-resolution layout.
    void LayoutFor4K();

    const SliderThumb& Thumb() const { return m_thumb; }
    int32_t TrackWidth() const { return m_trackWidth; }
    int32_t FillWidth() const { return m_fillWidth; }

  private:
    void PlaceAt(int32_t index);
    void UpdateFill();
    bool Allowed(int32_t wParam);

    SliderOwner& m_owner;
    int32_t m_control;
    int32_t m_trackWidth;
    SliderThumb m_thumb;
    bool m_hasFill = false;
    bool m_hasThumbImage = true;
    int32_t m_fillWidth = 0;
};

// The two-thumb slider: thumb 1 on top (X), thumb 2 below (Y) in X/Y mode; in single-value
// mode only thumb 1 is shown and thumb 2 follows it.
class TwoThumbSliderModel {
  public:
    TwoThumbSliderModel(SliderOwner& owner, int32_t controlNumber, int32_t trackWidth,
                        int32_t trackHeight, int32_t thumbWidth);

    void SetRange(int32_t minimum, int32_t maximum);
    void SetValueList(const int32_t* values, int32_t count);
    void SetScalePos(int32_t count, const int32_t* positions);
    void SetTwoThumbs(bool on) { m_twoThumbs = on; }
    bool TwoThumbs() const { return m_twoThumbs; }
    void SetReportWhileDragging(bool on);

    // thumb is 1 or 2.
    void SetValue(int thumb, int32_t value, bool notify);
    int32_t GetValue(int thumb) const { return Thumb(thumb).scale.Value(); }

    void ClickTrack(int32_t x, int32_t y);
    bool PressThumb(int thumb, int32_t pointerX);
    void DragTo(int thumb, int32_t pointerX);
    void Release(int thumb, int32_t pointerX);
    // A key moves `thumb` as a click on that mark would (in single-value mode the hidden
    // thumb follows silently); nothing at the end of the range. False when nothing moved.
    bool KeyStep(int thumb, StepKey key);

    void LayoutFor4K();

    const SliderThumb& Thumb(int thumb) const { return m_thumbs[thumb == 2 ? 1 : 0]; }
    int32_t FillWidth() const { return m_fillWidth; }
    bool DrawsFill() const { return !m_twoThumbs && m_fillWidth > 0; }

  private:
    SliderThumb& Mut(int thumb) { return m_thumbs[thumb == 2 ? 1 : 0]; }
    void PlaceAt(int thumb, int32_t index);
    intptr_t LParam(int thumb) const { return (static_cast<intptr_t>(thumb) << 16) | m_control; }
    void Commit(int thumb);
    void DragEnded(int thumb, int32_t value);

    SliderOwner& m_owner;
    int32_t m_control;
    int32_t m_trackWidth, m_trackHeight;
    SliderThumb m_thumbs[2];
    bool m_twoThumbs = false;
    int32_t m_fillWidth = 0;
};
