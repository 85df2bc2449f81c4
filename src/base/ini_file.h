// Reading and writing INI files with the semantics of the Windows private-profile functions:
// a missing file, section or key gives the default; names are case-insensitive; the first of
// duplicate sections and keys wins; values are cut to the caller's buffer size.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniFile {
  public:
    IniFile() = default;
    // Decodes the bytes (UTF-16 with a byte-order mark, UTF-8 with or without one, otherwise
    // Windows-1252) and splits them into sections and keys.
    static IniFile FromBytes(std::string_view bytes);
    // A missing or unreadable file gives an empty INI file.
    static IniFile Load(const std::string& path);

    // As GetPrivateProfileStringW with a buffer of `size` characters: at most size - 1 UTF-16
    // units of the value (or of the default) are returned, quotes around it removed.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          size_t size) const;
    // As GetPrivateProfileIntW: the value read as a number (leading blanks and a sign allowed,
    // decimal unless a 0x, 0o or 0b prefix says otherwise, reading stops at the first other
    // character); an empty or missing value gives def.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t def) const;
    // The names of the keys with a value in the first section of that name, in file order.
    std::vector<std::string> KeyNames(std::string_view section) const;

    // Sets or adds a key (the first matching section; a new section is added at the end).
    void SetString(std::string_view section, std::string_view key, std::string_view value);
    // The file's text as WritePrivateProfileString leaves it (CR LF lines, UTF-8).
    std::string Serialize() const;

  private:
    struct Key {
        std::u16string name;
        std::optional<std::u16string> value;  // none: a line without '='
    };
    struct Section {
        std::u16string name;
        std::vector<Key> keys;
    };
    const Key* Find(std::u16string_view section, std::u16string_view key) const;

    std::vector<Section> m_sections;  // the first one is the nameless part before any section
};

// As WritePrivateProfileStringW: sets one key in a file, creating the file when it is missing.
// The file is replaced atomically.
bool WriteIniString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value, uint32_t* err = nullptr);
