#include "app/language_texts.h"

bool LoadDefaultTexts(const std::string&) {
    return false;
}

const std::string& GetText(std::string_view) {
    static const std::string empty;
    return empty;
}
