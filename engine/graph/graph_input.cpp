// Preparing the inputs of a graph drawing: the entry checks, the row tables over a cleaned copy
// of the data, and the interpolation of values marked InterpolateValue.
#include <cmath>
#include <cstdint>

#include "engine/graph/graph_internal.h"

namespace plotwise {
namespace {

// More floats than this in one drawing are refused as a bad size (the driver passes at most
// 100 000 per array).
constexpr int64_t kMaxValues = int64_t{1} << 26;

int rows_per_set(ChartType type) { return isHlc(type) ? 3 : isFloatingBar(type) ? 2 : 1; }

bool valid(float v) { return v != NoValue && v != InterpolateValue; }

// A copy of one value as the engine draws it: missing stays missing, non-finite values are
// missing, huge ones are held at the value limit.
float clean(float v, bool keep_interpolate) {
    if (v == NoValue || !std::isfinite(v)) return NoValue;
    if (v == InterpolateValue) return keep_interpolate ? v : NoValue;
    if (v > kValueLimit) return kValueLimit;
    if (v < -kValueLimit) return -kValueLimit;
    return v;
}

// Fills every InterpolateValue of a row from its valid neighbours: between the nearest valid
// values to the left and right, else along the line through the two nearest on one side.
// Values filled earlier in the row count as valid for the points after them.
void interpolate_row(float* v, int n) {
    // next_valid[p]: the first index >= p holding an original valid value, n when none. Values
    // to the right are not filled yet, so only original values count there.
    std::vector<int> next_valid(static_cast<size_t>(n) + 1, n);
    for (int p = n - 1; p >= 0; --p) next_valid[p] = valid(v[p]) ? p : next_valid[p + 1];
    int left1 = -1, left2 = -1;  // nearest and second nearest valid index to the left
    for (int p = 0; p < n; ++p) {
        if (v[p] == InterpolateValue) {
            int b1 = p + 1 < n ? next_valid[p + 1] : n;
            int b2 = b1 + 1 < n ? next_valid[b1 + 1] : n;
            int a = -1, b = -1;
            if (left1 >= 0 && b1 < n) {
                a = left1, b = b1;
            } else if (left1 < 0 && b2 < n) {
                a = b1, b = b2;
            } else if (b1 >= n && left2 >= 0) {
                a = left2, b = left1;
            }
            if (a >= 0 && a != b) {
                double va = v[a], vb = v[b];
                v[p] = clean(static_cast<float>(va + (vb - va) / (b - a) * (p - a)), false);
            } else {
                v[p] = NoValue;
            }
        }
        if (valid(v[p])) left2 = left1, left1 = p;
    }
}

}  // namespace

int check_graph_entry(short width, short height, ChartType type, int num_points, int num_sets,
                      const float* data, const float* extra) {
    if (width < 1 || height < 1) return -1;
    if (num_points < 1 || num_sets < 1 || data == nullptr) return 1;
    if (isXy(type) && extra == nullptr) return 1;  // points without x values cannot be placed
    int64_t rows = int64_t{num_sets} * rows_per_set(type) + (isXy(type) ? num_sets : 0) + 1;
    if (rows > kMaxValues || rows * num_points > kMaxValues) return -1;
    if (isCombo(type) && extra == nullptr) return -2;
    return 0;
}

bool prepare_graph_input(GraphInput& in, bool interpolate, short width, short height, ChartType type, int num_points,
                         const char* const* xlabels, int num_sets, const float* data, const float* extra) {
    // Unknown kinds draw like the kinds without data of their own: axes and frame only.
    if (type < 0 || type >= kChartTypeCount) type = Reserved20;
    in.width = width;
    in.height = height;
    in.type = type;
    in.num_points = num_points;
    in.xlabels = xlabels;
    in.num_sets = num_sets;
    if (isCombo(type) && extra == nullptr) return false;
    if (num_points < 1 || num_sets < 1 || data == nullptr) return true;
    if (isXy(type) && extra == nullptr) return true;

    const size_t n = static_cast<size_t>(num_points);
    in.rows = num_sets * rows_per_set(type);
    const size_t rows = static_cast<size_t>(in.rows);
    const size_t xrows = isXy(type) ? static_cast<size_t>(num_sets) : 0;
    const size_t vol = isCombo(type) ? 1 : 0;
    const bool fill = interpolate;
    in.storage.resize((rows + xrows + vol) * n);
    float* out = in.storage.data();
    for (size_t i = 0; i < rows * n; ++i) out[i] = clean(data[i], fill);
    for (size_t i = 0; i < xrows * n; ++i) out[rows * n + i] = clean(extra[i], false);
    float* vol_row = out + (rows + xrows) * n;
    for (size_t i = 0; i < vol * n; ++i) vol_row[i] = clean(extra[i], fill);
    if (fill) {
        for (size_t r = 0; r < rows; ++r) interpolate_row(out + r * n, num_points);
        if (vol) interpolate_row(vol_row, num_points);
    }
    in.row.clear();
    for (size_t r = 0; r < rows; ++r) in.row.push_back(out + r * n);
    in.xrow.clear();
    for (size_t r = 0; r < xrows; ++r) in.xrow.push_back(out + (rows + r) * n);
    in.vol = vol ? vol_row : nullptr;
    return true;
}

}  // namespace plotwise
