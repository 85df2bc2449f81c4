#include "base/xml_reader.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "platform/codepage.h"
#include "platform/fs.h"

namespace {

#include "base/html_entities.inc"
#include "base/xml_encodings.inc"

constexpr int32_t kUtf32CodePage = 65005;
// Without a usable system code page (the portable build has none) Western European is the
// closest match to what a Windows system would use.
constexpr uint32_t kFallbackAnsiCodePage = 1252;
// Only the start of a file is searched for a declared encoding.
constexpr size_t kPrefixBytes = 1024;

char16_t LowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool StartsWith(std::u16string_view s, size_t pos, std::u16string_view prefix) {
    return pos <= s.size() && s.substr(pos).substr(0, prefix.size()) == prefix;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Element and attribute names end here.
bool IsNameEnd(char16_t c) {
    return IsBlank(c) || c == u'/' || c == u'>' || c == u'=';
}

std::string Narrow(std::u16string_view s) {
    return platform::Utf16ToUtf8(s);
}

// Reads `digits` decimal digits of a table entry.
uint32_t EntryNumber(const char* p, int digits) {
    uint32_t v = 0;
    for (int i = 0; i < digits; ++i) v = v * 10 + static_cast<uint32_t>(p[i] - '0');
    return v;
}

// ---- node scanner --------------------------------------------------------------------------

enum class NodeKind { Text, StartTag, EmptyTag, EndTag, Cdata, Pi, Comment, Doctype, Other, Bad };

struct Node {
    NodeKind kind = NodeKind::Text;
    size_t start = 0, end = 0;          // [start, end)
    size_t nameStart = 0, nameLen = 0;  // element tags
    const char* problem = nullptr;      // kind name when unterminated, or what is incorrect
    bool unterminated = false;
};

// Scans one node at pos. A node that runs to the end of the text is unterminated; malformed
// markup comes back as Bad, one character long, so the caller can take it as text and go on.
Node ScanNode(std::u16string_view d, size_t pos) {
    Node n;
    n.start = pos;
    auto unterminated = [&](NodeKind kind, const char* what) {
        n.kind = kind;
        n.unterminated = true;
        n.problem = what;
        n.end = d.size();
        return n;
    };
    auto until = [&](NodeKind kind, size_t from, std::u16string_view closer, const char* what) {
        size_t f = from <= d.size() ? d.find(closer, from) : std::u16string_view::npos;
        if (f == std::u16string_view::npos) return unterminated(kind, what);
        n.kind = kind;
        n.end = f + closer.size();
        return n;
    };
    auto bad = [&](const char* what) {
        n.kind = NodeKind::Bad;
        n.problem = what;
        n.end = pos + 1;
        return n;
    };
    if (d[pos] != u'<') {
        size_t f = d.find(u'<', pos);
        n.kind = NodeKind::Text;
        n.end = f == std::u16string_view::npos ? d.size() : f;
        return n;
    }
    size_t i = pos + 1;
    if (i >= d.size()) return unterminated(NodeKind::StartTag, "Element tag");
    char16_t c = d[i];
    if (c == u'?') return until(NodeKind::Pi, i + 1, u"?>", "Processing instruction");
    if (c == u'!') {
        if (StartsWith(d, i + 1, u"--")) return until(NodeKind::Comment, i + 3, u"-->", "Comment");
        if (StartsWith(d, i + 1, u"[CDATA["))
            return until(NodeKind::Cdata, i + 8, u"]]>", "CDATA Section");
        if (StartsWith(d, i + 1, u"DOCTYPE")) {
            char16_t quote = 0;
            int depth = 0;
            for (size_t k = i + 8; k < d.size(); ++k) {
                char16_t ch = d[k];
                if (quote) {
                    if (ch == quote) quote = 0;
                } else if (ch == u'"' || ch == u'\'') {
                    quote = ch;
                } else if (ch == u'[') {
                    ++depth;
                } else if (ch == u']') {
                    if (depth > 0) --depth;
                } else if (ch == u'>' && depth == 0) {
                    n.kind = NodeKind::Doctype;
                    n.end = k + 1;
                    return n;
                }
            }
            return unterminated(NodeKind::Doctype, "Doctype");
        }
        if (i + 1 >= d.size()) return unterminated(NodeKind::Other, "tag");
        char16_t c2 = d[i + 1];
        if (c2 == u'-') return bad("comment tag");
        bool letter = (c2 >= u'A' && c2 <= u'Z') || (c2 >= u'a' && c2 <= u'z');
        if (letter || c2 == u'[') return until(NodeKind::Other, i + 1, u">", "tag");
        return bad("! tag");
    }
    if (c == u'/') {
        n.nameStart = i + 1;
        size_t k = n.nameStart;
        while (k < d.size() && !IsNameEnd(d[k])) ++k;
        n.nameLen = k - n.nameStart;
        return until(NodeKind::EndTag, k, u">", "Element end tag");
    }
    if (IsNameEnd(c) || c == u'<') return bad("tag name character");
    n.nameStart = i;
    size_t k = i;
    while (k < d.size() && !IsNameEnd(d[k])) ++k;
    n.nameLen = k - i;
    char16_t quote = 0;
    for (; k < d.size(); ++k) {
        char16_t ch = d[k];
        if (quote) {
            if (ch == quote) quote = 0;
        } else if (ch == u'"' || ch == u'\'') {
            quote = ch;
        } else if (ch == u'>') {
            n.kind = d[k - 1] == u'/' ? NodeKind::EmptyTag : NodeKind::StartTag;
            n.end = k + 1;
            return n;
        }
    }
    return unterminated(NodeKind::StartTag, "Element tag");
}

// The value of an attribute in the text of a tag (after its name); nullopt-like empty flag.
bool FindAttribute(std::u16string_view tag, std::u16string_view name, std::u16string& value) {
    size_t i = 0;
    while (i < tag.size()) {
        while (i < tag.size() && (IsBlank(tag[i]) || tag[i] == u'/' || tag[i] == u'?')) ++i;
        size_t ns = i;
        while (i < tag.size() && !IsNameEnd(tag[i]) && tag[i] != u'?') ++i;
        std::u16string_view attr = tag.substr(ns, i - ns);
        while (i < tag.size() && IsBlank(tag[i])) ++i;
        std::u16string_view v;
        if (i < tag.size() && tag[i] == u'=') {
            ++i;
            while (i < tag.size() && IsBlank(tag[i])) ++i;
            if (i < tag.size() && (tag[i] == u'"' || tag[i] == u'\'')) {
                char16_t q = tag[i++];
                size_t vs = i;
                while (i < tag.size() && tag[i] != q) ++i;
                v = tag.substr(vs, i - vs);
                if (i < tag.size()) ++i;
            } else {
                size_t vs = i;
                while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != u'>') ++i;
                v = tag.substr(vs, i - vs);
            }
        }
        if (!attr.empty() && EqualsIgnoreCase(attr, name)) {
            value.assign(v);
            return true;
        }
        if (attr.empty() && i < tag.size()) ++i;  // a stray character: step over it
    }
    return false;
}

// The charset of an html document's Content-Type meta element, searched up to </head>.
std::u16string FindHtmlCharset(std::u16string_view p) {
    bool inHtml = false;
    for (size_t pos = 0; pos < p.size();) {
        Node n = ScanNode(p, pos);
        if (n.unterminated) break;
        pos = n.end;
        if (n.kind == NodeKind::StartTag || n.kind == NodeKind::EmptyTag) {
            std::u16string_view name = p.substr(n.nameStart, n.nameLen);
            if (!inHtml) {
                if (!EqualsIgnoreCase(name, u"html")) break;
                inHtml = true;
                continue;
            }
            if (!EqualsIgnoreCase(name, u"meta")) continue;
            std::u16string_view tag =
                p.substr(n.nameStart + n.nameLen, n.end - 1 - (n.nameStart + n.nameLen));
            std::u16string equiv, content;
            if (!FindAttribute(tag, u"http-equiv", equiv) ||
                !EqualsIgnoreCase(equiv, u"Content-Type") ||
                !FindAttribute(tag, u"content", content))
                continue;
            std::u16string lower = content;
            for (auto& ch : lower) ch = LowerAscii(ch);
            size_t cs = lower.find(u"charset");
            if (cs == std::u16string::npos) continue;
            size_t k = cs + 7;
            while (k < content.size() && IsBlank(content[k])) ++k;
            if (k >= content.size() || content[k] != u'=') continue;
            ++k;
            while (k < content.size() && IsBlank(content[k])) ++k;
            size_t vs = k;
            while (k < content.size() && !IsBlank(content[k]) && content[k] != u';') ++k;
            return content.substr(vs, k - vs);
        } else if (n.kind == NodeKind::EndTag) {
            if (EqualsIgnoreCase(p.substr(n.nameStart, n.nameLen), u"head")) break;
        } else if (n.kind == NodeKind::Bad) {
            if (!inHtml) break;
        }
    }
    return {};
}

// The encoding an XML declaration or an html meta element names, from the start of a file.
std::u16string FindDeclaredEncoding(std::u16string_view p) {
    if (StartsWith(p, 0, u"<?xml") && (p.size() == 5 || IsBlank(p[5]) || p[5] == u'?')) {
        size_t end = p.find(u"?>");
        std::u16string value;
        if (FindAttribute(p.substr(5, end == std::u16string_view::npos ? p.npos : end - 5),
                          u"encoding", value))
            return value;
        return {};
    }
    return FindHtmlCharset(p);
}

std::string SystemErrorText(uint32_t err) {
    const char* text;
    switch (err) {
        case platform::kErrFileNotFound:
            text = "The system cannot find the file specified.";
            break;
        case platform::kErrPathNotFound:
            text = "The system cannot find the path specified.";
            break;
        case platform::kErrAccessDenied:
            text = "Access is denied.";
            break;
        case platform::kErrNotEnoughMemory:
            text = "Not enough memory resources are available to process this command.";
            break;
        case platform::kErrSharingViolation:
            text =
                "The process cannot access the file because it is being used by another "
                "process.";
            break;
        default:
            text = "The file could not be read.";
            break;
    }
    return std::string(text) + " (error " + std::to_string(err) + ")";
}

}  // namespace

