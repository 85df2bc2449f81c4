// Any bytes as a language file: loading, parsing, walking the elements and reading texts must
// end in a result or an error text, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/language_texts.h"
#include "base/xml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    XmlReader xml;
    xml.LoadBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    xml.Parse();
    (void)xml.GetError();

    // Walk down the first branch and across each level, reading every child's content.
    xml.Rewind();
    for (int depth = 0; depth < 64; ++depth) {
        int children = 0;
        while (children < 256 && xml.FindChild()) {
            (void)xml.GetChildContent();
            ++children;
        }
        xml.Rewind();
        for (int d = 0; d < depth; ++d)
            if (!xml.FindChild() || !xml.EnterElement()) break;
        if (!xml.FindChild() || !xml.EnterElement()) break;
    }
    while (xml.FindElement()) {
    }

    // The language loader's own walk over the same document.
    TextTable table;
    table.Fill(xml);
    return 0;
}
