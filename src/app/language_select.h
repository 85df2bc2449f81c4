// Choosing the language: which configured language is in use, remembered per user in lang.ini.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Path of lang.ini in the per-user data folder.
std::string LangIniPath();
// Path of a language's text.xml ("text.xml" beside the program when the folder is empty).
std::string LanguageTextPath(int32_t index);
// The stored language choice made valid: an index outside the configured languages becomes 0.
int32_t ValidLanguageIndex(int32_t index);
// Start of the main window: gVar.nLangIndex from lang.ini (made valid) and that language's texts.
void LoadLanguageAtStart();
// Switches the language at run time: loads its texts, lets the windows take them anew and
// remembers the choice in lang.ini. False (nothing changed) for an index that names no
// configured language.
bool SelectLanguage(int32_t index);
// Called on the user-interface thread after a switch has loaded the new texts.
void SetLanguageChangedHook(std::function<void()> hook);
