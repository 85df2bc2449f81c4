// Every visible text by its key.
#pragma once
#include <string>
#include <string_view>

// Loads the default texts from text.xml in the program folder.
bool LoadDefaultTexts(const std::string& appDir);
// The text of a key; empty when the key has none.
const std::string& GetText(std::string_view key);
