#include "base/ini_file.h"

#include "platform/codepage.h"
#include "platform/fs.h"

namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x1A || c == 0x85 || c == 0xA0 ||
           c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

char16_t Fold(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

std::u16string Decode(std::string_view bytes) {
    auto u8 = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
    if (bytes.size() >= 3 && u8(0) == 0xEF && u8(1) == 0xBB && u8(2) == 0xBF)
        return platform::Utf8ToUtf16(bytes.substr(3));
    if (bytes.size() >= 2 &&
        ((u8(0) == 0xFF && u8(1) == 0xFE) || (u8(0) == 0xFE && u8(1) == 0xFF))) {
        bool le = u8(0) == 0xFF;
        std::u16string out;
        out.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out.push_back(static_cast<char16_t>(le ? (u8(i) | (u8(i + 1) << 8))
                                                   : ((u8(i) << 8) | u8(i + 1))));
        return out;
    }
    if (platform::IsValidUtf8(bytes)) return platform::Utf8ToUtf16(bytes);
    // Neither marked nor UTF-8: the ANSI code page of a Western Windows.
    std::u16string out;
    if (!platform::CodePageToUtf16(1252, bytes, out)) {
        out.clear();
        for (char c : bytes) out.push_back(static_cast<uint8_t>(c));
    }
    return out;
}

// A UTF-16 string cut to at most `units` units, never leaving half a surrogate pair.
std::string Cut(std::u16string_view s, size_t units) {
    if (s.size() > units) {
        s = s.substr(0, units);
        if (!s.empty() && s.back() >= 0xD800 && s.back() <= 0xDBFF) s.remove_suffix(1);
    }
    return platform::Utf16ToUtf8(s);
}

}  // namespace

IniFile IniFile::FromBytes(std::string_view bytes) {
    IniFile ini;
    std::u16string text = Decode(bytes);
    ini.m_sections.push_back({});
    Section* cur = &ini.m_sections.back();
    const char16_t* p = text.data();
    const char16_t* end = p + text.size();
    while (p < end) {
        const char16_t* ls = p;
        while (p < end && *p != u'\n' && *p != u'\r') ++p;
        const char16_t* le = p;
        while (p < end && (*p == u'\n' || *p == u'\r')) ++p;
        while (ls < le && IsSpace(*ls)) ++ls;
        while (le > ls && IsSpace(le[-1])) --le;
        if (ls >= le) continue;
        if (*ls == u'[') {
            const char16_t* close = le - 1;
            while (close > ls && *close != u']') --close;
            if (close > ls) {
                const char16_t* ns = ls + 1;
                const char16_t* ne = close;
                while (ns < ne && IsSpace(*ns)) ++ns;
                while (ne > ns && IsSpace(ne[-1])) --ne;
                ini.m_sections.push_back({std::u16string(ns, ne), {}});
                cur = &ini.m_sections.back();
                continue;
            }
            // "[" without "]": the line is read as a key like any other.
        }
        const char16_t* eq = ls;
        while (eq < le && *eq != u'=') ++eq;
        Key key;
        if (eq < le) {
            const char16_t* ne = eq;
            while (ne > ls && IsSpace(ne[-1])) --ne;
            key.name.assign(ls, ne);
            const char16_t* vs = eq + 1;
            while (vs < le && IsSpace(*vs)) ++vs;
            key.value = std::u16string(vs, le);
        } else {
            key.name.assign(ls, le);
        }
        cur->keys.push_back(std::move(key));
    }
    return ini;
}

