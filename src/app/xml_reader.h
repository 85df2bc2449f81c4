// Moved to base/, below every layer; this path stays so code written against it still builds.
#pragma once
#include "base/xml_reader.h"
