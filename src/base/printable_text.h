// Text that came from files or from the mouse (profile names, macro names, language texts) put
// on a terminal: control characters are shown as escapes, so a name cannot move the cursor,
// clear the screen or forge a line of the program's own output.
#pragma once
#include <string>
#include <string_view>

// `text` (UTF-8) with every C0 control, DEL and C1 control written as "\xNN" (the C1 ones as
// "\u0080" to "\u009f"); line breaks are kept when `keepLineBreaks` is set.
std::string PrintableText(std::string_view text, bool keepLineBreaks = false);

// The first `n` characters of a UTF-8 text (a character: a lead byte with its continuation
// bytes), for a place that holds so many.
std::string FirstChars(std::string_view text, size_t n);
