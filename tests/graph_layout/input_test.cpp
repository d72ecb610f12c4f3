// Preparing the input rows: cleaning and interpolation.
#include <cmath>

#include "graph_test_support.h"

namespace plotwise::test {
namespace {

constexpr float I = InterpolateValue;
constexpr float M = NoValue;

class Input : public GraphTest {
protected:
    std::vector<float> prepared(std::vector<float> row, bool interpolate = true) {
        engineOptions().interpolate = interpolate;
        GraphInput in;
        EXPECT_TRUE(prepare_graph_input(in, engineOptions().interpolate != 0, 100, 100, Line, static_cast<int>(row.size()), nullptr, 1, row.data(),
                                        nullptr));
        return std::vector<float>(in.row[0], in.row[0] + row.size());
    }
};

TEST_F(Input, InterpolationFillsAndExtrapolates) {
    struct Case {
        std::vector<float> in, out;
    } cases[] = {
        {{1, I, 3, I, I}, {1, 2, 3, 4, 5}},       // between, then along the last two
        {{I, I, 4, 6}, {0, 2, 4, 6}},             // before the first two
        {{2, I, I, I, 10}, {4, 6, 8}},            // three in a row (checked below)
        {{I, 5, I}, {M, 5, M}},                   // one valid value is not enough
        {{I, I}, {M, M}},
        {{M, 1, I, M, 5}, {M, 1, 1 + 4.0f / 3, M, 5}},  // missing values are passed over
        {{1, I, M, I}, {1, M, M, M}},             // ends without a value to the right: 1 only
        {{1, 3, I, M}, {1, 3, 5, M}},
    };
    for (const Case& c : cases) {
        std::vector<float> got = prepared(c.in);
        if (c.in.size() == 5 && c.in[0] == 2) {
            EXPECT_EQ(got, (std::vector<float>{2, 4, 6, 8, 10}));
            continue;
        }
        ASSERT_EQ(got.size(), c.out.size());
        for (size_t i = 0; i < got.size(); ++i) EXPECT_FLOAT_EQ(got[i], c.out[i]) << i;
    }
}

TEST_F(Input, FilledValuesCountForLaterPoints) {
    // Point 2 is filled from 0 and 1 (extrapolated to 2); point 3 then lies between 2 and 4.
    EXPECT_EQ(prepared({0, 1, I, I, 4}), (std::vector<float>{0, 1, 2, 3, 4}));
}

TEST_F(Input, CleaningWithoutInterpolation) {
    std::vector<float> got = prepared({I, NAN, INFINITY, -INFINITY, 1e38f, -1e38f, 7}, false);
    EXPECT_EQ(got, (std::vector<float>{M, M, M, M, kValueLimit, -kValueLimit, 7}));
}

TEST_F(Input, RowTables) {
    const float data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    GraphInput in;
    ASSERT_TRUE(prepare_graph_input(in, engineOptions().interpolate != 0, 100, 100, HighLowClose, 2, nullptr, 2, data, nullptr));
    ASSERT_EQ(in.rows, 6);
    ASSERT_EQ(in.row.size(), 6u);
    EXPECT_EQ(in.row[5][1], 12);
    const float vol[] = {7, 8};
    ASSERT_TRUE(prepare_graph_input(in, engineOptions().interpolate != 0, 100, 100, ComboLineBar, 2, nullptr, 3, data, vol));
    ASSERT_NE(in.vol, nullptr);
    EXPECT_EQ(in.vol[1], 8);
    EXPECT_FALSE(prepare_graph_input(in, engineOptions().interpolate != 0, 100, 100, ComboLineBar, 2, nullptr, 3, data, nullptr));
    const float x[] = {0.5f, 1.5f, 2.5f, NAN};
    ASSERT_TRUE(prepare_graph_input(in, engineOptions().interpolate != 0, 100, 100, XyLine, 2, nullptr, 2, data, x));
    ASSERT_EQ(in.xrow.size(), 2u);
    EXPECT_EQ(in.xrow[1][0], 2.5f);
    EXPECT_EQ(in.xrow[1][1], NoValue);
    // Unknown kinds become a kind without data of its own.
    ASSERT_TRUE(prepare_graph_input(in, engineOptions().interpolate != 0, 100, 100, static_cast<ChartType>(99), 2, nullptr, 1, data, nullptr));
    EXPECT_EQ(in.type, Reserved20);
}

TEST_F(Input, VolumeRowIsInterpolated) {
    const float data[] = {1, 2, 3};
    const float vol[] = {10, I, 30};
    engineOptions().interpolate = 1;
    GraphInput in;
    ASSERT_TRUE(prepare_graph_input(in, engineOptions().interpolate != 0, 100, 100, ComboLineArea, 3, nullptr, 1, data, vol));
    EXPECT_EQ(in.vol[1], 20);
}

}  // namespace
}  // namespace plotwise::test
