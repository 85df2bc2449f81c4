// `zorvan profile link | unlink | links`: the programs whose coming to the front switches the
// mouse's profile while the configuration window runs. Only the links file in the data folder
// is read and written; no mouse is needed.
#pragma once
#include <string>
#include <vector>

namespace cli {

// True for the words of `profile` handled here.
bool IsProfileLinksCommand(const std::string& word);
// `words` is the whole command (profile, link, ...); the process exit code.
int RunProfileLinksCommand(const std::vector<std::string>& words, const std::string& dataDir,
                           bool json);

}  // namespace cli
