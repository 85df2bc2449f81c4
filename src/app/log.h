// Moved to base/, below every layer; this path stays so code written against it still builds.
#pragma once
#include "base/log.h"
