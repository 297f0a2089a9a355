#pragma once

#include <initializer_list>
#include <vector>

namespace kelp {

// An int array whose length is fixed when it is made (a negative length
// gives an empty array). Indexing outside it throws KLIndexOutOfBoundsException.
//
//   KLIntegerArray colors(8);   // all 0
//   colors[2] = RGB(255, 0, 0);
class KLIntegerArray {
public:
    static constexpr const char* kFile = "KLIntegerArray.h";
    static constexpr int kLineIndex = 34;

    explicit KLIntegerArray(int size = 0) : m_values(size > 0 ? size : 0, 0) {}
    KLIntegerArray(std::initializer_list<int> values) : m_values(values) {}

    int& operator[](int index);
    int get(int index) const;
    int size() const { return static_cast<int>(m_values.size()); }

    friend bool operator==(const KLIntegerArray&, const KLIntegerArray&) = default;

private:
    std::vector<int> m_values;
};

}  // namespace kelp