IniFile IniFile::Load(const std::string& path) {
    std::vector<uint8_t> data;
    if (!platform::ReadFile(path, data)) return FromBytes({});
    return FromBytes(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

const IniFile::Key* IniFile::Find(std::u16string_view section, std::u16string_view key) const {
    for (const Section& s : m_sections) {
        if (!EqualNoCase(s.name, section)) continue;
        // Only the first section of that name is searched.
        for (const Key& k : s.keys)
            if (EqualNoCase(k.name, key)) return &k;
        return nullptr;
    }
    return nullptr;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
    const std::u16string name = platform::Utf8ToUtf16(section);
    std::vector<std::string> out;
    for (const Section& s : m_sections) {
        if (!EqualNoCase(s.name, name)) continue;
        for (const Key& k : s.keys)
            if (k.value) out.push_back(platform::Utf16ToUtf8(k.name));
        break;
    }
    return out;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view def,
                               size_t size) const {
    if (size == 0) return {};
    std::u16string defW = platform::Utf8ToUtf16(def);
    while (!defW.empty() && defW.back() == u' ') defW.pop_back();
    const Key* k = Find(platform::Utf8ToUtf16(section), platform::Utf8ToUtf16(key));
    std::u16string_view value = (k && k->value) ? std::u16string_view(*k->value) : defW;
    // Matching quotes around the value are removed; when the buffer cuts the value short the
    // last character kept is dropped all the same, as the system does.
    bool quoted = false;
    if (!value.empty() && (value[0] == u'\'' || value[0] == u'"') && value.size() > 1 &&
        value.back() == value[0]) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::u16string out(value.substr(0, size - 1));
    if (quoted && size >= value.size() && !out.empty()) out.pop_back();
    return Cut(out, size - 1);
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key, int32_t def) const {
    std::u16string s = platform::Utf8ToUtf16(GetString(section, key, "", 30));
    if (s.empty()) return def;
    size_t i = 0;
    while (i < s.size() && s[i] <= u' ') ++i;
    bool minus = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) minus = s[i++] == u'-';
    // A 0x, 0o or 0b prefix chooses the base, as the system's reading does.
    uint32_t base = 10;
    if (i + 1 < s.size() && s[i] == u'0') {
        char16_t p = s[i + 1];
        if (p == u'x')
            base = 16;
        else if (p == u'o')
            base = 8;
        else if (p == u'b')
            base = 2;
        if (base != 10) i += 2;
    }
    uint32_t v = 0;
    for (; i < s.size(); ++i) {
        char16_t c = s[i];
        uint32_t d;
        if (c >= u'0' && c <= u'9')
            d = static_cast<uint32_t>(c - u'0');
        else if (c >= u'a' && c <= u'z')
            d = static_cast<uint32_t>(c - u'a' + 10);
        else if (c >= u'A' && c <= u'Z')
            d = static_cast<uint32_t>(c - u'A' + 10);
        else
            break;
        if (d >= base) break;
        v = v * base + d;
    }
    return static_cast<int32_t>(minus ? 0u - v : v);
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    std::u16string sec = platform::Utf8ToUtf16(section), k = platform::Utf8ToUtf16(key),
                   v = platform::Utf8ToUtf16(value);
    if (m_sections.empty()) m_sections.push_back({});
    for (Section& s : m_sections) {
        if (!EqualNoCase(s.name, sec)) continue;
        for (Key& existing : s.keys)
            if (EqualNoCase(existing.name, k)) {
                existing.value = v;
                return;
            }
        s.keys.push_back({k, v});
        return;
    }
    m_sections.push_back({sec, {{k, v}}});
}

std::string IniFile::Serialize() const {
    std::u16string out;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        const Section& s = m_sections[i];
        if (i > 0) out += u"[" + s.name + u"]\r\n";
        for (const Key& k : s.keys) {
            out += k.name;
            if (k.value) out += u"=" + *k.value;
            out += u"\r\n";
        }
    }
    return platform::Utf16ToUtf8(out);
}

bool WriteIniString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value, uint32_t* err) {
    IniFile ini = IniFile::Load(path);
    ini.SetString(section, key, value);
    std::string text = ini.Serialize();
    return platform::WriteFileAtomic(path, text.data(), text.size(), err);
}
