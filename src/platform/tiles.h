// Which tiles of a surface, in tiles of 32 x 16 pixels, a mark each: the
// tiles whose pixels may differ from those last presented, which are the
// only ones a present compares with what the window shows.
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
    }
    void mark(int column, int band) { marks_[static_cast<size_t>(band * columns_ + column)] = 1; }

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
    std::vector<uint8_t> marks_;
};

} // namespace pomlets
