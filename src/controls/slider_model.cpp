#include "controls/slider_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/log.h"

namespace {

// Division rounding towards minus infinity, so that pixels left of the track keep counting
// down instead of folding back onto index 0.
int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::vector<int32_t> CutList(const int32_t* values, int32_t count) {
    if (!values || count <= 0) return {};
    return std::vector<int32_t>(values, values + std::min(count, kMaxSliderEntries));
}

}  // namespace

std::vector<int32_t> ScalePositions(int32_t width, int32_t margin, int32_t count,
                                    std::optional<SliderWarning>* warning) {
    std::vector<int32_t> out;
    if (count <= 0) return out;
    count = std::min(count, kMaxSliderEntries);
    // The step is a float and the position accumulates in float, as the skins were laid
    // out against exactly these marks.
    const float step =
        count > 1 ? static_cast<float>(width - margin) / static_cast<float>(count - 1) : 0.0f;
    if (count > 1 && !(step > 0.0f) && warning)
        *warning = SliderWarning{"Scale num too much", "Warning"};
    float pos = static_cast<float>(margin / 2);
    for (int32_t k = 0; k < count; ++k) {
        out.push_back(static_cast<int32_t>(std::floor(pos)));
        pos += step;
    }
    return out;
}

void SliderScale::SetRange(int32_t minimum, int32_t maximum) {
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    SetIndex(m_index);
}

void SliderScale::SetValueList(const int32_t* values, int32_t count) {
    m_values = CutList(values, count);
}

void SliderScale::SetPositions(const int32_t* positions, int32_t count) {
    m_positions = CutList(positions, count);
}

void SliderScale::SetIndex(int32_t index) {
    m_index = (index < m_min || index > m_max) ? m_min : index;
}

int32_t SliderScale::ValueOf(int32_t index) const {
    if (index < m_min || index > m_max) return 0;
    if (m_values.empty()) return index;
    const int64_t k = static_cast<int64_t>(index) - m_min;
    return k < static_cast<int64_t>(m_values.size()) ? m_values[static_cast<size_t>(k)] : 0;
}

std::optional<int32_t> SliderScale::IndexOf(int32_t value) const {
    int64_t index = value;
    if (!m_values.empty()) {
        const auto it = std::find(m_values.begin(), m_values.end(), value);
        if (it == m_values.end()) return std::nullopt;
        index = static_cast<int64_t>(m_min) + (it - m_values.begin());
    }
    if (index < m_min || index > m_max) return m_min;
    return static_cast<int32_t>(index);
}

int32_t SliderScale::XOf(int32_t index, int32_t trackWidth) const {
    const int64_t k = static_cast<int64_t>(index) - m_min;
    if (k >= 0 && k < static_cast<int64_t>(m_positions.size()))
        return m_positions[static_cast<size_t>(k)];
    const int64_t span = static_cast<int64_t>(m_max) - m_min;
    if (span <= 0) return 0;
    return static_cast<int32_t>((trackWidth / span) * k);
}

int32_t SliderScale::IndexAt(int32_t x, int32_t trackWidth) const {
    int64_t index = m_min;
    if (!m_positions.empty()) {
        size_t best = 0;
        int64_t bestDist = INT64_MAX;
        for (size_t k = 0; k < m_positions.size(); ++k) {
            const int64_t d = std::llabs(static_cast<int64_t>(x) - m_positions[k]);
            if (d <= bestDist) {  // equally near: the later position wins
                best = k;
                bestDist = d;
            }
        }
        index = m_min + static_cast<int64_t>(best);
    } else {
        const int64_t span = static_cast<int64_t>(m_max) - m_min;
        if (span > 0 && trackWidth > 0) {
            const int64_t f = FloorDiv(span * x, trackWidth);
            const int64_t step = trackWidth / span;
            const bool next = std::llabs(x - step * (f + 1)) < std::llabs(x - step * f);
            index = m_min + f + (next ? 1 : 0);
        }
    }
    return static_cast<int32_t>(std::clamp<int64_t>(index, m_min, m_max));
}

