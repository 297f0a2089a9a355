#include "KLFlags.h"

namespace kelp {

KLFlags::KLFlags(int initialBits, bool others)
    : m_words(1, (others ? ~std::uint64_t{0} << 32 : 0) | static_cast<std::uint32_t>(initialBits)),
      m_others(others) {}

KLFlags::~KLFlags() = default;

void KLFlags::setFlag(int flag, bool on) {
    if (flag < 0) return;
    const auto word = static_cast<std::size_t>(flag) / 64;
    if (word >= m_words.size()) {
        if (on == m_others) return;  // already reads that way
        m_words.resize(word + 1, m_others ? ~std::uint64_t{0} : 0);
    }
    const std::uint64_t bit = std::uint64_t{1} << (flag % 64);
    m_words[word] = on ? (m_words[word] | bit) : (m_words[word] & ~bit);
}

bool KLFlags::isFlagSet(int flag) const {
    if (flag < 0) return false;
    const auto word = static_cast<std::size_t>(flag) / 64;
    if (word >= m_words.size()) return m_others;
    return (m_words[word] >> (flag % 64)) & 1;
}

}  // namespace kelp
