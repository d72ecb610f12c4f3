// Lines and rectangles of one ink, drawn one after another, gathered so that a vector file
// holds them as a few shapes rather than one each. A PDF or SVG reader pays for every shape
// it is handed (Cairo's PDF writer merges the region of each into the page's, a viewer strokes
// each on its own), so a series of 1000 points drawn as 2000 strokes costs far more than one
// stroke of 2000 pieces. The lines are stroked as one path per line width (pieces of a path
// are stroked as they would be alone, each with its square ends): the same area, painted
// once. Rectangles are kept, to be filled one by one as before (a viewer fills a lone
// rectangle on whole pixels, a path of many on its edges), so that lines keep gathering
// across the pixels drawn between them. Since the ink is one, the order within a batch does
// not show. Internal to the vector back ends.
#pragma once

#include <span>
#include <vector>

namespace plotwise {

// A line of one pixel from pixel (x1, y1) to (x2, y2), or the pixels x1..x2, y1..y2 of a rectangle.
struct PixelSpan {
    int x1, y1, x2, y2;
    bool operator==(const PixelSpan&) const = default;
};

class ShapeBatch {
public:
    // Whether a shape of `ink` joins the batch (it is empty, or of that ink).
    bool accepts(int ink) const { return empty() || ink == ink_; }
    // A line; one that goes on along the straight of the line added last (a series' segment
    // that keeps its direction, the second pixel row of a thick upright line) lengthens that
    // line instead: the two together cover what the longer line covers.
    void add_line(int ink, int x1, int y1, int x2, int y2);
    void add_rect(int ink, int x1, int y1, int x2, int y2);

    bool empty() const { return lines_.empty() && rects_.empty(); }
    int ink() const { return ink_; }
    // The lines in groups of one line_weight each, the groups in order of weight.
    template <typename Stroke>
    void for_each_weight(Stroke stroke);
    const std::vector<PixelSpan>& rects() const { return rects_; }
    void clear() {
        lines_.clear();
        rects_.clear();
        last_line_ = false;
    }

private:
    bool lengthen(const PixelSpan& line);
    void sort_by_weight();

    int ink_ = -1;
    std::vector<PixelSpan> lines_, rects_;
    std::vector<double> weights_;  // of lines_, once sorted
    bool last_line_ = false;       // the last shape added is lines_.back()
};

template <typename Stroke>
void ShapeBatch::for_each_weight(Stroke stroke) {
    sort_by_weight();
    for (size_t from = 0, to = 0; from < lines_.size(); from = to) {
        while (to < lines_.size() && weights_[to] == weights_[from]) ++to;
        stroke(weights_[from], std::span<const PixelSpan>(lines_.data() + from, to - from));
    }
}

}  // namespace plotwise
