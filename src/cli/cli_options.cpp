#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_args.h"

namespace cli {

bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* why) {
    static const std::vector<std::string> kOptions = {
        "--sim",     "--cfg",   "--data-dir", "--model", "--json",
        "--verbose", "--quiet", "--help",     "--yes",   "--version"};
    bool onlyWords = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyWords || a.size() < 2 || a[0] != '-') {
            out->words.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyWords = true;
            continue;
        }
        const size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        // The value of "--opt=value", or of "--opt value".
        auto value = [&](std::string* to) {
            if (eq != std::string::npos) {
                *to = a.substr(eq + 1);
                return true;
            }
            if (i + 1 >= args.size()) {
                *why = name + " needs a value";
                return false;
            }
            *to = args[++i];
            return true;
        };
        if (name == "--sim") {
            out->sim = true;
            if (eq != std::string::npos) out->simFile = a.substr(eq + 1);
        } else if (name == "--cfg") {
            if (!value(&out->cfgPath)) return false;
        } else if (name == "--data-dir") {
            if (!value(&out->dataDir)) return false;
            // An empty value would quietly mean the default folder, not the one meant.
            if (out->dataDir.empty()) {
                *why = "--data-dir needs a folder";
                return false;
            }
        } else if (name == "--model") {
            if (!value(&out->model)) return false;
        } else if (a == "--json") {
            out->json = true;
        } else if (a == "-v" || a == "--verbose") {
            out->verbose = true;
        } else if (a == "-q" || a == "--quiet") {
            out->quiet = true;
        } else if (a == "--help" || a == "-h") {
            out->help = true;
        } else if (a == "--yes" || a == "-y") {
            out->yes = true;
        } else if (a == "--version" || a == "-V") {
            out->version = true;
        } else if (!out->words.empty()) {
            // The command's own options (set light --speed 3).
            out->words.push_back(a);
        } else {
            *why = "unknown option " + a;
            const std::string near = NearestWord(name, kOptions);
            if (!near.empty()) *why += " (did you mean " + near + "?)";
            return false;
        }
    }
    return true;
}

}  // namespace cli
