// Writes the seed corpus of the geometry fuzzer into the directory given:
// one program per hostile case (see geometry_fuzz.cpp for the encoding).
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <string>
#include <vector>

#include "seed_corpus.h"

namespace {

// Value bytes: indices into the fuzzer's edge values, or kRaw and four bytes.
enum Edge : std::uint8_t {
    k0 = 0, k1 = 1, kMinus1 = 2, k100 = 4, k500 = 5, k32767 = 6, k32768 = 7, k40000 = 10,
    k24000 = 11, kIntMax = 14, kIntMin = 15, k2e9 = 16, kMinus2e9 = 17, k9999999 = 22,
    k5000000 = 23, kRaw = 0xF0
};
enum Op : std::uint8_t { kCreate, kMove, kSetPos, kInvalidate, kScrollInfo, kShowBar, kClick, kClock, kShow };
enum Which : std::uint8_t { kTop = 0, kChild = 1 };

using Program = std::vector<std::uint8_t>;

Program step(Op op, std::uint8_t which, std::initializer_list<std::uint8_t> values) {
    Program p{op, which};
    p.insert(p.end(), values);
    return p;
}

Program join(std::initializer_list<Program> steps) {
    Program all;
    for (const Program& s : steps)
        all.insert(all.end(), s.begin(), s.end());
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint8_t page0x80000000[] = {kRaw, 0x80, 0, 0, 0};
    Program hugePage = step(kScrollInfo, kChild, {kIntMin, kIntMax});
    hugePage.insert(hugePage.end(), std::begin(page0x80000000), std::end(page0x80000000));
    hugePage.push_back(k0);
    return seed_corpus::write(argc, argv, {
        {"wide-windows", join({step(kMove, kTop, {k0, k0, k32767, k100}),
                               step(kMove, kTop, {k0, k0, k32768, k100}),
                               step(kMove, kTop, {k0, k0, k40000, k100}),
                               step(kMove, kChild, {k0, k0, k40000, k40000}),
                               step(kInvalidate, kTop | 2, {k0, k0, k0, k0})})},
        {"square-24000", step(kCreate, 2, {k0, k0, k24000, k24000})},
        {"framed-int-max", step(kCreate, 2, {k0, k0, kIntMax, kMinus1})},
        {"set-pos-limits", join({step(kSetPos, kTop, {kIntMin, kIntMax, kIntMax, kMinus1}),
                                 step(kSetPos, kChild, {kMinus2e9, k2e9, kMinus1, kIntMax})})},
        {"invalidate-2e9", join({step(kInvalidate, kTop, {kMinus2e9, kMinus2e9, k2e9, k2e9}),
                                 step(kInvalidate, kChild, {k2e9, k2e9, kMinus2e9, kMinus2e9})})},
        {"scroll-ten-million", join({step(kScrollInfo, kChild, {k0, k9999999, k500, k5000000}),
                                     step(kClick, kChild, {k100, k100, k100, k100})})},
        {"scroll-int-range", join({hugePage, step(kScrollInfo, kChild | 4, {kIntMin, kIntMax, kIntMax, kIntMin}),
                                   step(kScrollInfo, kChild | 2, {kIntMax, kIntMin, k1, k0})})},
        {"bars-shown-and-clicked", join({step(kShowBar, kTop | 8 | 4, {k0, k0, k0, k0}),
                                         step(kScrollInfo, kTop, {k0, k100, k1, k500}),
                                         step(kClick, kTop | 2, {k500, k100, k500, k500}),
                                         step(kClock, kTop, {k500, k0, k0, k0}),
                                         step(kShow, kTop | 2, {k0, k0, k0, k0})})},
    });
}
