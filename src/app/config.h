// Data initialisation: cfg.ini's global options, the sensor tables and the device catalogue.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/notice.h"

class IniFile;

// Reads cfg.ini in gVar.szAppDir into gVar. Returns 1 on success, 0 when the device catalogue
// cannot be used (the program then cannot start). Each value that cannot be used goes to `tell`
// as it is found (the window shows a box for each before it goes on), and reading goes on.
int LoadConfiguration(const NoticeSink& tell = {});

// What makes the cfg.ini in gVar.szAppDir unusable although it loads: numbers that do not fit
// (the system's reading would wrap them into another value), a retry count that lets no command
// through, a catalogue without a mouse. One line per problem naming its section and key; empty
// when there is none.
std::vector<std::string> ConfigurationProblems();

// The value syntaxes of cfg.ini (number lists: ParseNumberList, base/number_text.h).
// R + G*256 + B*65536 of up to three numbers; the missing ones are 0.
uint32_t ParseColour(std::string_view text);
