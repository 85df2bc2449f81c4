#include "base/json_text.h"

#include <cstdio>
#include <tuple>

JsonValue JsonValue::Bool(bool b) {
    JsonValue v;
    v.m_kind = Kind::kBool;
    v.m_bool = b;
    return v;
}

JsonValue JsonValue::Int(int64_t n) {
    JsonValue v;
    v.m_kind = Kind::kNumber;
    v.m_whole = true;
    v.m_int = n;
    v.m_text = std::to_string(n);
    return v;
}

JsonValue JsonValue::String(std::string s) {
    JsonValue v;
    v.m_kind = Kind::kString;
    v.m_text = std::move(s);
    return v;
}

JsonValue JsonValue::Array() {
    JsonValue v;
    v.m_kind = Kind::kArray;
    return v;
}

JsonValue JsonValue::Object() {
    JsonValue v;
    v.m_kind = Kind::kObject;
    return v;
}

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const Member& m : m_members)
        if (m.first == key) return &m.second;
    return nullptr;
}

JsonValue& JsonValue::Add(JsonValue v) {
    m_items.push_back(std::move(v));
    return m_items.back();
}

JsonValue& JsonValue::Set(std::string key, JsonValue v) {
    m_members.emplace_back(std::move(key), std::move(v));
    return m_members.back().second;
}

const char* JsonKindName(JsonValue::Kind kind) {
    switch (kind) {
        case JsonValue::Kind::kNull:
            return "null";
        case JsonValue::Kind::kBool:
            return "true or false";
        case JsonValue::Kind::kNumber:
            return "a number";
        case JsonValue::Kind::kString:
            return "a string";
        case JsonValue::Kind::kArray:
            return "a list";
        case JsonValue::Kind::kObject:
            return "an object";
    }
    return "?";
}

namespace {

// The length of the UTF-8 sequence at `s[i]`, 0 when it is not a well-formed one (overlong
// forms, surrogates and values past U+10FFFF included).
size_t Utf8Length(std::string_view s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || c > 0xF4 || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((b(k) & 0xC0) != 0x80) return 0;
    if (c == 0xE0 && b(1) < 0xA0) return 0;   // overlong
    if (c == 0xED && b(1) >= 0xA0) return 0;  // a surrogate
    if (c == 0xF0 && b(1) < 0x90) return 0;   // overlong
    if (c == 0xF4 && b(1) >= 0x90) return 0;  // past U+10FFFF
    return n;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void Write(const JsonValue& v, std::string& out) {
    switch (v.kind()) {
        case JsonValue::Kind::kNull:
            out += "null";
            return;
        case JsonValue::Kind::kBool:
            out += v.AsBool() ? "true" : "false";
            return;
        case JsonValue::Kind::kNumber:
            out += v.Text();
            return;
        case JsonValue::Kind::kString:
            out += JsonQuoted(v.Text());
            return;
        case JsonValue::Kind::kArray:
            out += '[';
            for (size_t i = 0; i < v.Items().size(); ++i) {
                if (i) out += ',';
                Write(v.Items()[i], out);
            }
            out += ']';
            return;
        case JsonValue::Kind::kObject:
            out += '{';
            for (size_t i = 0; i < v.Members().size(); ++i) {
                if (i) out += ',';
                out += JsonQuoted(v.Members()[i].first);
                out += ':';
                Write(v.Members()[i].second, out);
            }
            out += '}';
            return;
    }
}

}  // namespace

std::string JsonQuoted(std::string_view s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
            ++i;
        } else if (const size_t n = Utf8Length(s, i)) {
            out.append(s.substr(i, n));
            i += n;
        } else {
            out += "\\ufffd";  // a byte that is not UTF-8 would make the whole text invalid
            ++i;
        }
    }
    return out + "\"";
}

std::string WriteJson(const JsonValue& v) {
    std::string out;
    Write(v, out);
    return out;
}

class JsonParser {
  public:
    JsonParser(std::string_view text, const JsonLimits& limits) : s(text), lim(limits) {}

    JsonParseResult Run() {
        JsonParseResult r;
        if (s.size() > lim.maxBytes) {
            r.error = "the text is larger than " + std::to_string(lim.maxBytes / 1024) + " KiB";
            return r;
        }
        // A byte-order mark is no part of JSON, but editors write one.
        if (s.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
        JsonValue v;
        if (!Value(v, 0)) {
            r.error = Where() + ": " + why;
            return r;
        }
        Space();
        if (pos < s.size()) {
            r.error = Where() + ": unexpected text after the end of the JSON value";
            return r;
        }
        r.value = std::move(v);
        return r;
    }

  private:
    bool Fail(std::string w) {
        why = std::move(w);
        return false;
    }
    bool End() { return Fail("the text ends in the middle of the JSON value (is it cut short?)"); }

    std::string Where() const {
        size_t line = 1, col = 1;
        for (size_t i = 0; i < pos && i < s.size(); ++i) {
            if (s[i] == '\n') {
                ++line;
                col = 1;
            } else if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
                ++col;
            }
        }
        return "line " + std::to_string(line) + ", column " + std::to_string(col);
    }

    void Space() {
        while (pos < s.size() &&
               (s[pos] == ' ' || s[pos] == '\t' || s[pos] == '\n' || s[pos] == '\r'))
            ++pos;
    }

