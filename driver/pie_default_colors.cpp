#include "driver/pie_default_colors.h"

namespace plotwise {
namespace {

// Rows of ten colours. Row 0 is given whole; every later row r shifts the first row's hues by
// k = 4r in one channel per column (and the first column by 4 more from row 18 on), so that
// neighbouring slices stay apart while the rows drift slowly.
constexpr uint32_t kFirstRow[10] = {0xFF4040, 0x80FF80, 0x8080FF, 0xFF80FF, 0xFFFF80,
                                    0x80FFFF, 0x7F00BF, 0xF07FA0, 0xBF0080, 0x00BF80};
// Base colour and channel step of each column in the rows from 1 on.
struct ColumnRule {
    uint32_t base;
    uint32_t step;
};
constexpr ColumnRule kColumns[10] = {
    {0xFF4040, 0x1},     {0x80FF80, 0x1},   {0x8080FF, 0x10000}, {0xFF80FF, 0x100},
    {0xFFFF80, 0x1},     {0x80FFFF, 0x10000}, {0x0080BF, 0x10000}, {0x80FF00, 0x1},
    {0xBF0080, 0x100},   {0x00BF80, 0x10000},
};

constexpr std::array<uint32_t, kPieDefaultColorCount> buildTable() {
    std::array<uint32_t, kPieDefaultColorCount> table{};
    for (int i = 0; i < kPieDefaultColorCount; ++i) {
        const int row = i / 10;
        const int column = i % 10;
        if (row == 0) {
            table[i] = kFirstRow[column];
            continue;
        }
        uint32_t k = 4u * static_cast<uint32_t>(row);
        if (column == 0 && row >= 18) k += 4;
        table[i] = kColumns[column].base + k * kColumns[column].step;
    }
    return table;
}

constexpr std::array<uint32_t, kPieDefaultColorCount> kTable = buildTable();
static_assert(kTable[10] == 0xFF4044 && kTable[16] == 0x0480BF && kTable[19] == 0x04BF80);
static_assert(kTable[180] == 0xFF4040 + 76);

}  // namespace

const std::array<uint32_t, kPieDefaultColorCount>& pieDefaultColors() { return kTable; }

}  // namespace plotwise
