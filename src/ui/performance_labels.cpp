#include "ui/performance_labels.h"

#include "base/language_texts.h"

namespace {

PageLabel Line(std::string text, ZvRect place, LabelAlign align,
               LabelRank rank = LabelRank::kLabel) {
    PageLabel l;
    l.text = std::move(text);
    l.place = place;
    l.align = align;
    l.rank = rank;
    return l;
}

PageLabel Block(std::string text, ZvRect place, LabelAlign align, LabelRank rank) {
    PageLabel l = Line(std::move(text), place, align, rank);
    l.wraps = true;
    return l;
}

// The texts both pages place the same way beside the same controls.
void BesideShared(const PerfControlPlaces& c, std::vector<PageLabel>& out) {
    if (c.xy) {
        const ZvRect& b = *c.xy;
        out.push_back(Line(GetText("tc_msg19"),
                           {b.right + 8, b.top - 3, b.right + 250, b.bottom + 3},
                           LabelAlign::kLeft));
    }
    if (c.levels) {
        const ZvRect& b = *c.levels;
        out.push_back(Line(GetText("tc_adv_str19"), {b.left - 160, b.top, b.left - 10, b.bottom},
                           LabelAlign::kRight));
    }
}

void UnderRateButtons(const PerfControlPlaces& c, std::vector<PageLabel>& out) {
    for (int k = 0; k < kRateButtons; ++k) {
        const std::optional<ZvRect>& r = c.rate[static_cast<size_t>(k)];
        if (!r) continue;
        out.push_back(Line(RateLabel(k),
                           {r->left - 30, r->bottom + 5, r->right + 30, r->bottom + 25},
                           LabelAlign::kCentre));
    }
}

void UnderLiftOffButtons(const PerfControlPlaces& c, std::vector<PageLabel>& out) {
    for (int k = 0; k < 2; ++k) {
        const std::optional<ZvRect>& b = c.liftOff[static_cast<size_t>(k)];
        if (!b) continue;
        out.push_back(Line(LiftOffLabel(k + 1),
                           {b->left - 20, b->bottom + 5, b->right + 20, b->bottom + 25},
                           LabelAlign::kCentre));
    }
}

// The effect combo's name and each shown slider's name and value.
void BesideEffect(const PerfControlPlaces& c, std::vector<PageLabel>& out) {
    if (!c.effect) return;
    const ZvRect& e = *c.effect;
    out.push_back(
        Line(GetText("tc_adv_str14"), {47, e.top, e.left - 8, e.bottom}, LabelAlign::kLeft));
    const char* const names[2] = {"tc_adv_str7", "tc_adv_str10"};
    for (size_t i = 0; i < 2; ++i) {
        // A mode without this slider has no use for its name either.
        const std::optional<ZvRect>& b = c.effectSliders[i];
        if (!b) continue;
        out.push_back(Line(GetText(names[i]), {b->left - 150, b->top, b->left - 10, b->bottom},
                           LabelAlign::kRight));
        out.push_back(Line(std::to_string(c.effectValues[i]),
                           {b->right + 15, b->top, b->right + 45, b->bottom}, LabelAlign::kLeft,
                           LabelRank::kValue));
    }
}

void BesideSensorMode(const PerfControlPlaces& c, std::vector<PageLabel>& out) {
    if (!c.hp || !c.lp) return;
    const ZvRect &hp = *c.hp, &lp = *c.lp;
    out.push_back(
        Line("HP", {hp.right + 5, hp.top - 3, hp.right + 50, hp.bottom + 3}, LabelAlign::kLeft));
    out.push_back(
        Line("LP", {lp.right + 5, lp.top - 3, lp.right + 50, lp.bottom + 3}, LabelAlign::kLeft));
    out.push_back(Line(GetText("tc_msg4"), {hp.left - 155, hp.top - 5, hp.left - 10, hp.bottom + 5},
                       LabelAlign::kLeft));
}

const char* const kSwitchNames[3] = {"tc_adv_str12", "tc_adv_str13", "tc_adv_str17"};

}  // namespace

