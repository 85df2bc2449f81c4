// The current language in gVar.
#pragma once

struct LanguageState {};
