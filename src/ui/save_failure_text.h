// What the window tells the user when files could not be saved: which files, and why.
#pragma once
#include <string>
#include <vector>

#include "platform/fs.h"

// The language's sentence (or an English one when the language has none), then one line per
// file: its path and the system's reason. Empty when nothing failed.
std::string SaveFailureText(const std::vector<platform::SaveFailure>& failures);
