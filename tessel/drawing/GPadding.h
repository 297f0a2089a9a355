#pragma once

// Four insets around a content box, in pixels. Which field is which side is
// named by the fields; the constructor takes them in the order left, right,
// top, bottom.
//
//   GPadding padding(5, 5, 3, 3);
//   content.DeflateRect(padding.left, padding.top, padding.right, padding.bottom);
class GPadding {
public:
    GPadding() = default;
    GPadding(int leftInset, int rightInset, int topInset, int bottomInset)
        : left(leftInset), right(rightInset), top(topInset), bottom(bottomInset) {}
    bool operator==(const GPadding&) const = default;

    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};
