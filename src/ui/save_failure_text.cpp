#include "ui/save_failure_text.h"

#include "base/language_texts.h"

std::string SaveFailureText(const std::vector<platform::SaveFailure>& failures) {
    if (failures.empty()) return {};
    std::string text = GetText("tc_save_failed");
    if (text.empty()) text = "These files could not be saved:";
    for (const platform::SaveFailure& f : failures)
        text += "\n" + f.path + ": " + platform::ErrorText(f.err);
    return text;
}