std::vector<PageLabel> LayoutNewerPerfLabels(const PerfControlPlaces& c) {
    std::vector<PageLabel> out;
    BesideShared(c, out);
    // The three switches: their names left of the boxes, from x 673.
    for (size_t i = 0; i < c.switches.size(); ++i) {
        const std::optional<ZvRect>& b = c.switches[i];
        if (!b) continue;
        out.push_back(Line(GetText(kSwitchNames[i]), {673, b->top - 4, b->left - 4, b->bottom + 4},
                           LabelAlign::kLeft));
    }
    BesideEffect(c, out);
    if (c.rate[0]) {
        UnderRateButtons(c, out);
        // The longer languages take two lines here, inside the panel's edges.
        PageLabel title = Block(GetText("tc_adv_str6"), {861, 19, 1001, 55}, LabelAlign::kCentre,
                                LabelRank::kGroupTitle);
        title.middled = true;
        out.push_back(title);
    }
    if (c.liftOff[0]) {
        UnderLiftOffButtons(c, out);
        out.push_back(Line(GetText("tc_adv_str9"), {479, 422, 639, 446}, LabelAlign::kLeft,
                           LabelRank::kGroupTitle));
        // The hint shares its area with the DPI-indicator options; they win when shown.
        if (!c.effect)
            out.push_back(Block(GetText("tc_lodtips"), {30, 415, 430, 512}, LabelAlign::kLeft,
                                LabelRank::kNote));
    }
    if (c.lastBar) {
        // Under the right end of the last row: directly under row 0 it would cover row 1.
        const ZvRect& b = *c.lastBar;
        out.push_back(Line(GetText("tc_msg26"),
                           {b.right - 300, b.bottom + 10, b.right + 36, b.bottom + 28},
                           LabelAlign::kRight, LabelRank::kNote));
    }
    if (c.hp && c.lp) {
        BesideSensorMode(c, out);
        const ZvRect& hp = *c.hp;
        out.push_back(Block(GetText("tc_sensor_tips"),
                            {hp.left - 155, hp.top + 27, 564, hp.top + 57}, LabelAlign::kLeft,
                            LabelRank::kNote));
    }
    // The gear alone does not say where it leads.
    if (c.sysLink)
        out.push_back(Block(GetText("tc_adv_str18"), {872, 484, 1000, 524}, LabelAlign::kCentre,
                            LabelRank::kNote));
    if (c.dpiTitle)
        out.push_back(Line(GetText("tc_page2"), {43, 18, 343, 42}, LabelAlign::kLeft,
                           LabelRank::kGroupTitle));
    return out;
}

std::vector<PageLabel> LayoutOlderPerfLabels(const PerfControlPlaces& c) {
    std::vector<PageLabel> out;
    if (c.dpiTitle) out.push_back(Line(GetText("tc_page2"), {43, 20, 343, 40}, LabelAlign::kLeft));
    BesideShared(c, out);
    if (c.rate[0]) {
        out.push_back(Line(GetText("tc_adv_str6"), {594, 22, 894, 42}, LabelAlign::kLeft));
        UnderRateButtons(c, out);
    }
    if (c.liftOff[0]) {
        out.push_back(Line(GetText("tc_adv_str9"), {594, 148, 794, 168}, LabelAlign::kLeft));
        UnderLiftOffButtons(c, out);
    }
    for (size_t i = 0; i < c.switches.size(); ++i) {
        const std::optional<ZvRect>& b = c.switches[i];
        if (!b) continue;
        out.push_back(Line(GetText(kSwitchNames[i]),
                           {b->right + 8, b->top - 3, b->right + 150, b->bottom + 3},
                           LabelAlign::kLeft));
    }
    BesideSensorMode(c, out);
    BesideEffect(c, out);
    if (c.lastBar) {
        // Under the right end of the last row, as on the newer page.
        const ZvRect& b = *c.lastBar;
        out.push_back(Line(GetText("tc_msg26"),
                           {b.right - 300, b.bottom + 10, b.right + 50, b.bottom + 28},
                           LabelAlign::kRight));
    }
    if (!c.moveSpeed || !c.scroll || !c.doubleClick || !c.precision || !c.oneScreen) return out;
    const ZvRect& move = *c.moveSpeed;
    out.push_back(
        Line(GetText("tc_adv_str18"), {594, move.top - 60, 944, move.top - 40}, LabelAlign::kLeft));
    const std::pair<const ZvRect*, const char*> heads[] = {{&*c.moveSpeed, "tc_adv_str2"},
                                                           {&*c.scroll, "tc_adv_str3"},
                                                           {&*c.doubleClick, "tc_adv_str1"}};
    for (const auto& [b, key] : heads)
        out.push_back(Line(GetText(key), {b->left, b->top - 25, b->left + 200, b->top - 5},
                           LabelAlign::kLeft));
    const ZvRect& db = *c.doubleClick;
    out.push_back(Line(GetText("tc_msg37"), {db.left, db.bottom + 2, db.left + 100, db.bottom + 20},
                       LabelAlign::kLeft));
    PageLabel fast =
        Line(GetText("tc_msg38"), {db.right - 100, db.bottom + 2, db.right, db.bottom + 20},
             LabelAlign::kRight);
    fast.unclipped = true;
    out.push_back(fast);
    const ZvRect &pr = *c.precision, &os = *c.oneScreen;
    out.push_back(Line(GetText("tc_adv_str5"),
                       {pr.right + 8, pr.top - 3, pr.right + 300, pr.bottom + 3},
                       LabelAlign::kLeft));
    out.push_back(Line(GetText("tc_adv_str4"),
                       {os.right + 8, os.top - 3, os.right + 200, os.bottom + 3},
                       LabelAlign::kLeft));
    return out;
}
