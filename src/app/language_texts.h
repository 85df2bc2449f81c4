// Moved: the texts to base/, the choice of language to app/language_select.h; this path stays
// so code written against it still builds.
#pragma once
#include "app/language_select.h"
#include "base/language_texts.h"
