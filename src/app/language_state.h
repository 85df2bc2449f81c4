// The current language in gVar.
#pragma once
#include <cstdint>

struct LanguageState {
    // Index of the current language in gVar.Lang. Only the user-interface thread reads or
    // changes it; the texts themselves live in language_texts.cpp and may be read from any
    // thread.
    int32_t nLangIndex = 0;
};