// ---- tables --------------------------------------------------------------------------------

int32_t EncodingToCodePage(std::u16string_view name) {
    if (name.size() >= 100) return -1;
    std::u16string lower(name);
    for (auto& c : lower) c = LowerAscii(c);
    if (lower.rfind(u"utf-32", 0) == 0) return kUtf32CodePage;
    uint32_t sum = 0;
    for (char16_t c : lower) sum += c;
    for (const char* p = kEncodingBuckets[sum % 150]; *p;) {
        size_t len = EntryNumber(p, 2);
        int32_t cp = static_cast<int32_t>(EntryNumber(p + 2, 5));
        const char* entry = p + 7;
        if (len == lower.size() && std::equal(lower.begin(), lower.end(), entry,
                                              [](char16_t a, char b) { return a == char16_t(b); }))
            return cp;
        p = entry + len;
    }
    return -1;
}

uint32_t EntityCodePoint(std::u16string_view name) {
    if (name.empty() || name.size() > 9) return 0;
    uint32_t sum = 0;
    for (char16_t c : name) sum += LowerAscii(c);
    uint32_t anyCase = 0;
    for (const char* p = kEntityBuckets[sum % 130]; *p;) {
        size_t len = EntryNumber(p, 1);
        uint32_t cp = EntryNumber(p + 1, 4);
        const char* entry = p + 5;
        p = entry + len;
        if (len != name.size()) continue;
        bool exact = true, folded = true;
        for (size_t i = 0; i < len; ++i) {
            char16_t e = static_cast<char16_t>(entry[i]);
            if (e != name[i]) exact = false;
            if (LowerAscii(e) != LowerAscii(name[i])) folded = false;
        }
        if (exact) return cp;
        if (folded && !anyCase) anyCase = cp;
    }
    return anyCase;
}

