// The words a shell offers at the cursor, read from the command table at completion time, so the
// shells' scripts stay small and never fall behind the program. Nothing is started: no lock, no
// device; the macro names are read from the data folder's files.
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "cli/cli_command.h"
#include "cli/cli_command_table.h"
#include "macro/macro_file.h"
#include "macro/st_macro.h"
#include "platform/fs.h"
#include "platform/sys.h"

namespace cli {

namespace {

// The global options as a shell completes them; those of `kValueOptions` take a value.
const char* const kLongOptions[] = {"--sim",   "--model",   "--cfg", "--data-dir", "--json",
                                    "--quiet", "--verbose", "--yes", "--help",     "--version"};
// "--brightness" of "--brightness N".
std::string OptionName(const char* shown) {
    const std::string s = shown;
    return s.substr(0, s.find(' '));
}
bool TakesValue(const std::string& option) {
    return option == "--cfg" || option == "--data-dir" || option == "--model";
}

std::string CfgPathOf(const std::string& given) {
    if (!given.empty()) return given;
    const std::string system = SystemCfgPath();
    return system.empty() ? platform::JoinPath(ShippedDataDir(), "cfg.ini") : system;
}

// The catalogue's mice as --model takes them: their numbers and the last word of their names.
std::vector<std::string> ModelWords(const std::string& cfgPath) {
    const IniFile ini = IniFile::Load(cfgPath);
    std::vector<std::string> out;
    for (int n = 1; n <= 30; ++n) {
        const std::string section = "DEV_" + std::to_string(n);
        if (ini.GetInt(section, "Sensor", 0) == 0) continue;
        out.push_back(std::to_string(n));
        std::string name = ini.GetString(section, "Name", "", 200);
        name = name.substr(name.find_last_of(' ') + 1);
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (!name.empty()) out.push_back(name);
    }
    return out;
}

void MacroNamesIn(const std::string& folder, int depth, std::vector<std::string>* out) {
    std::vector<platform::DirEntry> entries;
    if (depth > 4 || !platform::ListDirectory(folder, entries)) return;
    for (const platform::DirEntry& e : entries) {
        const std::string path = platform::JoinPath(folder, e.name);
        if (e.isDirectory && !e.isLink)
            MacroNamesIn(path, depth + 1, out);
        else if (IsMacroFileName(e.name))
            if (const std::optional<StMacro> m = ReadMacroFile(path))
                out->push_back(MacroNameUtf8(*m));
    }
}

// The macros of the data folder the command would use.
std::vector<std::string> MacroNames(std::string dataDir, const std::string& cfgPath) {
    if (dataDir.empty()) {
        const std::string appdir = IniFile::Load(cfgPath).GetString("OPT", "appdir", "", 30);
        if (appdir.empty()) return {};
        dataDir = platform::JoinPath(
            platform::GetSpecialFolder(platform::SpecialFolder::LocalAppData), appdir);
    }
    std::vector<std::string> names;
    MacroNamesIn(platform::JoinPath(dataDir, "Mac"), 0, &names);
    return names;
}

}  // namespace

std::string CompletionWords(const Words& typed) {
    const std::string current = typed.empty() ? std::string() : typed.back();
    Words words;  // the command's words before the one being completed
    std::string dataDir, cfg;
    bool onlyWords = false, valueAtCursor = false;
    std::vector<std::string> offered;
    auto valueOf = [&](const std::string& option) -> std::vector<std::string> {
        if (option == "--cfg") return {":file"};
        if (option == "--data-dir") return {":dir"};
        if (option == "--model") return ModelWords(CfgPathOf(cfg));
        return {};
    };
    for (size_t i = 0; i + 1 < typed.size(); ++i) {
        const std::string& a = typed[i];
        if (onlyWords || a.size() < 2 || a[0] != '-') {
            words.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyWords = true;
            continue;
        }
        const size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        bool verbOption = false;
        if (!words.empty())
            if (const CommandSpec* c = FindCommand(words[0])) {
                std::string why, near;
                if (const VerbSpec* v = FindVerb(*c, words, &why, &near))
                    for (const char* o : v->options)
                        verbOption = verbOption || name == OptionName(o);
            }
        if (!TakesValue(name) && !verbOption) continue;
        if (eq != std::string::npos) {
            if (name == "--cfg") cfg = a.substr(eq + 1);
            if (name == "--data-dir") dataDir = a.substr(eq + 1);
            continue;
        }
        if (i + 2 == typed.size()) {
            offered = valueOf(name);  // the word at the cursor is this option's value
            valueAtCursor = true;
            break;
        }
        if (name == "--cfg") cfg = typed[i + 1];
        if (name == "--data-dir") dataDir = typed[i + 1];
        ++i;
    }
    const bool optionWanted = !onlyWords && !current.empty() && current[0] == '-';
    if (!valueAtCursor) {
        if (optionWanted)
            for (const char* o : kLongOptions) offered.push_back(o);
        if (words.empty()) {
            if (!optionWanted) offered = CommandNames();
        } else if (const CommandSpec* c = FindCommand(words[0])) {
            std::string why, near;
            const VerbSpec* verb = FindVerb(*c, words, &why, &near);
            const bool named = !(c->verbs.size() == 1 && !*c->verbs[0].name);
            if (!verb && named && words.size() == 1 && !optionWanted) {
                for (const VerbSpec& v : c->verbs) offered.push_back(v.name);
            } else if (verb) {
                const size_t k = words.size() - (named ? 2 : 1);
                const WordSpec* spec = k < verb->words.size() ? &verb->words[k]
                                       : !verb->words.empty() && verb->words.back().repeats
                                           ? &verb->words.back()
                                           : nullptr;
                if (optionWanted || !spec)
                    for (const char* o : verb->options) offered.push_back(OptionName(o));
                if (spec && spec->choices && !optionWanted)
                    for (const std::string& w : spec->choices(words)) offered.push_back(w);
            }
        }
    }
    std::string out;
    for (const std::string& w : offered) {
        if (w == ":macro") {
            for (const std::string& m : MacroNames(dataDir, CfgPathOf(cfg)))
                if (m.compare(0, current.size(), current) == 0) out += m + "\n";
        } else if (w == ":file" || w == ":dir") {
            out += w + "\n";
        } else if (w.compare(0, current.size(), current) == 0) {
            out += w + "\n";
        }
    }
    return out;
}

}  // namespace cli
