#include "cli/cli_button_words.h"

#include "cli/cli_args.h"
#include "cli/cli_command_table.h"
#include "macro/macro_list.h"
#include "profile/sensor_table.h"
#include "ui/button_assignment.h"
#include "ui/buttons_page_model.h"
#include "ui/fire_dlg_model.h"

namespace cli {

namespace {

UsageError NoMacroIn(const MacroList& macros, const std::string& name) {
    std::vector<std::string> names;
    for (const StMacro& m : macros.Snapshot()) names.push_back(MacroNameUtf8(m));
    return {"no macro named \"" + name + "\"", NearestWord(name, names)};
}

ButtonRequest Chosen(uint32_t function) {
    ButtonRequest r;
    r.kind = ButtonRequest::Kind::kChosen;
    r.function = function;
    return r;
}

ButtonRequest Stored(const KeyInfo& key) {
    ButtonRequest r;
    r.key = key;
    return r;
}

}  // namespace

ButtonRequest ReadButtonWords(const Words& w, size_t at, const MacroList& macros) {
    const std::string& fun = Word(w, at, "function");
    size_t used = at + 1;
    ButtonRequest r;
    if (auto simple = LookUp(ButtonFunctionNames(), fun)) {
        r = Chosen(*simple);
    } else if (fun == "fire") {
        // The fire dialog's rule: a count of 0 to 3, an interval of 10 to 255.
        const auto count = static_cast<uint8_t>(Number(w, at + 1, 0, kFireCountLimit, "count"));
        const auto interval =
            static_cast<uint8_t>(Number(w, at + 2, kFireIntervalMin, kFireIntervalMax, "interval"));
        // A burst the mouse keeps as one of its click functions is stored as that function
        // (the same bytes), and said so, as the window does.
        if (const std::optional<KeyInfo> same = FireReadsBackAs(count, interval)) {
            r = Stored(*same);
            r.note = FireStoredAsText(count, interval, *same, macros);
        } else {
            r = Stored(FireKey(count, interval));
        }
        used = at + 3;
    } else if (fun == "combo") {
        std::string why;
        const auto c = ParseCombo(Word(w, at + 1, "combination"), &why);
        if (!c) throw UsageError{why};
        r = Stored(ComboKey(c->modifiers, c->keys[0], c->keys[1], c->keys[2]));
        used = at + 2;
    } else if (fun == "media") {
        const auto m = LookUp(MediaNames(), Word(w, at + 1, "media key"));
        if (!m) throw Unknown("media key", w[at + 1], NamesOf(MediaNames()));
        r = Chosen(*m);
        used = at + 2;
    } else if (fun == "sniper") {
        r.kind = ButtonRequest::Kind::kSniper;
        r.sniperDpi = Number(w, at + 1, 1, 1000000, "DPI");
        used = at + 2;
    } else if (fun == "macro") {
        const std::string& name = Word(w, at + 1, "macro name");
        const auto m = macros.FindMacroByNameUtf8(name);
        if (!m) throw NoMacroIn(macros, name);
        r = Stored(MacroKey(m->id));
        used = at + 2;
    } else if (fun == "extra") {
        r = Chosen(0x0B000000 + static_cast<uint32_t>(Number(w, at + 1, 1, 3, "extra key")) - 1);
        used = at + 2;
    } else if (fun == "custom") {
        KeyInfo k;
        k.dwFunID = kCustomFunction;
        k.dwParameter = static_cast<uint32_t>(Number(w, at + 1, 0, 0xFFFFFF, "key-matrix code"));
        r = Stored(k);
        used = at + 2;
    } else if (const auto id = ParseNumber(fun, 0, 0xFFFFFFFF);
               id && fun.size() > 2 && fun[1] == 'x' &&
               FindKeyFunction(static_cast<uint32_t>(*id)) &&
               FindKeyFunction(static_cast<uint32_t>(*id))->rule == MatrixRule::kFixed) {
        // The id show prints for a function without words.
        r = Chosen(static_cast<uint32_t>(*id));
    } else {
        throw Unknown("function", fun, ButtonFunctionWords());
    }
    NoMoreWords(w, used);
    return r;
}

KeyInfo ButtonKey(const ButtonRequest& request, int row, const SensorCfg& cfg,
                  const SensorTable* table) {
    switch (request.kind) {
        case ButtonRequest::Kind::kKey:
            return request.key;
        case ButtonRequest::Kind::kChosen: {
            const FunctionChoice c = OnFunctionChosen(request.function, row, cfg, false);
            if (c.step != ChoiceStep::kStore)
                throw UsageError{c.message.empty() ? "this function cannot be chosen here"
                                                   : c.message};
            return c.key;
        }
        case ButtonRequest::Kind::kSniper:
            break;
    }
    // Only the values the page's sniper menu offers: the mouse keeps the table position in one
    // byte, so any other value would come back as a different DPI.
    std::string offered;
    for (const SniperItem& i : SniperItems(table)) {
        if (i.dpi == request.sniperDpi) return SniperKey(i.index);
        offered += " " + std::to_string(i.dpi);
    }
    throw UsageError{offered.empty() ? "this mouse offers no sniper DPI"
                                     : "sniper DPI must be one of" + offered + ": " +
                                           std::to_string(request.sniperDpi)};
}

Words SplitFunctionWords(const std::string& text) {
    Words w;
    size_t at = 0;
    auto next = [&] {
        while (at < text.size() && text[at] == ' ') ++at;
        const size_t end = std::min(text.find(' ', at), text.size());
        std::string word = text.substr(at, end - at);
        at = end;
        return word;
    };
    for (std::string word = next(); !word.empty(); word = next()) {
        w.push_back(word);
        if (w.size() == 1 && word == "macro") {
            while (at < text.size() && text[at] == ' ') ++at;
            if (at < text.size()) w.push_back(text.substr(at));
            break;
        }
    }
    return w;
}

}  // namespace cli