std::u16string DecodeCharacterReferences(std::u16string_view t) {
    std::u16string out;
    out.reserve(t.size());
    for (size_t i = 0; i < t.size(); ++i) {
        char16_t c = t[i];
        if (c != u'&') {
            out.push_back(c);
            continue;
        }
        // Up to 9 ASCII characters before the semicolon.
        size_t semi = std::u16string_view::npos;
        bool ascii = true;
        for (size_t k = i + 1; k < t.size() && k <= i + 10; ++k) {
            if (t[k] == u';') {
                semi = k;
                break;
            }
            if (t[k] >= 0x80) {
                ascii = false;
                break;
            }
        }
        if (!ascii || semi == std::u16string_view::npos) {
            out.push_back(c);
            continue;
        }
        std::u16string_view ref = t.substr(i + 1, semi - i - 1);
        uint32_t cp = 0;
        auto digitsValue = [](std::u16string_view s, uint32_t base) -> uint32_t {
            if (s.empty()) return 0;
            uint32_t v = 0;
            for (char16_t ch : s) {
                uint32_t d;
                char16_t l = LowerAscii(ch);
                if (l >= u'0' && l <= u'9')
                    d = l - u'0';
                else if (base == 16 && l >= u'a' && l <= u'f')
                    d = l - u'a' + 10;
                else
                    return 0;
                v = v * base + d;
                if (v > 0x10FFFF) return 0;
            }
            return v;
        };
        if (ref.size() >= 2 && ref[0] == u'#' && LowerAscii(ref[1]) == u'x')
            cp = digitsValue(ref.substr(2), 16);
        else if (!ref.empty() && ref[0] == u'#')
            cp = digitsValue(ref.substr(1), 10);
        else
            cp = EntityCodePoint(ref);
        if (cp == 0) {
            out.push_back(c);
            continue;
        }
        platform::AppendUtf16(out, cp);
        i = semi;
    }
    return out;
}