// ---------------------------------------------------------------------------------------

void SliderThumb::BeginDrag(int32_t pointerX) {
    dragging = true;
    pressX = pointerX;
    leftAtPress = left;
    indexAtPress = scale.Index();
    lastDragValue.reset();
}

void SliderThumb::FollowPointer(int32_t pointerX, int32_t trackWidth) {
    left = std::max(0, std::min(leftAtPress + (pointerX - pressX), trackWidth - width));
}

bool SliderThumb::NewDragValue(int32_t value) {
    if (lastDragValue == value) return false;
    lastDragValue = value;
    return true;
}

// ---------------------------------------------------------------------------------------

SliderModel::SliderModel(SliderOwner& owner, int32_t controlNumber, int32_t trackWidth,
                         int32_t thumbWidth)
    : m_owner(owner), m_control(controlNumber), m_trackWidth(trackWidth) {
    m_thumb.width = thumbWidth;
    PlaceAt(m_thumb.scale.Index());
}

void SliderModel::SetRange(int32_t minimum, int32_t maximum) {
    m_thumb.scale.SetRange(minimum, maximum);
    PlaceAt(m_thumb.scale.Index());
}

std::optional<SliderWarning> SliderModel::SetScalePos(int32_t count, const int32_t* positions) {
    std::optional<SliderWarning> warning;
    const int64_t indices =
        static_cast<int64_t>(m_thumb.scale.Maximum()) - m_thumb.scale.Minimum() + 1;
    if (count != indices) {
        warning = SliderWarning{"CPngSlider::SetScalePos  dwScale and Range unmatch!", "Warning"};
        LogPrintf("%s", warning->text.c_str());
    }
    // The positions are kept either way: a page with a mismatched skin still gets a usable
    // slider, and the warning tells the skin's author.
    m_thumb.scale.SetPositions(positions, count);
    PlaceAt(m_thumb.scale.Index());
    return warning;
}

void SliderModel::SetValue(int32_t value, bool notify) {
    const std::optional<int32_t> index = m_thumb.scale.IndexOf(value);
    if (!index) return;
    PlaceAt(*index);
    if (notify) m_owner.Post(kSliderCommitted, GetValue(), m_control);
}

void SliderModel::PlaceAt(int32_t index) {
    m_thumb.scale.SetIndex(index);
    m_thumb.left = m_thumb.scale.XOf(m_thumb.scale.Index(), m_trackWidth) - m_thumb.width / 2;
    UpdateFill();
}

void SliderModel::UpdateFill() {
    if (!m_hasFill) return;
    m_fillWidth = std::max(0, m_thumb.Centre() + 1);
    // Without a thumb picture the slider is a level bar: full at its last step.
    if (!m_hasThumbImage && m_thumb.scale.Index() == m_thumb.scale.Maximum())
        m_fillWidth = m_trackWidth;
}

bool SliderModel::Allowed(int32_t wParam) {
    return m_owner.Send(kSliderMayChange, wParam, m_control) == 1;
}

void SliderModel::ClickTrack(int32_t x) {
    if (m_thumb.dragging) return;
    const int32_t index = m_thumb.scale.IndexAt(x, m_trackWidth);
    if (!Allowed(m_thumb.scale.ValueOf(index))) return;
    const int32_t before = GetValue();
    PlaceAt(index);
    if (GetValue() != before) m_owner.Post(kSliderCommitted, GetValue(), m_control);
}

bool SliderModel::PressThumb(int32_t pointerX) {
    if (!Allowed(m_thumb.scale.Index())) return false;
    m_thumb.BeginDrag(pointerX);
    return true;
}

void SliderModel::DragTo(int32_t pointerX) {
    if (!m_thumb.dragging) return;
    m_thumb.FollowPointer(pointerX, m_trackWidth);
    if (m_hasFill) m_fillWidth = std::max(0, m_thumb.Centre() + 1);
    if (!m_thumb.reportWhileDragging) return;
    const int32_t value =
        m_thumb.scale.ValueOf(m_thumb.scale.IndexAt(m_thumb.Centre(), m_trackWidth));
    if (m_thumb.NewDragValue(value)) m_owner.Post(kSliderDragging, value, m_control);
}

