// Which parts of a surface were written: the surface in tiles of 32 x 16
// pixels, a mark each. A present compares only the marked tiles with what the
// window shows, and a copy of the same unchanged picture over a surface
// restores only the tiles drawn on since the last one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pomlets {

class Tiles {
public:
    static constexpr int width = 32, height = 16;

    // A surface of the size, every tile marked or none.
    void reset(int surfaceWidth, int surfaceHeight, bool marked) {
        columns_ = (surfaceWidth + width - 1) / width;
        bands_ = (surfaceHeight + height - 1) / height;
        marks_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(bands_), marked ? 1 : 0);
        any_ = marked && !marks_.empty();
    }
    // Marks every tile that the rectangle [left, right) x [top, bottom) touches.
    void mark(int left, int top, int right, int bottom) {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, columns_ * width);
        bottom = std::min(bottom, bands_ * height);
        if (left >= right || top >= bottom) return;
        for (int band = top / height; band <= (bottom - 1) / height; ++band)
            std::fill_n(marks_.begin() + band * columns_ + left / width, (right - 1) / width - left / width + 1, 1);
        any_ = true;
    }
    void clear() {
        if (any_) std::fill(marks_.begin(), marks_.end(), 0);
        any_ = false;
    }

    int columns() const { return columns_; }
    int bands() const { return bands_; }
    bool marked(int column, int band) const { return marks_[static_cast<size_t>(band * columns_ + column)] != 0; }
    // Calls run(first, end) for each run [first, end) of neighbouring marked
    // columns of the band, left to right.
    template <typename Run>
    void forEachRun(int band, Run run) const {
        for (int c = 0; c < columns_;) {
            if (!marked(c, band)) {
                ++c;
                continue;
            }
            const int first = c;
            while (c < columns_ && marked(c, band)) ++c;
            run(first, c);
        }
    }

private:
    int columns_ = 0, bands_ = 0;
    bool any_ = false;
    std::vector<uint8_t> marks_;
};

} // namespace pomlets
