// Small sensor DPI tables written out by hand for the page-model tests.
#pragma once
#include <cstdint>
#include <initializer_list>

#include "profile/sensor_table.h"

namespace zvtest {

// A table holding exactly these values.
inline SensorTable Table(std::initializer_list<uint16_t> values) {
    SensorTable t;
    t.id = 0x1234;
    for (uint16_t v : values) t.dpi[t.count++] = v;
    return t;
}

// first, first + step, ... up to last.
inline SensorTable Steps(uint16_t first, uint16_t last, uint16_t step) {
    SensorTable t;
    t.id = 0x1234;
    for (uint32_t v = first; v <= last; v += step) t.dpi[t.count++] = static_cast<uint16_t>(v);
    return t;
}

}  // namespace zvtest