void SliderModel::Release(int32_t pointerX) {
    if (!m_thumb.dragging) return;
    m_thumb.dragging = false;
    m_thumb.FollowPointer(pointerX, m_trackWidth);
    const int32_t before = m_thumb.scale.ValueOf(m_thumb.indexAtPress);
    PlaceAt(m_thumb.scale.IndexAt(m_thumb.Centre(), m_trackWidth));
    m_thumb.lastDragValue.reset();
    if (GetValue() != before) m_owner.Post(kSliderCommitted, GetValue(), m_control);
}

bool SliderModel::KeyStep(StepKey key) {
    if (m_thumb.dragging) return false;
    const SliderScale& scale = m_thumb.scale;
    const int32_t index = SliderKeyIndex(key, scale.Index(), scale.Minimum(), scale.Maximum());
    if (index == scale.Index() || !Allowed(scale.ValueOf(index))) return false;
    PlaceAt(index);
    m_owner.Post(kSliderCommitted, GetValue(), m_control);
    return true;
}

void SliderModel::LayoutFor4K() {
    m_trackWidth *= 2;
    m_thumb.width *= 2;
    const auto count = static_cast<int32_t>(m_thumb.scale.Positions().size());
    if (count > 0) {
        const std::vector<int32_t> marks = ScalePositions(m_trackWidth, 20, count);
        m_thumb.scale.SetPositions(marks.data(), count);
    }
    PlaceAt(m_thumb.scale.Index());
}

// ---------------------------------------------------------------------------------------

TwoThumbSliderModel::TwoThumbSliderModel(SliderOwner& owner, int32_t controlNumber,
                                         int32_t trackWidth, int32_t trackHeight,
                                         int32_t thumbWidth)
    : m_owner(owner),
      m_control(controlNumber),
      m_trackWidth(trackWidth),
      m_trackHeight(trackHeight) {
    for (int t = 1; t <= 2; ++t) {
        Mut(t).width = thumbWidth;
        PlaceAt(t, Mut(t).scale.Index());
    }
}

void TwoThumbSliderModel::SetRange(int32_t minimum, int32_t maximum) {
    for (int t = 1; t <= 2; ++t) {
        Mut(t).scale.SetRange(minimum, maximum);
        PlaceAt(t, Mut(t).scale.Index());
    }
}

void TwoThumbSliderModel::SetValueList(const int32_t* values, int32_t count) {
    for (int t = 1; t <= 2; ++t) Mut(t).scale.SetValueList(values, count);
}

void TwoThumbSliderModel::SetScalePos(int32_t count, const int32_t* positions) {
    for (int t = 1; t <= 2; ++t) {
        Mut(t).scale.SetPositions(positions, count);
        PlaceAt(t, Mut(t).scale.Index());
    }
}

void TwoThumbSliderModel::SetReportWhileDragging(bool on) {
    for (int t = 1; t <= 2; ++t) Mut(t).reportWhileDragging = on;
}

void TwoThumbSliderModel::PlaceAt(int thumb, int32_t index) {
    SliderThumb& th = Mut(thumb);
    th.scale.SetIndex(index);
    th.left = th.scale.XOf(th.scale.Index(), m_trackWidth) - th.width / 2;
    if (thumb == 1) m_fillWidth = std::max(0, th.Centre() + 1);
}

void TwoThumbSliderModel::Commit(int thumb) {
    m_owner.Post(kSlider2Committed, GetValue(thumb), LParam(thumb));
}

void TwoThumbSliderModel::SetValue(int thumb, int32_t value, bool notify) {
    const std::optional<int32_t> index = Thumb(thumb).scale.IndexOf(value);
    if (!index) return;
    PlaceAt(thumb, *index);
    if (notify) Commit(thumb);
}