bool PassesUtf8Test(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        uint8_t b = static_cast<uint8_t>(bytes[i]);
        if (b == 0) break;
        ++i;
        if (b < 0x80) continue;
        int follow;
        if (!(b & 0x20))
            follow = 1;
        else if (!(b & 0x10))
            follow = 2;
        else if (!(b & 0x08))
            follow = 3;
        else
            return false;
        for (int k = 0; k < follow; ++k, ++i)
            if (i >= bytes.size() || static_cast<uint8_t>(bytes[i]) < 0x80) return false;
    }
    return true;
}

// ---- loading -------------------------------------------------------------------------------

void XmlReader::Clear() {
    m_elements.clear();
    m_error.clear();
    m_parent = m_main = m_child = 0;
}

void XmlReader::SetDocument(std::u16string text) {
    Clear();
    m_doc = std::move(text);
}

bool XmlReader::Load(const std::string& path) {
    std::vector<uint8_t> bytes;
    uint32_t err = 0;
    if (!platform::ReadFile(path, bytes, &err)) {
        SetDocument({});
        m_loadResult = SystemErrorText(err);
        return false;
    }
    return LoadBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool XmlReader::LoadBytes(std::string_view bytes) {
    SetDocument({});
    std::string encoding;
    size_t skip = 0;
    int unit = 1;
    bool swap = false, bom = false;
    auto hasMark = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (hasMark("\xEF\xBB\xBF")) {
        encoding = "UTF-8", skip = 3, bom = true;
    } else if (hasMark("\xFF\xFE")) {
        encoding = "UTF-16LE", skip = 2, unit = 2, bom = true;
    } else if (hasMark("\xFE\xFF")) {
        encoding = "UTF-16BE", skip = 2, unit = 2, swap = true, bom = true;
    } else {
        std::u16string declared =
            FindDeclaredEncoding(platform::Utf8ToUtf16(bytes.substr(0, kPrefixBytes)));
        if (!declared.empty())
            encoding = Narrow(declared);
        else if (!bytes.empty() && bytes[0] == '<')
            encoding = "UTF-8";
    }
    std::string_view body = bytes.substr(skip);

    size_t nulls = 0;
    bool detected = false, converted = false;
    std::string used = encoding;
    if (unit == 2) {
        std::u16string doc;
        doc.reserve(body.size() / 2);
        for (size_t i = 0; i + 1 < body.size(); i += 2) {
            uint8_t a = static_cast<uint8_t>(body[i]), b = static_cast<uint8_t>(body[i + 1]);
            char16_t u = static_cast<char16_t>(swap ? (a << 8) | b : a | (b << 8));
            if (u == 0)
                ++nulls;
            else
                doc.push_back(u);
        }
        m_doc = std::move(doc);
    } else {
        int32_t cp = encoding.empty() ? -1 : EncodingToCodePage(platform::Utf8ToUtf16(encoding));
        if (cp == kUtf32CodePage) {
            // Zero bytes belong to the code units here, so only zero code points are dropped.
            std::string lower = encoding;
            for (auto& ch : lower) ch = static_cast<char>(LowerAscii(static_cast<char16_t>(ch)));
            bool big = lower.size() >= 2 && lower.compare(lower.size() - 2, 2, "be") == 0;
            std::u16string doc;
            for (size_t i = 0; i + 3 < body.size(); i += 4) {
                auto b = [&](size_t k) { return static_cast<uint32_t>(uint8_t(body[i + k])); };
                uint32_t v = big ? b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3)
                                 : b(3) << 24 | b(2) << 16 | b(1) << 8 | b(0);
                if (v == 0)
                    ++nulls;
                else
                    platform::AppendUtf16(doc, v <= 0x10FFFF ? v : 0xFFFD);
            }
            m_doc = std::move(doc);
            converted = true;
        } else {
            std::string clean;
            clean.reserve(body.size());
            for (char ch : body) {
                if (ch == 0)
                    ++nulls;
                else
                    clean.push_back(ch);
            }
            if (encoding.empty()) {
                detected = true;
                if (PassesUtf8Test(clean)) {
                    used = "UTF-8";
                    cp = 65001;
                }
            }
            // A declaration readable byte by byte cannot be right about 16-bit units.
            if (cp == 1200 || cp == 1201) cp = 65001;
            std::u16string doc;
            bool ok = cp > 0 && platform::CodePageToUtf16(static_cast<uint32_t>(cp), clean, doc);
            if (!ok) {
                used = "ANSI";
                platform::CodePageToUtf16(kFallbackAnsiCodePage, clean, doc);
            }
            m_doc = std::move(doc);
            converted = true;
        }
    }

    std::string r = used.empty() ? "ANSI" : used;
    if (bom) r += " BOM +";
    if (body.empty()) {
        r += " 0 length";
    } else {
        r += " length " + std::to_string(body.size() / static_cast<size_t>(unit));
        if (nulls) r += " (" + std::to_string(nulls) + " nulls removed)";
        if (swap) r += " endian swap";
        if (detected) r += " (used UTF-8 detection)";
        if (converted) r += " to " + std::to_string(m_doc.size()) + " wide chars";
    }
    m_loadResult = std::move(r);
    return true;
}

