// Every visible text by its key, loaded from a language's text.xml.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class XmlReader;

// One text per key; a key the file lacks has an empty text.
class TextTable {
  public:
    TextTable();
    // Every key, in the order they are looked up: the single keys, the numbered families each
    // from 1 upwards, tc_debounce_tips last.
    static const std::vector<std::string>& Keys();
    // Position of a key in Keys(); -1 when it is not one of them.
    static int32_t IndexOf(std::string_view key);

    // Replaces every entry from a parsed document: for each key the first element of that name
    // inside any <config> child of the root element.
    void Fill(XmlReader& xml);
    // The text of a key; empty for an unknown key.
    const std::string& Get(std::string_view key) const;
    const std::string& At(size_t index) const { return m_texts[index]; }
    bool operator==(const TextTable&) const = default;

  private:
    std::vector<std::string> m_texts;
};

// Loads a language file into the texts everyone reads. When the file cannot be read the texts
// stay as they were (so a missing language folder keeps the default texts) and false comes back.
bool LoadTexts(const std::string& path);
// Loads the default texts from text.xml in the program folder.
bool LoadDefaultTexts(const std::string& appDir);
// The text of a key; empty when the key has none. Safe from any thread, also during a language
// switch; the reference stays valid for the life of the process.
const std::string& GetText(std::string_view key);
