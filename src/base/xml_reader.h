// A small XML reader for the language files: loads a file in any of the usual encodings into
// UTF-16, indexes its elements (one record per element, no object per node) and walks them by
// name. It never writes and checks only well-formedness; a damaged document stays usable and
// its first error is kept as a message.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Windows code page of an encoding name (case-insensitive); -1 when the name is unknown or is
// 100 characters or longer. Names beginning with "UTF-32" give 65005.
int32_t EncodingToCodePage(std::u16string_view name);

// Code point of a character-entity name; 0 when unknown. A name whose case matches an entry
// exactly gives that entry (so "aelig" and "AElig" differ); otherwise the first entry that
// matches regardless of case.
uint32_t EntityCodePoint(std::u16string_view name);

// Decodes character references (&amp; &#65; &#x41;) in one pass. Unknown names, references
// without a semicolon within 9 characters and bare ampersands are kept as they are.
std::u16string DecodeCharacterReferences(std::u16string_view text);

// The UTF-8 heuristic used when a file declares no encoding.
bool PassesUtf8Test(std::string_view bytes);

class XmlReader {
  public:
    // Loads a file (at most 64 MB); false when it cannot be read. The result text says what
    // loading did (encoding, length, conversions) or why it failed.
    bool Load(const std::string& path);
    // The same, from bytes already in memory.
    bool LoadBytes(std::string_view bytes);
    // Uses this text as the document.
    void SetDocument(std::u16string text);
    const std::string& GetLoadResult() const { return m_loadResult; }
    const std::u16string& GetDocument() const { return m_doc; }

    // Builds the element index; true when the document is well-formed (one root element, no
    // error). Parsing never stops at an error: it recovers and keeps the first error text.
    bool Parse();
    const std::string& GetError() const { return m_error; }

    // Navigation. An empty name matches any element.
    void Rewind();
    bool FindElement(std::u16string_view name = {});
    bool FindChild(std::u16string_view name = {});
    bool EnterElement();
    // Text content of the current child: text with references decoded, CDATA kept as it is,
    // child elements, comments and processing instructions left out.
    std::u16string GetChildContent() const;
    // Name of the main element or the child; empty when there is none.
    std::u16string GetElementName() const { return NameOf(m_main); }
    std::u16string GetChildName() const { return NameOf(m_child); }

    // The whole navigation position, so a caller can look inside an element and come back.
    struct Position {
        int32_t parent = 0, main = 0, child = 0;
    };
    Position GetPosition() const { return {m_parent, m_main, m_child}; }
    void SetPosition(Position p);

  private:
    enum : uint16_t {
        kEmptyTag = 1,       // <x/>
        kNotEnded = 2,       // closed by an outer end tag or by the end of the text
        kEndTagMissing = 4,  // still open at the end of the text
        kDocumentError = 8,  // record 0: an error occurred
    };
    // Record 0 is the document itself; 0 in a link means "none".
    struct Element {
        uint32_t start = 0;   // offset of '<' of the start tag
        uint32_t length = 0;  // start tag to the end of the end tag
        uint32_t startTagLen = 0;
        uint32_t endTagLen = 0;  // 0 for an empty-element tag or a not-ended element
        uint32_t nameLen = 0;
        int32_t parent = 0, firstChild = 0, lastChild = 0, next = 0, prev = 0;
        uint16_t flags = 0;
    };

    void Clear();
    template <class MakeText>
    void SetError(MakeText&& makeText);
    std::u16string_view NameView(int32_t e) const;
    std::u16string NameOf(int32_t e) const { return std::u16string(NameView(e)); }
    bool NameIs(int32_t e, std::u16string_view name) const;
    int32_t AddElement(int32_t parent, uint32_t start, uint32_t nameLen);
    void Unlink(int32_t e);
    void InsertAfter(int32_t after, int32_t e);
    void CloseUnended(int32_t outermost, int32_t innermost, bool atEnd);

    std::u16string m_doc;
    std::vector<Element> m_elements;
    std::string m_error;
    std::string m_loadResult;
    int32_t m_parent = 0, m_main = 0, m_child = 0;
};
