// Any bytes as the text of `profile apply`: the reader ends in a value or an error with its
// place, never a crash, a hang or a deep recursion; and a value it takes, written out again,
// reads back as the same value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/json_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const JsonParseResult r = ParseJson(text);
    if (!r.value) {
        if (r.error.rfind("line ", 0) != 0 && r.error.rfind("the text is larger", 0) != 0)
            std::abort();
        return 0;
    }
    // Written compactly, it may be larger than the text read (\u escapes of control
    // characters): the reader's size limit is not the point here.
    const JsonParseResult again = ParseJson(WriteJson(*r.value), JsonLimits{1 << 24, 16});
    if (!again.value || !(*again.value == *r.value)) std::abort();
    return 0;
}