// ---- element index -------------------------------------------------------------------------

// The message is only built for the first error: a hostile file can hold millions of them.
template <class MakeText>
void XmlReader::SetError(MakeText&& makeText) {
    if (!m_elements.empty()) m_elements[0].flags |= kDocumentError;
    if (m_error.empty()) m_error = makeText();
}

std::u16string_view XmlReader::NameView(int32_t e) const {
    if (e <= 0 || static_cast<size_t>(e) >= m_elements.size()) return {};
    const Element& r = m_elements[static_cast<size_t>(e)];
    return std::u16string_view(m_doc).substr(r.start + 1, r.nameLen);
}

bool XmlReader::NameIs(int32_t e, std::u16string_view name) const {
    return name.empty() || NameView(e) == name;
}

int32_t XmlReader::AddElement(int32_t parent, uint32_t start, uint32_t nameLen) {
    int32_t e = static_cast<int32_t>(m_elements.size());
    Element r;
    r.start = start;
    r.nameLen = nameLen;
    r.parent = parent;
    m_elements.push_back(r);
    InsertAfter(m_elements[static_cast<size_t>(parent)].lastChild, e);
    return e;
}

void XmlReader::Unlink(int32_t e) {
    Element& r = m_elements[static_cast<size_t>(e)];
    Element& p = m_elements[static_cast<size_t>(r.parent)];
    if (r.prev)
        m_elements[static_cast<size_t>(r.prev)].next = r.next;
    else
        p.firstChild = r.next;
    if (r.next)
        m_elements[static_cast<size_t>(r.next)].prev = r.prev;
    else
        p.lastChild = r.prev;
    r.next = r.prev = 0;
}

