// JSON as the command line prints it and reads it back: a small value tree, a compact writer
// and a strict reader. The reader takes text from outside (a file, a pipe), so it is bounded in
// size and nesting, refuses anything RFC 8259 does not allow (trailing commas, comments, bare
// words, duplicate keys, invalid UTF-8) and says where the text went wrong.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class JsonValue {
  public:
    enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
    using Member = std::pair<std::string, JsonValue>;

    JsonValue() = default;
    static JsonValue Bool(bool b);
    static JsonValue Int(int64_t n);
    static JsonValue String(std::string s);
    static JsonValue Array();
    static JsonValue Object();

    Kind kind() const { return m_kind; }
    bool IsNull() const { return m_kind == Kind::kNull; }
    // A number without fraction or exponent that fits 64 bits.
    bool IsWhole() const { return m_kind == Kind::kNumber && m_whole; }
    bool AsBool() const { return m_bool; }
    int64_t AsInt() const { return m_int; }
    // A string's text; a number's digits as written.
    const std::string& Text() const { return m_text; }
    const std::vector<JsonValue>& Items() const { return m_items; }
    const std::vector<Member>& Members() const { return m_members; }
    // The member named `key`, nullptr when there is none.
    const JsonValue* Find(std::string_view key) const;

    // Builders: the value appended is returned for further building.
    JsonValue& Add(JsonValue v);
    JsonValue& Set(std::string key, JsonValue v);

    bool operator==(const JsonValue&) const = default;

  private:
    friend class JsonParser;
    Kind m_kind = Kind::kNull;
    bool m_bool = false;
    bool m_whole = false;
    int64_t m_int = 0;
    std::string m_text;
    std::vector<JsonValue> m_items;
    std::vector<Member> m_members;  // in the order written
};

// The name of a kind for messages: "null", "true or false", "a number", "a string", "a list",
// "an object".
const char* JsonKindName(JsonValue::Kind kind);

// Compact JSON (no spaces), members in their order; strings escaped so the text is valid UTF-8
// JSON whatever bytes they hold (control characters as \u00XX).
std::string WriteJson(const JsonValue& v);
// `s` as a JSON string, quotes included.
std::string JsonQuoted(std::string_view s);

struct JsonLimits {
    size_t maxBytes = 64 * 1024;
    int maxDepth = 16;
};

struct JsonParseResult {
    std::optional<JsonValue> value;
    std::string error;  // "line L, column C: why" when there is no value
};
JsonParseResult ParseJson(std::string_view text, const JsonLimits& limits = {});
