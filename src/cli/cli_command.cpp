#include "cli/cli_command.h"

#include <cstdio>

#include "base/printable_text.h"
#include "cli/cli_args.h"
#include "macro/macro_list.h"
#include "platform/fs.h"
#include "platform/sys.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

// An unknown word among `choices`: the reason, with the nearest choice when one is close.
UsageError Unknown(const std::string& what, const std::string& word,
                   const std::vector<std::string>& choices) {
    return {"unknown " + what + " \"" + word + "\"", NearestWord(word, choices)};
}

UsageError NoMacroNamed(const std::string& name, const MacroList& macros) {
    std::vector<std::string> names;
    for (const StMacro& m : macros.Snapshot()) names.push_back(MacroNameUtf8(m));
    return {"no macro named \"" + name + "\"", NearestWord(name, names)};
}

// Lines carry names and texts from files and from the mouse: their control characters are
// shown, never obeyed.
void Err(const std::string& line) {
    std::fprintf(stderr, "zorvan: %s\n", PrintableText(line, true).c_str());
}

// A file the command is to read: the reason it cannot be, in the user's words; "" when it can.
std::string UnreadableFile(const std::string& path) {
    uint64_t size = 0;
    uint32_t err = 0;
    if (platform::GetFileSize(path, size, &err)) return {};
    return platform::PathErrorText(path, err);
}

bool IsTerminal(FILE* f) {
#ifdef _WIN32
    return _isatty(_fileno(f)) != 0;
#else
    return isatty(fileno(f)) != 0;
#endif
}
bool StdinIsTerminal() {
    return IsTerminal(stdin);
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int64_t Number(const Words& w, size_t i, int64_t lo, int64_t hi, const char* what) {
    if (i >= w.size()) throw UsageError{std::string("missing ") + what};
    auto v = ParseNumber(w[i], lo, hi);
    if (!v)
        throw UsageError{std::string(what) + " must be a number from " + std::to_string(lo) +
                         " to " + std::to_string(hi) + ": " + w[i]};
    return *v;
}

const std::string& Word(const Words& w, size_t i, const char* what) {
    if (i >= w.size()) throw UsageError{std::string("missing ") + what};
    return w[i];
}

void NoMoreWords(const Words& w, size_t n) {
    if (w.size() > n) throw UsageError{"unexpected \"" + w[n] + "\""};
}

int32_t OnOff(const Words& w, size_t i, const char* what) {
    auto v = ParseOnOff(Word(w, i, what));
    if (!v) {
        const std::string near = NearestWord(w[i], {"on", "off"});
        throw UsageError{std::string(what) + " must be on or off: " + w[i], near};
    }
    return *v;
}

uint32_t App::SensorId() const {
    const SensorCfg* cfg = m_catalogue.pSensorCfg;
    return cfg ? static_cast<uint32_t>(cfg->Sensor) : 0;
}

}  // namespace cli
