// The side walls of a 3D pie and the order they are painted in: the walls farthest from the
// depth direction first, the nearest last, so the nearer walls cover the farther ones.
#include <cmath>

#include "engine/pie/pie_internal.h"

namespace plotwise::pie {

namespace {

// Angular distance to the depth direction, in single precision; an angle at 0 counts as a
// hair past it.
struct DepthDistance {
    float A;
    float operator()(float a) const {
        if (a > -0.00001 && a < 0.00001) a = 0.00001f;
        float d = std::fabs(a - A);
        if (d > kPiF) d = std::fabs(d - kTwoPiF);
        return d;
    }
};

// -1 when a is painted before b, 1 after, 0 either way.
struct DepthOrder {
    DepthDistance dist;
    bool depth_within(const PieSide& w) const {
        return (w.side < dist.A && dist.A < w.middle) || (w.middle < dist.A && dist.A < w.side);
    }
    int operator()(const PieSide& a, const PieSide& b) const {
        const float da = dist(a.side), db = dist(b.side);
        if (da < db) return 1;
        if (da > db) return -1;
        if (depth_within(a)) return 1;
        if (depth_within(b)) return -1;
        const float ma = dist(a.middle), mb = dist(b.middle);
        if (ma < mb) return 1;
        if (ma > mb) return -1;
        return 0;
    }
};

// A stable top-down merge sort that takes the left record unless the comparison puts it
// after the right one. The tie rule of the depth order is not a strict ordering (two walls
// can each claim to go after the other), so the sort must stay in bounds and give the same
// order for any comparison results, on every platform.
void merge_sort(PieSide* items, size_t n, PieSide* scratch, const DepthOrder& order) {
    if (n <= 1) return;
    const size_t n1 = n / 2, n2 = n - n1;
    PieSide* left = items;
    PieSide* right = items + n1;
    merge_sort(left, n1, scratch, order);
    merge_sort(right, n2, scratch, order);
    size_t i = 0, j = 0, k = 0;
    while (i < n1 && j < n2) scratch[k++] = order(left[i], right[j]) <= 0 ? left[i++] : right[j++];
    while (i < n1) scratch[k++] = left[i++];
    // The rest of the right run is already in place.
    for (size_t c = 0; c < k; ++c) items[c] = scratch[c];
}

// An angle brought into [0, 2π).
float wrapped(float a) {
    if (a >= kTwoPiF) a -= kTwoPiF;
    if (a < 0) a += kTwoPiF;
    return a;
}

}  // namespace

std::vector<PieSide> ordered_walls(const std::vector<Slice>& slices, float depth_angle) {
    // Depth directions of a full turn or more are taken within the first turn, so that the
    // distances below measure the nearer way round.
    float A = depth_angle;
    while (A >= kTwoPiF) A -= kTwoPiF;
    const DepthOrder order{DepthDistance{A}};
    const float T1 = wrapped(A + kHalfPiF);
    const float T2 = wrapped(A + kThreeHalfPiF);

    std::vector<PieSide> walls;
    walls.reserve(slices.size() * 4 + 4);
    for (size_t i = 0; i < slices.size(); ++i) {
        const Slice& sl = slices[i];
        if (sl.missing) continue;
        const int index = static_cast<int>(i);
        const float dm = order.dist(sl.middle);
        walls.push_back({index, static_cast<unsigned char>(dm <= order.dist(sl.start)), sl.start, sl.middle});
        walls.push_back({index, static_cast<unsigned char>(dm <= order.dist(sl.end)), sl.end, sl.middle});
        // A slice spanning a direction at right angles to the depth gets a wall piece there.
        if (sl.start < T1 && T1 < sl.end) walls.push_back({index, 0, T1, sl.middle});
        if (sl.start < T2 && T2 < sl.end) walls.push_back({index, 0, T2, sl.middle});
    }
    std::vector<PieSide> scratch(walls.size());
    merge_sort(walls.data(), walls.size(), scratch.data(), order);
    return walls;
}

}  // namespace plotwise::pie
