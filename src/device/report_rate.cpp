#include "device/report_rate.h"

#include <array>

namespace {

constexpr std::array<ReportRate, 4> kRates{{
    {1, 0x1000, 1000},
    {2, 0x500, 500},
    {4, 0x250, 250},
    {8, 0x125, 125},
}};

template <typename Pred>
const ReportRate* Find(Pred pred) {
    for (const ReportRate& r : kRates)
        if (pred(r)) return &r;
    return nullptr;
}

}  // namespace

const ReportRate* RateOfInterval(uint32_t intervalMs) {
    return Find([&](const ReportRate& r) { return r.intervalMs == intervalMs; });
}

const ReportRate* RateOfCode(int32_t code) {
    return Find([&](const ReportRate& r) { return r.code == code; });
}

const ReportRate* RateOfHz(int64_t hz) {
    return Find([&](const ReportRate& r) { return r.hz == hz; });
}
