#pragma once

#include <cstdint>
#include <vector>

namespace kelp {

// A set of numbered on/off flags, from 0 up, without an upper limit.
// Constructed from the initial bits of flags 0 to 31 and the value every
// other flag starts with.
//
//   KLFlags flags(0, false);   // every flag clear
//   flags.setFlag(2);
//   if (flags.isFlagSet(2)) ...
class KLFlags {
public:
    explicit KLFlags(int initialBits = 0, bool others = false);
    virtual ~KLFlags();
    KLFlags(const KLFlags&) = default;
    KLFlags& operator=(const KLFlags&) = default;

    // Negative flag numbers name no flag: changing them does nothing and they read as clear.
    virtual void setFlag(int flag, bool on = true);
    virtual void clearFlag(int flag) { setFlag(flag, false); }
    virtual bool isFlagSet(int flag) const;

private:
    std::vector<std::uint64_t> m_words;  // flags 64*i .. 64*i+63; grows on demand
    bool m_others;                       // the value of flags beyond the words
};

}  // namespace kelp
