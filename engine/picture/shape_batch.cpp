// Gathering lines and rectangles of one ink.
#include "engine/picture/shape_batch.h"

#include <algorithm>
#include <numeric>
#include <tuple>
#include <utility>

#include "engine/picture/vector_base.h"

namespace plotwise {

void ShapeBatch::add_line(int ink, int x1, int y1, int x2, int y2) {
    const PixelSpan line{x1, y1, x2, y2};
    if (!(last_line_ && ink == ink_ && lengthen(line))) lines_.push_back(line);
    ink_ = ink;
    last_line_ = true;
}

void ShapeBatch::add_rect(int ink, int x1, int y1, int x2, int y2) {
    rects_.push_back({x1, y1, x2, y2});
    ink_ = ink;
    last_line_ = false;
}

bool ShapeBatch::lengthen(const PixelSpan& line) {
    PixelSpan& last = lines_.back();
    // The straight's step from one pixel on it to the next: the smallest whole step along
    // whichever line has a length, or the step between two single pixels.
    long dx = static_cast<long>(last.x2) - last.x1, dy = static_cast<long>(last.y2) - last.y1;
    if (dx == 0 && dy == 0) dx = static_cast<long>(line.x2) - line.x1, dy = static_cast<long>(line.y2) - line.y1;
    if (dx == 0 && dy == 0) dx = static_cast<long>(line.x1) - last.x1, dy = static_cast<long>(line.y1) - last.y1;
    if (dx == 0 && dy == 0) return true;  // the same pixel again
    const long g = std::gcd(dx, dy);
    dx /= g, dy /= g;
    // A single pixel is a square on the picture's axes: it only continues a level or upright line.
    const bool level_or_upright = dx == 0 || dy == 0;
    const bool single = (line.x1 == line.x2 && line.y1 == line.y2) || (last.x1 == last.x2 && last.y1 == last.y2);
    if (single && !level_or_upright) return false;
    const long ox = last.x1, oy = last.y1;
    auto on_straight = [&](long x, long y) { return (x - ox) * dy - (y - oy) * dx == 0; };
    if (!on_straight(line.x1, line.y1) || !on_straight(line.x2, line.y2)) return false;
    // Positions along the straight, in steps from the last line's first end.
    const long step = dx * dx + dy * dy;
    auto at = [&](long x, long y) { return ((x - ox) * dx + (y - oy) * dy) / step; };
    const long a1 = std::min(at(last.x1, last.y1), at(last.x2, last.y2));
    const long a2 = std::max(at(last.x1, last.y1), at(last.x2, last.y2));
    const long b1 = std::min(at(line.x1, line.y1), at(line.x2, line.y2));
    const long b2 = std::max(at(line.x1, line.y1), at(line.x2, line.y2));
    // Square ends reach half the width beyond the end pixels: on a level or upright line (one
    // pixel wide) pixels side by side touch; a slanting line's pixels lie farther apart than
    // its width, so its parts must share a pixel.
    const long reach = level_or_upright ? 1 : 0;
    if (b1 > a2 + reach || a1 > b2 + reach) return false;
    const long from = std::min(a1, b1), to = std::max(a2, b2);
    last = {static_cast<int>(ox + from * dx), static_cast<int>(oy + from * dy), static_cast<int>(ox + to * dx),
            static_cast<int>(oy + to * dy)};
    return true;
}

void ShapeBatch::sort_by_weight() {
    std::vector<std::pair<double, PixelSpan>> keyed(lines_.size());
    std::transform(lines_.begin(), lines_.end(), keyed.begin(), [](const PixelSpan& l) {
        return std::pair{line_weight(l.x1, l.y1, l.x2, l.y2), l};
    });
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    weights_.resize(keyed.size());
    for (size_t i = 0; i < keyed.size(); ++i) std::tie(weights_[i], lines_[i]) = keyed[i];
    last_line_ = false;  // the last line added may have moved
}

}  // namespace plotwise
