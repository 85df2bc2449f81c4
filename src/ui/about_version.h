// The about window's version line.
#pragma once
#include <string>

// The text tc_version followed by the program's version. Older text files carry a number of
// their own at the end ("Software version 1.0"); that number is replaced, so the line never
// shows a version other than the running program's.
std::string VersionLine(const std::string& text, const std::string& version);