    bool Value(JsonValue& v, int depth) {
        Space();
        if (pos >= s.size()) return End();
        const char c = s[pos];
        if (c == '{' || c == '[') {
            if (depth >= lim.maxDepth)
                return Fail("nested deeper than " + std::to_string(lim.maxDepth) + " levels");
            return c == '{' ? Object(v, depth + 1) : Array(v, depth + 1);
        }
        if (c == '"') {
            v.m_kind = JsonValue::Kind::kString;
            return String(v.m_text);
        }
        if (c == '-' || (c >= '0' && c <= '9')) return Number(v);
        for (const auto& [word, kind, b] : {std::tuple{"true", JsonValue::Kind::kBool, true},
                                            std::tuple{"false", JsonValue::Kind::kBool, false},
                                            std::tuple{"null", JsonValue::Kind::kNull, false}}) {
            const std::string_view w(word);
            if (s.substr(pos, w.size()) == w) {
                pos += w.size();
                v.m_kind = kind;
                v.m_bool = b;
                return true;
            }
            if (w.substr(0, s.size() - pos) == s.substr(pos)) return End();
        }
        return Fail("expected a JSON value");
    }

    bool Object(JsonValue& v, int depth) {
        v.m_kind = JsonValue::Kind::kObject;
        ++pos;
        Space();
        if (pos < s.size() && s[pos] == '}') {
            ++pos;
            return true;
        }
        for (;;) {
            Space();
            if (pos >= s.size()) return End();
            if (s[pos] != '"') return Fail("expected a key in double quotes");
            const size_t keyAt = pos;
            std::string key;
            if (!String(key)) return false;
            if (v.Find(key)) {
                pos = keyAt;
                return Fail("the key \"" + key + "\" is given twice");
            }
            Space();
            if (pos >= s.size()) return End();
            if (s[pos] != ':') return Fail("expected ':' after the key");
            ++pos;
            JsonValue member;
            if (!Value(member, depth)) return false;
            v.m_members.emplace_back(std::move(key), std::move(member));
            Space();
            if (pos >= s.size()) return End();
            if (s[pos] == '}') {
                ++pos;
                return true;
            }
            if (s[pos] != ',') return Fail("expected ',' or '}'");
            ++pos;
        }
    }

    bool Array(JsonValue& v, int depth) {
        v.m_kind = JsonValue::Kind::kArray;
        ++pos;
        Space();
        if (pos < s.size() && s[pos] == ']') {
            ++pos;
            return true;
        }
        for (;;) {
            JsonValue item;
            if (!Value(item, depth)) return false;
            v.m_items.push_back(std::move(item));
            Space();
            if (pos >= s.size()) return End();
            if (s[pos] == ']') {
                ++pos;
                return true;
            }
            if (s[pos] != ',') return Fail("expected ',' or ']'");
            ++pos;
        }
    }

    bool Hex4(uint32_t& cp) {
        if (pos + 4 > s.size()) return End();
        cp = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = s[pos++];
            cp <<= 4;
            if (h >= '0' && h <= '9')
                cp |= static_cast<uint32_t>(h - '0');
            else if (h >= 'a' && h <= 'f')
                cp |= static_cast<uint32_t>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                cp |= static_cast<uint32_t>(h - 'A' + 10);
            else
                return Fail("\\u needs four hexadecimal digits");
        }
        return true;
    }

    bool String(std::string& out) {
        ++pos;  // the opening quote
        for (;;) {
            if (pos >= s.size()) return End();
            const auto c = static_cast<unsigned char>(s[pos]);
            if (c == '"') {
                ++pos;
                return true;
            }
            if (c < 0x20) return Fail("a control character inside a string (write it as \\u00XX)");
            if (c != '\\') {
                const size_t n = Utf8Length(s, pos);
                if (n == 0) return Fail("bytes that are not UTF-8 inside a string");
                out.append(s.substr(pos, n));
                pos += n;
                continue;
            }
            if (++pos >= s.size()) return End();
            const char e = s[pos++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    uint32_t cp = 0;
                    if (!Hex4(cp)) return false;
                    if (cp >= 0xDC00 && cp <= 0xDFFF) return Fail("a lone low surrogate in \\u");
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        uint32_t lo = 0;
                        if (s.substr(pos, 2) != "\\u") return Fail("a lone high surrogate in \\u");
                        pos += 2;
                        if (!Hex4(lo)) return false;
                        if (lo < 0xDC00 || lo > 0xDFFF) return Fail("a lone high surrogate in \\u");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default:
                    --pos;
                    return Fail(std::string("unknown escape \\") + e);
            }
        }
    }

    bool Number(JsonValue& v) {
        const size_t start = pos;
        auto digits = [&] {
            const size_t from = pos;
            while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
            return pos - from;
        };
        if (s[pos] == '-') ++pos;
        const size_t intStart = pos;
        const size_t n = digits();
        if (n == 0) return pos >= s.size() ? End() : Fail("expected digits");
        if (n > 1 && s[intStart] == '0') return Fail("a number cannot start with 0");
        bool whole = true;
        if (pos < s.size() && s[pos] == '.') {
            ++pos;
            whole = false;
            if (digits() == 0) return pos >= s.size() ? End() : Fail("expected digits after '.'");
        }
        if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
            ++pos;
            whole = false;
            if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
            if (digits() == 0) return pos >= s.size() ? End() : Fail("expected an exponent");
        }
        v.m_kind = JsonValue::Kind::kNumber;
        v.m_text = std::string(s.substr(start, pos - start));
        // 18 digits always fit; longer numbers are no setting of a mouse.
        v.m_whole = whole && n <= 18;
        if (v.m_whole) v.m_int = std::stoll(v.m_text);
        return true;
    }

    std::string_view s;
    const JsonLimits& lim;
    size_t pos = 0;
    std::string why;
};

JsonParseResult ParseJson(std::string_view text, const JsonLimits& limits) {
    return JsonParser(text, limits).Run();
}