void TwoThumbSliderModel::ClickTrack(int32_t x, int32_t y) {
    if (Thumb(1).dragging || Thumb(2).dragging) return;
    const int thumb = (m_twoThumbs && y > m_trackHeight / 2) ? 2 : 1;
    const SliderScale& scale = Thumb(thumb).scale;
    const int32_t index = scale.IndexAt(x, m_trackWidth);
    if (m_owner.Send(kSlider2MayChange, scale.ValueOf(index), LParam(thumb)) == 0) return;
    PlaceAt(thumb, index);
    if (!m_twoThumbs) PlaceAt(2, index);  // the hidden thumb keeps the same place silently
    Commit(thumb);
}

bool TwoThumbSliderModel::PressThumb(int thumb, int32_t pointerX) {
    SliderThumb& th = Mut(thumb);
    if (m_owner.Send(kSlider2MayChange, th.scale.Index(), LParam(thumb)) == 0) return false;
    th.BeginDrag(pointerX);
    return true;
}

void TwoThumbSliderModel::DragTo(int thumb, int32_t pointerX) {
    SliderThumb& th = Mut(thumb);
    if (!th.dragging) return;
    th.FollowPointer(pointerX, m_trackWidth);
    if (thumb == 1 && !m_twoThumbs) m_fillWidth = std::max(0, th.Centre() + 1);
    if (!th.reportWhileDragging) return;
    // The thumb's centre, not the pointer: the thumb may be held anywhere on its face.
    const int32_t value = th.scale.ValueOf(th.scale.IndexAt(th.Centre(), m_trackWidth));
    if (th.NewDragValue(value)) m_owner.Post(kSlider2Dragging, value, LParam(thumb));
}

void TwoThumbSliderModel::Release(int thumb, int32_t pointerX) {
    SliderThumb& th = Mut(thumb);
    if (!th.dragging) return;
    th.dragging = false;
    const int32_t before = th.scale.ValueOf(th.indexAtPress);
    // Where the thumb was carried to: its centre moved as far as the pointer did. A click on
    // the thumb that did not move it leaves its value, wherever on the thumb it landed.
    th.FollowPointer(pointerX, m_trackWidth);
    PlaceAt(thumb,
            pointerX == th.pressX ? th.indexAtPress : th.scale.IndexAt(th.Centre(), m_trackWidth));
    th.lastDragValue.reset();
    // A drag that ends where it began changes nothing, so neither thumb reports.
    if (GetValue(thumb) == before) return;
    Commit(thumb);
    DragEnded(thumb, GetValue(thumb));
}

bool TwoThumbSliderModel::KeyStep(int thumb, StepKey key) {
    if (Thumb(1).dragging || Thumb(2).dragging) return false;
    const SliderScale& scale = Thumb(thumb).scale;
    const int32_t index = SliderKeyIndex(key, scale.Index(), scale.Minimum(), scale.Maximum());
    if (index == scale.Index()) return false;
    if (m_owner.Send(kSlider2MayChange, scale.ValueOf(index), LParam(thumb)) == 0) return false;
    PlaceAt(thumb, index);
    if (!m_twoThumbs) PlaceAt(thumb == 1 ? 2 : 1, index);
    Commit(thumb);
    return true;
}

void TwoThumbSliderModel::DragEnded(int thumb, int32_t value) {
    // In single-value mode the hidden thumb follows, and the owner hears about it too.
    if (!m_twoThumbs) SetValue(thumb == 1 ? 2 : 1, value, true);
}

void TwoThumbSliderModel::LayoutFor4K() {
    m_trackWidth *= 2;
    m_trackHeight *= 2;
    const auto count = static_cast<int32_t>(Thumb(1).scale.Positions().size());
    const std::vector<int32_t> marks =
        count > 0 ? ScalePositions(m_trackWidth, 20, count) : std::vector<int32_t>{};
    for (int t = 1; t <= 2; ++t) {
        Mut(t).width *= 2;
        if (count > 0) Mut(t).scale.SetPositions(marks.data(), count);
        PlaceAt(t, Mut(t).scale.Index());
    }
}