// Links e into its parent's children after `after` (0: as the first child when the parent has
// none, otherwise it is taken as "after the last child").
void XmlReader::InsertAfter(int32_t after, int32_t e) {
    Element& r = m_elements[static_cast<size_t>(e)];
    Element& p = m_elements[static_cast<size_t>(r.parent)];
    if (!after) after = p.lastChild;
    r.prev = after;
    if (after) {
        Element& a = m_elements[static_cast<size_t>(after)];
        r.next = a.next;
        a.next = e;
    } else {
        r.next = p.firstChild;
        p.firstChild = e;
    }
    if (r.next)
        m_elements[static_cast<size_t>(r.next)].prev = e;
    else
        p.lastChild = e;
}

// Closes the open elements from `innermost` out to `outermost` where they stand: each becomes
// as if it had no content and its children follow it as siblings. Working from the outside in
// moves every element at most once, so a deep chain of unclosed tags costs linear time.
void XmlReader::CloseUnended(int32_t outermost, int32_t innermost, bool atEnd) {
    std::vector<int32_t> chain;
    for (int32_t e = innermost;; e = m_elements[static_cast<size_t>(e)].parent) {
        chain.push_back(e);
        if (e == outermost) break;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        int32_t e = *it;
        Element& r = m_elements[static_cast<size_t>(e)];
        r.flags |= kNotEnded | (atEnd ? kEndTagMissing : 0);
        r.length = r.startTagLen;
        r.endTagLen = 0;
        int32_t after = e;
        for (int32_t c = r.firstChild; c;) {
            int32_t next = m_elements[static_cast<size_t>(c)].next;
            Unlink(c);
            m_elements[static_cast<size_t>(c)].parent = m_elements[static_cast<size_t>(e)].parent;
            InsertAfter(after, c);
            after = c;
            c = next;
        }
    }
}

bool XmlReader::Parse() {
    Clear();
    std::u16string_view d = m_doc;
    m_elements.reserve(d.size() / 64 + 8);
    m_elements.emplace_back();
    // How many open elements carry each name, so an end tag that matches none of them is
    // recognised without walking the whole chain of open elements.
    std::unordered_map<std::u16string_view, size_t> open;
    int32_t cur = 0;
    auto offset = [](size_t v) { return std::to_string(v); };
    auto u32 = [](size_t v) { return static_cast<uint32_t>(v); };

    for (size_t pos = 0; pos < d.size();) {
        Node n = ScanNode(d, pos);
        pos = n.end;
        if (n.unterminated) {
            SetError([&] {
                return std::string(std::string(n.problem) + " at offset " + offset(n.start) +
                                   " unterminated");
            });
            break;
        }
        switch (n.kind) {
            case NodeKind::Bad:
                SetError([&] {
                    return std::string(std::string("Incorrect ") + n.problem + " at offset " +
                                       offset(n.start));
                });
                break;
            case NodeKind::StartTag:
            case NodeKind::EmptyTag: {
                int32_t e = AddElement(cur, u32(n.start), u32(n.nameLen));
                Element& r = m_elements[static_cast<size_t>(e)];
                r.startTagLen = u32(n.end - n.start);
                if (n.kind == NodeKind::EmptyTag) {
                    r.flags |= kEmptyTag;
                    r.length = r.startTagLen;
                } else {
                    ++open[d.substr(n.nameStart, n.nameLen)];
                    cur = e;
                }
                break;
            }
            case NodeKind::EndTag: {
                std::u16string_view name = d.substr(n.nameStart, n.nameLen);
                auto it = open.find(name);
                if (it == open.end() || it->second == 0) {
                    SetError([&] {
                        return std::string("No start tag for end tag '" + Narrow(name) +
                                           "' at offset " + offset(n.start));
                    });
                    break;
                }
                int32_t match = cur;
                while (NameView(match) != name)
                    match = m_elements[static_cast<size_t>(match)].parent;
                if (match != cur) {
                    const Element& inner = m_elements[static_cast<size_t>(cur)];
                    SetError([&] {
                        return std::string("End tag '" + Narrow(name) + "' at offset " +
                                           offset(n.start) + " does not match start tag '" +
                                           Narrow(NameView(cur)) + "' at offset " +
                                           offset(inner.start));
                    });
                    int32_t outer = cur;
                    while (m_elements[static_cast<size_t>(outer)].parent != match)
                        outer = m_elements[static_cast<size_t>(outer)].parent;
                    for (int32_t e = cur; e != match; e = m_elements[static_cast<size_t>(e)].parent)
                        --open[NameView(e)];
                    CloseUnended(outer, cur, false);
                }
                Element& r = m_elements[static_cast<size_t>(match)];
                r.length = u32(n.end - r.start);
                r.endTagLen = u32(n.end - n.start);
                --it->second;
                cur = r.parent;
                break;
            }
            default:
                break;
        }
    }
    if (cur) {
        const Element& inner = m_elements[static_cast<size_t>(cur)];
        SetError([&] {
            return std::string("Element '" + Narrow(NameView(cur)) + "' at offset " +
                               offset(inner.start) + " not ended");
        });
        int32_t outer = cur;
        while (m_elements[static_cast<size_t>(outer)].parent)
            outer = m_elements[static_cast<size_t>(outer)].parent;
        CloseUnended(outer, cur, true);
    }
    int32_t root = m_elements[0].firstChild;
    if (d.empty())
        SetError([&] { return std::string("Empty document"); });
    else if (!root)
        SetError([&] { return std::string("No root element"); });
    else if (m_elements[static_cast<size_t>(root)].next)
        SetError([&] { return std::string("Root element has sibling"); });
    return root && !m_elements[static_cast<size_t>(root)].next &&
           !(m_elements[0].flags & kDocumentError);
}

