// Writes the seed corpus of the input fuzzer into the directory given: a few
// sessions of steps (opcode, two arguments; see input_fuzz.cpp).
#include <cstdint>
#include <utility>
#include <vector>

#include "seed_corpus.h"

namespace {

enum Op : std::uint8_t {
    kMove = 0, kDown = 3, kUp = 4, kWheel = 5, kClock = 6, kAdd = 7, kClear = 8, kResize = 9,
    kScroll = 10, kShow = 11, kEnable = 12, kEnableAll = 13, kAddPane = 14, kDragBar = 15,
    kDelete = 16, kSaboteur = 17, kParentBreaker = 18, kSiblingMaker = 19
};

using Session = std::vector<std::uint8_t>;

Session click(std::uint8_t x, std::uint8_t y) {
    return {kMove, x, y, kDown, 0, 0, kUp, 0, 0};
}

Session operator+(Session a, const Session& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    return seed_corpus::write(argc, argv, {
        {"hover-click-wheel", click(20, 10) + Session{kMove, 60, 40, kWheel, 0, 0, kWheel, 4, 0,
                                                      kClock, 200, 0}},
        {"add-scroll-clear", Session{kAdd, 39, 0, kScroll, 1, 1, kScroll, 1, 3, kScroll, 1, 7,
                                     kClear, 0, 0, kAdd, 5, 0}},
        {"resize-and-drag", Session{kResize, 100, 100, kResize, 10, 5, kResize, 255, 200,
                                    kAddPane, 20, 0, kDragBar, 0, 20, kDragBar, 1, 250}},
        {"windows-come-and-go", Session{kShow, 2, 0, kEnable, 3, 0, kEnableAll, 0, 0,
                                        kDelete, 4, 0, kShow, 2, 1, kEnableAll, 0, 1}},
        {"saboteurs", Session{kSaboteur, 0, 1, kParentBreaker, 0, 0, kSiblingMaker, 30, 30} +
                          click(10, 60) + click(200, 10) + Session{kClear, 0, 0}},
        {"host-destroys-splitter", Session{kClear, 0, 0, kSaboteur, 0, 0} + click(5, 5) +
                                       Session{kAdd, 3, 0, kResize, 90, 90}},
    });
}
