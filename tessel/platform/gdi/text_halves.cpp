// Measuring one very long wrapped paragraph on two threads.
//
// Lines break greedily, so the lines that follow a line start depend only on
// the text from there. A second thread lays out the paragraph as if a line
// started a little past its middle while this thread lays it out from the
// beginning; where this thread's lines reach a line start the second thread
// also found, the rest of the paragraph is the second thread's, exactly.
// They meet within a few lines; if they never do, this thread goes on alone
// and the result is the same, only slower.
#include "gdi/text.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace tessel::gdi {

namespace {

struct LineFound {
    std::size_t start;
    int width;
};

}  // namespace

bool TextEngine::walkPlain(PangoContext* context, const FontFace& face,
                           std::wstring_view paragraph, std::size_t from,
                           const LayoutOptions& options,
                           const std::function<bool(std::size_t start, int width)>& visit) {
    return walkPieces(face, paragraph, from, options, false, context,
                      [&](TextLayout* layout, int index, std::size_t start) {
                          return visit(start, layout ? layout->lines()[index].width : 0);
                      });
}

bool TextEngine::measureInHalves(const FontFace& face, std::wstring_view paragraph,
                                 const LayoutOptions& options, TextCache::Measure& found) {
    const std::size_t space = paragraph.find(L' ', paragraph.size() / 2);
    const std::size_t middle =
        space == std::wstring_view::npos ? space : paragraph.find_first_not_of(L' ', space);
    if (middle == std::wstring_view::npos) return false;
    if (!m_helperPango) m_helperPango = std::make_unique<PangoTextContext>();

    std::vector<LineFound> second;
    bool secondComplete = false;
    std::jthread helper([&, context = m_helperPango->get()] {
        try {
            secondComplete = walkPlain(context, face, paragraph, middle, options,
                                       [&](std::size_t start, int width) {
                                           second.push_back({start, width});
                                           return true;
                                       });
        } catch (const std::exception&) {
            second.clear();  // this thread then measures all of it
        }
    });

    TextCache::Measure first{0, 0};
    std::vector<int> widestFrom;  // of second's lines from each on
    walkPlain(m_pango.get(), face, paragraph, 0, options, [&](std::size_t start, int width) {
        if (start >= middle) {
            if (helper.joinable()) {
                helper.join();
                if (!secondComplete) second.clear();
                widestFrom.resize(second.size());
                int widest = 0;
                for (std::size_t i = second.size(); i-- > 0;)
                    widestFrom[i] = widest = std::max(widest, second[i].width);
            }
            const auto same = std::lower_bound(
                second.begin(), second.end(), start,
                [](const LineFound& line, std::size_t at) { return line.start < at; });
            if (same != second.end() && same->start == start) {
                const auto index = static_cast<std::size_t>(same - second.begin());
                first.lines += static_cast<long long>(second.size() - index);
                first.widest = std::max(first.widest, widestFrom[index]);
                return false;
            }
        }
        ++first.lines;
        first.widest = std::max(first.widest, width);
        return true;
    });
    found = first;
    return true;
}

}  // namespace tessel::gdi