// ---- navigation ----------------------------------------------------------------------------

void XmlReader::Rewind() {
    m_parent = m_main = m_child = 0;
}

void XmlReader::SetPosition(Position p) {
    auto valid = [&](int32_t e) { return e >= 0 && static_cast<size_t>(e) < m_elements.size(); };
    if (!valid(p.parent) || !valid(p.main) || !valid(p.child)) return;
    m_parent = p.parent, m_main = p.main, m_child = p.child;
}

bool XmlReader::FindElement(std::u16string_view name) {
    if (m_elements.empty()) return false;
    int32_t e = m_main ? m_elements[static_cast<size_t>(m_main)].next
                       : m_elements[static_cast<size_t>(m_parent)].firstChild;
    for (; e; e = m_elements[static_cast<size_t>(e)].next) {
        if (NameIs(e, name)) {
            m_main = e;
            m_child = 0;
            return true;
        }
    }
    return false;
}

bool XmlReader::FindChild(std::u16string_view name) {
    if (m_elements.empty()) return false;
    if (!m_main && !FindElement()) return false;
    int32_t e = m_child ? m_elements[static_cast<size_t>(m_child)].next
                        : m_elements[static_cast<size_t>(m_main)].firstChild;
    for (; e; e = m_elements[static_cast<size_t>(e)].next) {
        if (NameIs(e, name)) {
            m_child = e;
            return true;
        }
    }
    return false;
}

bool XmlReader::EnterElement() {
    if (!m_child) return false;
    m_parent = m_main;
    m_main = m_child;
    m_child = 0;
    return true;
}

std::u16string XmlReader::GetChildContent() const {
    if (!m_child) return {};
    const Element& r = m_elements[static_cast<size_t>(m_child)];
    size_t cs = r.start + r.startTagLen, ce = r.start + r.length - r.endTagLen;
    if (ce <= cs) return {};
    std::u16string_view d = std::u16string_view(m_doc).substr(0, ce);
    std::u16string_view content = d.substr(cs);
    if (content.find(u'<') == std::u16string_view::npos) return DecodeCharacterReferences(content);

    std::u16string out;
    int32_t child = r.firstChild;
    for (size_t pos = cs; pos < ce;) {
        while (child && m_elements[static_cast<size_t>(child)].start < pos)
            child = m_elements[static_cast<size_t>(child)].next;
        if (child && m_elements[static_cast<size_t>(child)].start == pos) {
            pos += std::max<size_t>(m_elements[static_cast<size_t>(child)].length, 1);
            continue;
        }
        Node n = ScanNode(d, pos);
        if (n.unterminated) break;
        if (n.kind == NodeKind::Text || n.kind == NodeKind::Bad)
            out += DecodeCharacterReferences(d.substr(n.start, n.end - n.start));
        else if (n.kind == NodeKind::Cdata)
            out += d.substr(n.start + 9, n.end - 3 - (n.start + 9));
        pos = n.end;
    }
    return out;
}
