// drawChart: options from the definition, the engine call each style makes, x labels by axis
// type, the pie path, and the limits of a damaged header.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "definition/codec.h"
#include "driver/chart_styles.h"
#include "driver/draw_chart.h"
#include "driver/pie_default_colors.h"
#include "script_harness.h"
#include "tests/support/working_set.h"

namespace plotwise {
namespace {

using testing::Chart;
using testing::Picture;
using testing::ScriptTest;
using testing::blockOf;
using testing::chartOf;
using testing::newChart;
using testing::num;
using testing::text;

using testing::editableDefinition;

const EngineCall& engine() { return testing::lastEngineCall(); }
const ChartOptions& options() { return testing::lastEngineCall().options; }
void redraw(ChartDefinition& definition) { testing::recordDrawing(definition); }

class DrawChart : public ScriptTest {
protected:
    Chart threeSeries() {
        Chart c = data(newChart(), "Jan;Feb;Mar", "1;2;3", 0xFF0000, "One");
        c = data(c, "Jan;Feb;Mar", "4;5;6", 0x00FF00, "Two");
        return data(c, "Jan;Feb;Mar", "7;8;9", 0x0000FF, "Three");
    }
    Chart axis(const Chart& c, std::vector<testing::Arg> rest) {
        rest.insert(rest.begin(), testing::Arg(c));
        return chartOf(Plotz_Axis, rest);
    }
    // Every text in the built-in fonts: a font file that does not exist.
    Chart bitmapFonts(Chart c) {
        for (const char* type : {"charttitle", "yaxistitle", "xaxistitle", "yaxistexts", "xaxistexts", "pielabels"})
            c = chartOf(Plotz_Font, {c, text(type), text("NoSuchFont.ttf"), num(0)});
        return c;
    }
};

// The bars of one colour, left to right: the middle column of each run of columns that hold
// the colour, and the number of such pixels in that column.
struct DrawnBar {
    int centre, height;
};
std::vector<DrawnBar> barsOf(const Picture& p, uint32_t color) {
    std::vector<DrawnBar> bars;
    int start = -1;
    auto column = [&](int x) {
        int n = 0;
        for (int y = 0; y < p.height(); ++y) n += p.rgb(x, y) == color;
        return n;
    };
    for (int x = 0; x <= p.width(); ++x) {
        const bool filled = x < p.width() && column(x) > 0;
        if (filled && start < 0) start = x;
        if (!filled && start >= 0) {
            const int centre = (start + x - 1) / 2;
            bars.push_back({centre, column(centre)});
            start = -1;
        }
    }
    return bars;
}

// ---- Sizes, fonts, colours ----------------------------------------------------------------------

TEST_F(DrawChart, DefaultTextSizesFollowTheWidth) {
    struct Case {
        double width;
        double title, label;
        int dist;
    } cases[] = {
        {320, 10, 8, 15},
        {321, 10, 8, 13},   // floor(10.7 - 0.0083), floor(8.025 - 0.00625); 10 x 1.3
        {640, 18, 14, 23},
        {960, 26, 20, 33},
        {100, 10, 8, 15},
    };
    const Chart c = data(newChart(), "a;b", "1;2");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.width);
        draw(c, k.width, 200);
        EXPECT_EQ(options().title_ptsize, k.title);
        EXPECT_EQ(options().ytitle_ptsize, k.title);
        EXPECT_EQ(options().xtitle_ptsize, k.title);
        EXPECT_EQ(options().pie_title_ptsize, k.title);
        EXPECT_EQ(options().yaxis_ptsize, k.label);
        EXPECT_EQ(options().xaxis_ptsize, k.label);
        EXPECT_EQ(options().pie_label_ptsize, k.label);
        EXPECT_EQ(options().pie_label_dist, k.dist);
    }
}

TEST_F(DrawChart, FontsOfTheDefinitionReachTheirOptions) {
    Chart c = data(newChart(), "a;b", "1;2");
    c = chartOf(Plotz_Font, {c, text("charttitle"), text("Title.ttf"), num(24), num(0x112233)});
    c = chartOf(Plotz_Font, {c, text("yaxistitle"), text("Y.ttf"), num(0), num(0x445566)});
    c = chartOf(Plotz_Font, {c, text("xaxistexts"), text("X.ttf"), num(9), num(0x778899)});
    c = style(c, "line");
    EXPECT_EQ(options().title_ptsize, 24);
    EXPECT_EQ(options().pie_title_ptsize, 24);
    EXPECT_EQ(options().title_color, 0x112233u);
    EXPECT_EQ(options().pie_title_color, 0x112233u);
    EXPECT_STREQ(options().title_font, "Title.ttf");
    EXPECT_STREQ(options().pie_title_font, "Title.ttf");
    EXPECT_EQ(options().ytitle_ptsize, 10);  // size 0: the default stays
    EXPECT_EQ(options().ytitle_color, 0x445566u);
    EXPECT_EQ(options().ytitle2_color, 0x445566u);
    EXPECT_STREQ(options().ytitle_font, "Y.ttf");
    EXPECT_EQ(options().xaxis_ptsize, 9);
    EXPECT_EQ(options().xlabel_color, 0x778899u);
    EXPECT_STREQ(options().xaxis_font, "X.ttf");
    EXPECT_EQ(options().ylabel_color, kDefaultColor);
}

TEST_F(DrawChart, DrawSetsSizeAndColours) {
    Chart c = style(data(newChart(), "a;b", "1;2"), "vbar");
    c = chartOf(Plotz_Draw, {c, num(400), num(300), num(0x102030), num(0x405060)});
    const ChartBlock b = blockOf(c);
    EXPECT_EQ(b.header.width, 400u);
    EXPECT_EQ(b.header.height, 300u);
    EXPECT_EQ(options().bg_color, 0x102030u);
    EXPECT_EQ(options().plot_color, 0x405060u);
    EXPECT_EQ(engine().width, 400);
    EXPECT_EQ(engine().height, 300);
}

// ---- Styles -------------------------------------------------------------------------------------

TEST_F(DrawChart, EveryStyleMakesItsEngineCall) {
    struct Case {
        const char* style;
        const char* substyle;
        ChartType type;
        StackType stack;
        int sets;
        std::size_t extra;  // values in the extra array
    } cases[] = {
        {"line", "", Line, Beside, 3, 0},
        {"3dline", "", Line3D, Beside, 3, 0},
        {"area", "", Area, Depth, 3, 0},
        {"3darea", "", Area3D, Depth, 3, 0},
        {"vbar", "", Bar, Layer, 3, 0},
        {"vbar", "layer", Bar, Layer, 3, 0},
        {"vbar", "beside", Bar, Beside, 3, 0},
        {"vertical bar", "beside", Bar, Beside, 3, 0},
        {"v3dbar", "", Bar3D, Layer, 3, 0},
        {"vertical 3dbar", "beside", Bar3D, Beside, 3, 0},
        {"hbar", "", Bar, Layer, 3, 0},
        {"horizontal bar", "beside", Bar, Beside, 3, 0},
        {"h3dbar", "", Bar3D, Layer, 3, 0},
        {"horizontal 3dbar", "", Bar3D, Layer, 3, 0},
        {"xyline", "", XyLine, Beside, 3, 9},
        {"xyline", "rectangular", XyLineStep, Beside, 3, 9},
        {"xypoint", "rectangular", XyPoint, Beside, 3, 9},
        {"xyarea", "", XyArea, Beside, 3, 9},
        {"xyarea", "rectangular", XyAreaStep, Beside, 3, 9},
        {"combolineline", "", ComboLineLine, Depth, 2, 3},
        {"3dcombolineline", "", ComboLineLine3D, Depth, 2, 3},
        {"combolinearea", "", ComboLineArea, Depth, 2, 3},
        {"3dcombolinearea", "", ComboLineArea3D, Depth, 2, 3},
        {"combolinebar", "", ComboLineBar, Depth, 2, 3},
        {"combolinevbar", "", ComboLineBar, Depth, 2, 3},
        {"3dcombolinebar", "", ComboLineBar3D, Depth, 2, 3},
        {"3dcombolinevbar", "", ComboLineBar3D, Depth, 2, 3},
    };
    const Chart c = threeSeries();
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.style) + "/" + k.substyle);
        style(c, k.style, k.substyle);
        ASSERT_EQ(engine().engine, EngineCall::Graph);
        EXPECT_EQ(engine().type, k.type);
        EXPECT_EQ(options().stack_type, k.stack);
        EXPECT_EQ(engine().sets, k.sets);
        EXPECT_EQ(engine().points, 3);
        EXPECT_EQ(engine().extra.size(), k.extra);
        EXPECT_EQ(engine().values.size(), static_cast<std::size_t>(k.sets) * 3);
    }
}

TEST_F(DrawChart, CombinationsTakeTheLastSeriesAsVolumeInItsColour) {
    style(threeSeries(), "combolinebar");
    EXPECT_EQ(engine().sets, 2);
    EXPECT_EQ(engine().values, (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(engine().extra, (std::vector<float>{7, 8, 9}));
    EXPECT_EQ(engine().volume, (std::vector<uint32_t>{0x0000FF, 0x0000FF, 0x0000FF}));
    EXPECT_EQ(options().ext_vol_color, nullptr);  // the array died with the drawing
}

TEST_F(DrawChart, XyChartsGetThePackedXValues) {
    Chart c = data(newChart(), "1;2;3", "5;6;7");
    c = data(c, "4;5;6", "8;9;10");
    style(c, "xypoint");
    EXPECT_EQ(engine().extra, (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(engine().values, (std::vector<float>{5, 6, 7, 8, 9, 10}));
}

TEST_F(DrawChart, UnknownStylesShowTheStyleError) {
    const Chart c = data(newChart(), "a;b", "1;2");
    for (const char* s : {"vbar ", "bar", "xyline2", "piechart"}) {
        SCOPED_TRACE(s);
        const Chart drawn = style(c, s);
        EXPECT_EQ(engine().engine, EngineCall::ErrorPicture);
        EXPECT_EQ(engine().errorCode, static_cast<uint32_t>(kErrorStyle));
        EXPECT_EQ(blockOf(drawn).header.errorCode, 0u);  // shown, not stored
    }
}

TEST_F(DrawChart, StylesAreComparedInLowerCase) {
    const Chart c = style(data(newChart(), "a;b", "1;2"), "3DPie");
    EXPECT_STREQ(blockOf(c).header.style, "3dpie");
    EXPECT_EQ(engine().engine, EngineCall::Pie);
    EXPECT_EQ(engine().type, 0);
    // Stored in capitals by some other writer: the drawing lowers it in place.
    ChartDefinition& d = editableDefinition();
    copyText(d.header().style, "PIE");
    redraw(d);
    EXPECT_STREQ(d.header().style, "pie");
    EXPECT_EQ(engine().type, 1);
}

TEST_F(DrawChart, HorizontalBarsReachTheEngineTurned) {
    Chart c = style(data(newChart(), "a;b", "1;2"), "hbar");
    draw(c, 400, 300);
    EXPECT_EQ(engine().width, 300);
    EXPECT_EQ(engine().height, 400);
    EXPECT_EQ(options().horizontal, 0);  // never left set for the next drawing
    style(c, "vbar");
    EXPECT_EQ(engine().width, 320);
    EXPECT_EQ(engine().height, 240);
}

TEST_F(DrawChart, ValueLabelPositionFromTheSubstyle) {
    const Chart c = data(newChart(), "a;b", "1;2");
    const char* substyles[] = {"auto", "outside", "top", "center", "bottom", "left", "right"};
    for (short i = 0; i < 7; ++i) {
        style(c, "vbar", substyles[i]);
        EXPECT_EQ(options().value_label_position, i);
    }
    style(c, "vbar", "beside");  // not a position: the default, whatever was drawn before
    EXPECT_EQ(options().value_label_position, 0);
}

TEST_F(DrawChart, LegendHasTheNamedSeries) {
    Chart c = data(newChart(), "a;b;c", "1;2;3", 0xFF0000, "Alpha");
    c = data(c, "a;b;c", "1;2;3", 0x00FF00);
    c = data(c, "a;b;c", "1;2;3", 0x0000FF, "A name longer than nineteen");
    c = style(c, "line");
    ASSERT_EQ(engine().legend.size(), 2u);
    EXPECT_STREQ(engine().legend[0].name, "Alpha");
    EXPECT_EQ(engine().legend[0].value, 0.0f);
    EXPECT_EQ(engine().legend[1].value, 4.0f);  // series index 2, counting the unnamed one
    EXPECT_EQ(engine().legend[1].color, 0x0000FFu);
    EXPECT_STREQ(engine().legend[1].name, "A name longer th\u2026");  // cut names are marked
    EXPECT_EQ(engine().legend[0].point, 2.0f);
    EXPECT_EQ(engine().legend[0].kind, 3u);
    EXPECT_EQ(engine().legend[0].width, 3);
    draw(c, 960, 400);
    EXPECT_EQ(engine().legend[0].width, 6);
    EXPECT_EQ(options().legend_entries, nullptr);
}

// A name cut for the legend keeps whole UTF-8 characters: the 19 bytes it once kept split "ö".
TEST_F(DrawChart, LegendNamesCutOnCharacters) {
    const struct {
        const char* name;
        const char* kept;
    } cases[] = {
        {"Nineteen bytes long", "Nineteen bytes long"},
        {"\u00dcmlaute \u00fcber \u00dcber\u00f6", "\u00dcmlaute \u00fcber \u2026"},
        {"\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac", "\u20ac\u20ac\u20ac\u20ac\u20ac\u2026"},
    };
    for (const auto& c : cases) {
        style(data(newChart(), "a;b", "1;2", 0xFF0000, c.name), "line");
        ASSERT_EQ(engine().legend.size(), 1u);
        EXPECT_STREQ(engine().legend[0].name, c.kept) << c.name;
    }
}

TEST_F(DrawChart, LabelAngleByOrientationOrFit) {
    Chart c = style(data(newChart(), "a;b", "1;2"), "line");
    EXPECT_EQ(options().xlabel_angle, 0);  // 2 bytes x 8 x 0.7 x 2 points < 320
    // "Febr 2009 " is 10 bytes: 10 x 8 x 0.7 x 5 = 280 fits, x 6 = 336 does not.
    style(data(newChart(), "Jan 2009;Febr 2009;Mar 2009;Apr 2009;May 2009", "1;2;3;4;5"), "line");
    EXPECT_EQ(options().xlabel_angle, 0);
    style(data(newChart(), "Jan 2009;Febr 2009;Mar 2009;Apr 2009;May 2009;Jun 2009", "1;2;3;4;5;6"), "line");
    EXPECT_EQ(options().xlabel_angle, 90);
    // The fit is measured against the picture's width, and reaching it is not fitting: the five
    // labels need 280 pixels.
    const Chart five = style(data(newChart(), "Jan 2009;Febr 2009;Mar 2009;Apr 2009;May 2009", "1;2;3;4;5"), "line");
    draw(five, 280, 200);
    EXPECT_EQ(options().xlabel_angle, 90);
    draw(five, 281, 200);
    EXPECT_EQ(options().xlabel_angle, 0);
    c = axis(c, {text("x"), text("labelsOrientation"), text("sharp")});
    EXPECT_EQ(options().xlabel_angle, 60);
    c = axis(c, {text("x"), text("labelsOrientation"), text("vertical")});
    EXPECT_EQ(options().xlabel_angle, 90);
    c = axis(c, {text("x"), text("labelsOrientation"), text("horizontal")});
    EXPECT_EQ(options().xlabel_angle, 0);
}

// ---- X labels -----------------------------------------------------------------------------------

TEST_F(DrawChart, XyLabelsFollowTheRange) {
    Chart c = style(data(newChart(), "2;3;4;5", "1;2;3;4"), "xyline");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"2", "3", "4", "5"}));
    EXPECT_EQ(options().xlabel_decimals, 0);
    c = axis(c, {text("x"), text("min"), num(0)});
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"0.0", "1.7", "3.3", "5.0"}));
    EXPECT_EQ(options().xlabel_decimals, 1);
    c = axis(c, {text("x"), text("min"), num(10)});  // only widens
    EXPECT_EQ(engine().labels.front(), "2");
}

TEST_F(DrawChart, XyDecimalsByStep) {
    struct Case {
        const char* x;
        std::vector<std::string> labels;
    } cases[] = {
        {"0;0.05", {"0.000", "0.050"}},
        {"0;0.5", {"0.00", "0.50"}},
        {"0;2.5", {"0.0", "2.5"}},
        {"0;25.5", {"0", "26"}},
        {"0;100", {"0", "100"}},
    };
    for (const auto& k : cases) {
        style(data(newChart(), k.x, "1;2"), "xypoint");
        EXPECT_EQ(engine().labels, k.labels) << k.x;
    }
}

TEST_F(DrawChart, XyChartWithOneValueIsLabelledWithIt) {
    style(data(newChart(), "2.5", "7"), "xyline");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"2.5"}));
    style(data(newChart(), "40", "7"), "xyarea");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"40"}));
}

TEST_F(DrawChart, XyNumberAndTextAxes) {
    Chart c = style(data(newChart(), "1000;2000;3000", "1;2;3"), "xyline");
    c = axis(c, {text("x"), text("type"), text("number"), text("format"), text("#,###.# km")});
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"1,000.0 km", "2,000.0 km", "3,000.0 km"}));
    c = axis(c, {text("x"), text("type"), text("text"), text("format"), text("<#>")});
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"<1000 >", "<2000 >", "<3000 >"}));
}

TEST_F(DrawChart, CategoryLabelsByAxisType) {
    Chart c = style(data(newChart(), "1234.5;Total;7", "1;2;3"), "vbar");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"1234.5 ", "Total ", "7 "}));
    c = axis(c, {text("x"), text("type"), text("number"), text("format"), text("#,###.##")});
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"1,234.50", "Total ", "7.00"}));
    c = axis(c, {text("x"), text("type"), text("text"), text("format"), text("Item #")});
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Item 1234.5 ", "Item Total ", "Item 7 "}));
}

TEST_F(DrawChart, NoLabelsAreLeftOverFromAnotherChart) {
    style(data(newChart(), "North;South;East", "1;2;3"), "line");
    ASSERT_EQ(engine().labels[0], "North ");
    Chart c = style(data(newChart(), "10;20;30", "1;2;3"), "line");
    c = axis(c, {text("x"), text("type"), text("number")});
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"10", "20", "30"}));
    // An empty label shows as such, not as what the slot held before.
    axis(c, {text("x"), text("type"), text("text")});
    EXPECT_EQ(engine().labels[1], "20 ");
    ChartDefinition& d = editableDefinition();
    d.xLabel[0][1][0] = '\0';
    redraw(d);
    EXPECT_EQ(engine().labels[1], "Empty label");
}

TEST_F(DrawChart, DateLabelsThroughTheHost) {
    Chart c = style(data(newChart(), "2009-06-12;6/13/2009;soon;13.6.2009", "1;2;3;4"), "vbar");
    c = axis(c, {text("x"), text("type"), text("date"), text("format"), text("%d.%m.%Y")});
    // A text the locale does not read as a date keeps its text.
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"12.06.2009", "13.06.2009", "soon ", "13.6.2009 "}));
    fmhost_set_locale("de");
    c = draw(c, 320, 240);
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"12.06.2009", "6/13/2009 ", "soon ", "13.06.2009"}));
    // Without a format no label can be made: the text itself is shown.
    c = axis(c, {text("x"), text("type"), text("date"), text("format"), text("auto")});
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"2009-06-12 ", "6/13/2009 ", "soon ", "13.6.2009 "}));
}

TEST_F(DrawChart, DateYValuesCountFromNineteenSeventyAndAHalfHour) {
    // Slashes make the Y data a list of names, whose texts the date axis reads.
    Chart c = style(data(newChart(), "a;b", "6/12/2009;1/1/1970"), "line");
    c = axis(c, {text("y"), text("type"), text("date")});
    ASSERT_EQ(engine().values.size(), 2u);
    EXPECT_EQ(engine().values[0], 1244766208.0f);  // float(63 380 361 600) - 62 135 595 000
    EXPECT_EQ(engine().values[1], static_cast<float>(static_cast<double>(static_cast<float>(62135596800.0)) - 62135595000.0));
    EXPECT_EQ(options().y_value_kind, 3);
    // The stored values are not changed by the drawing.
    EXPECT_EQ(testing::lastDefinition().series[0].y[1], 1.0f);
    // A missing value and a text that is no date are missing, not the first day of year 1.
    const std::vector<float> dates = engine().values;
    ChartDefinition& d = editableDefinition();
    d.series[0].y[0] = NoValue;  // whatever its label says
    redraw(d);
    EXPECT_EQ(engine().values, (std::vector<float>{NoValue, dates[1]}));
    for (const char* y : {"6/12/2009;;1/1/1970", "6/12/2009;soon;1/1/1970", "1;;3"}) {
        axis(style(data(newChart(), "a;b;c", y), "line"), {text("y"), text("type"), text("date")});
        const bool numbers = y[0] == '1';  // numbers are no dates either
        EXPECT_EQ(engine().values, (std::vector<float>{numbers ? NoValue : dates[0], NoValue, numbers ? NoValue : dates[1]})) << y;
    }
    c = axis(c, {text("y"), text("type"), text("time")});
    EXPECT_EQ(options().y_value_kind, 4);
    c = axis(c, {text("y"), text("type"), text("text")});
    EXPECT_EQ(options().y_value_kind, 0);
    c = axis(c, {text("y"), text("type"), text("month")});
    EXPECT_EQ(options().y_value_kind, 0);
}

TEST_F(DrawChart, DateXValuesForXyChartsKeepTheirDayAndTime) {
    constexpr float M = NoValue;
    struct Case {
        const char* type;
        const char* format;
        const char* x;
        std::vector<float> extra;  // seconds after the earliest x value
        std::vector<std::string> labels;
    } cases[] = {
        // Seconds since year 1 as floats would put the first midnight at 23:28 the day before.
        {"date", "%Y-%m-%d", "2024-01-01;2024-01-02;2024-01-03", {0, 86400, 172800},
         {"2024-01-01", "2024-01-02", "2024-01-03"}},
        {"timestamp", "%d.%m. %H:%M", "2024-01-01 00:00:00;2024-01-01 12:00:00;2024-01-02 00:00:00",
         {0, 43200, 86400}, {"01.01. 00:00", "01.01. 12:00", "02.01. 00:00"}},
        {"date", "%d.%m.%Y", "2024-01-03;never;2024-01-01", {172800, M, 0},
         {"01.01.2024", "02.01.2024", "03.01.2024"}},
        {"time", "%H:%M", "08:00:00;09:30:00", {0, 5400}, {"08:00", "09:30"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        Chart chart = style(data(newChart(), c.x, "1;2;3"), "xyline");
        axis(chart, {text("x"), text("type"), text(c.type), text("format"), text(c.format)});
        EXPECT_EQ(engine().extra, c.extra);
        EXPECT_EQ(engine().labels, c.labels);
    }
}

// ---- Pies ----------------------------------------------------------------------------------------

TEST_F(DrawChart, PieSlicesLabelsAndDefaultColours) {
    style(data(newChart(), "Jan;Feb;;Apr", "10;20;30;40"), "pie");
    ASSERT_EQ(engine().engine, EngineCall::Pie);
    EXPECT_EQ(engine().type, 1);
    EXPECT_EQ(engine().values, (std::vector<float>{10, 20, 30, 40}));
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Jan ", "Feb ", " ", "Apr "}));
    EXPECT_EQ(engine().colors, (std::vector<uint32_t>{0xFF4040, 0x80FF80, 0x8080FF, 0xFF80FF}));
    EXPECT_EQ(options().pie_percent_type, 2);
    EXPECT_EQ(options().pie_3d_angle, 180);
    EXPECT_EQ(options().pie_edge_color, NoColor);
    EXPECT_EQ(options().pie_colors, nullptr);
}

// The colours Plotz_PieColors gives go to the first slices; the slices past them take the
// default colours. A container made before the count was kept uses every stored colour.
TEST_F(DrawChart, PieColoursOfTheDefinitionAndDefaultsPastThem) {
    const auto& d = pieDefaultColors();
    struct Case {
        const char* y;
        std::vector<double> given;
        bool older;  // the container keeps no count of the colours given
        std::vector<uint32_t> colors;
    } cases[] = {
        {"1;1;1", {255, 65280}, false, {255, 65280, d[2]}},
        {"1;1;1;1;1;1", {255, 65280}, false, {255, 65280, d[2], d[3], d[4], d[5]}},
        {"1;1", {255, 65280, 0}, false, {255, 65280}},
        {"1;1;1", {255, 0, 0}, false, {255, 0, 0}},  // black given stays black
        {"1;1;1;1", {255, 65280}, true, {255, 65280, 0, 0}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.y);
        const std::string x = std::string("a;b;c;d;e;f").substr(0, std::string(k.y).size());
        std::vector<testing::Arg> args{data(newChart(), x, k.y)};
        for (double color : k.given) args.push_back(num(color));
        chartOf(Plotz_PieColors, args);
        if (k.older) {
            ChartDefinition& d = editableDefinition();
            setPieColorsGiven(d.header(), 0);
            redraw(d);
        }
        EXPECT_EQ(engine().colors, k.colors);
    }
}

TEST_F(DrawChart, SlicesBeyondTheDefaultTableAreBlack) {
    std::string x, y;
    for (int i = 0; i < 300; ++i) {
        x += (i ? ";" : "") + std::to_string(i);
        y += (i ? ";" : "") + std::string("1");
    }
    data(newChart(), x, y);
    ASSERT_EQ(engine().colors.size(), 300u);
    EXPECT_EQ(engine().colors[255], pieDefaultColors()[255]);
    EXPECT_EQ(engine().colors[256], 0u);
}

TEST_F(DrawChart, PieValueTextsAreForThePictureOnly) {
    const Chart plain = data(newChart(), "Rent;Food", "800;200");
    Chart c = style(plain, "pie", "values");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Rent \n800", "Food \n200"}));
    EXPECT_EQ(options().pie_percent_type, 0);
    c = style(c, "pie", "values");
    c = style(c, "3dpie", "both");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Rent , 800", "Food , 200"}));
    EXPECT_EQ(options().pie_percent_type, 2);
    // The stored labels are still those Plotz_Data wrote, and later drawings show the values.
    EXPECT_EQ(*support::findStream(c.streams, "LABS"), *support::findStream(plain.streams, "LABS"));
    c = draw(c, 320, 240);
    c = chartOf(Plotz_Titles, {c, text("Budget"), text(""), text("")});
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Rent , 800", "Food , 200"}));
    c = style(c, "pie", "percent");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Rent ", "Food "}));
    c = draw(c, 320, 240);
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Rent ", "Food "}));
    // A missing value has no value text.
    style(data(newChart(), "Rent;Fun;Food", "800;;200"), "pie", "values");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Rent \n800", "Fun ", "Food \n200"}));
}

TEST_F(DrawChart, PieLabelsThatAlreadyCarryValuesAreDrawnAsTheyAre) {
    // As a container written when the values went into the stored labels: marked as drawn.
    Chart c = style(data(newChart(), "Rent;Food", "800;200"), "pie", "values");
    ChartDefinition& d = editableDefinition();
    copyText(d.xLabel[0][0], "Rent \n800");
    copyText(d.xLabel[0][1], "Food \n200");
    d.header().styleGiven = 0;
    redraw(d);
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"Rent \n800", "Food \n200"}));
    EXPECT_EQ(d.header().styleGiven, 0);
}

// A pie cannot show a negative share: such slices are left out (the others keep their labels
// and colours) and named under the pie; with nothing positive the error picture says so.
TEST_F(DrawChart, PiesLeaveNegativeValuesOut) {
    const auto& c = pieDefaultColors();
    struct Case {
        const char* y;
        uint32_t error;
        std::vector<float> values;
        std::vector<std::string> labels;
        std::vector<uint32_t> colors;
        const char* notice;
    } cases[] = {
        {"5;-1;3", 0, {5, 3}, {"a ", "c "}, {c[0], c[2]}, "1 negative value left out"},
        {"-2;4;-1", 0, {4}, {"b "}, {c[1]}, "2 negative values left out"},
        {"5;-5;0", 0, {5, 0}, {"a ", "c "}, {c[0], c[2]}, "1 negative value left out"},
        {"-1;-2;-3", kErrorNoPositive, {}, {}, {}, ""},
        {"0;-2;0", kErrorNoPositive, {}, {}, {}, ""},
        {"0;0;0", kErrorEmpty, {}, {}, {}, ""},
        {"1;2;3", 0, {1, 2, 3}, {"a ", "b ", "c "}, {c[0], c[1], c[2]}, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.y);
        style(data(newChart(), "a;b;c", k.y), "pie");
        EXPECT_EQ(engine().errorCode, k.error);
        if (k.error != 0) continue;
        EXPECT_EQ(engine().values, k.values);
        EXPECT_EQ(engine().labels, k.labels);
        EXPECT_EQ(engine().colors, k.colors);
        EXPECT_EQ(engine().notice, k.notice);
    }
    EXPECT_EQ(chartErrorMessage(kErrorNoPositive), "Error in Data - no positive values!");
}

// Values that could not be read as numbers are drawn as missing and said on the picture: a
// line under the title of a graph, beside what a pie left out.
TEST_F(DrawChart, ValuesThatCouldNotBeReadAreSaid) {
    using Cell = testing::RecordTable::Cell;
    const auto t = [](const char* s) { return Cell(std::string(s)); };
    struct Case {
        const char* style;
        std::vector<Cell> y;
        const char* notice;
    } cases[] = {
        {"line", {10.0, t("12 units"), 30.0, t("pending")}, "2 values could not be read as numbers"},
        {"vbar", {10.0, t("soon"), t("n/a"), 40.0}, "1 value could not be read as a number"},
        {"line", {10.0, t("n/a"), t(""), 40.0}, ""},
        {"pie", {10.0, -5.0, t("?!"), 40.0}, "1 negative value left out; 1 value could not be read as a number"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.notice);
        records.fields["T::X"] = {t("a"), t("b"), t("c"), t("d")};
        records.fields["T::Y"] = k.y;
        style(data(newChart(), "T::X", "T::Y"), k.style);
        EXPECT_EQ(engine().notice, k.notice);
    }
}

// A time is a duration, as the host reads one: 36:00:00 is 36 hours, not the 12:00 of a second
// day; a timestamp's time is its time of day.
TEST_F(DrawChart, TimeValuesPastADayAreDurations) {
    Chart c = style(data(newChart(), "a;b;c;d", "03:00:00;36:00:00;25:30:00;2024-01-02 06:00:00"), "vbar");
    axis(c, {text("y"), text("type"), text("time")});
    EXPECT_EQ(engine().values, (std::vector<float>{10800, 129600, 91800, 21600}));
}

TEST_F(DrawChart, PieValueTextsShowTheValueAsGiven) {
    style(data(newChart(), "a;b;c;d", "0.25;2;123456789;12.5"), "pie", "values");
    EXPECT_EQ(engine().labels, (std::vector<std::string>{"a \n0.25", "b \n 2", "c \n123456800", "d \n12.5"}));
}

// A bound of a date axis given as a date text, a day number or a timestamp text bounds the axis
// at that moment: the data start on 2001-03-01, 425 days after 2000-01-01.
TEST_F(DrawChart, XyDateBoundsAreReadAsTheAxisReadsValues) {
    struct Case {
        const char* type;
        const char* x;
        testing::Arg min;
        float expected;        // requested_xmin: seconds after the earliest x value
        const char* first;     // the first x label
    } cases[] = {
        {"date", "3/1/2001;6/1/2002;9/1/2003", text("1/1/2000"), -425 * 86400.0f, "2000-01-01"},
        {"date", "3/1/2001;6/1/2002;9/1/2003", num(730120), -425 * 86400.0f, "2000-01-01"},
        {"date", "3/1/2001;6/1/2002;9/1/2003", text("2000-01-01"), -425 * 86400.0f, "2000-01-01"},
        {"timestamp", "3/1/2001;6/1/2002;9/1/2003", text("1/1/2000 00:00:00"), -425 * 86400.0f, "2000-01-01"},
        {"time", "09:00:00;10:00:00", text("08:30:00"), -1800, "08:30"},
        {"number", "1;2;3", num(-1), -1, "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        Chart chart = style(data(newChart(), c.x, "5;9;7"), "xyline");
        const char* format = std::string_view(c.type) == "time" ? "%H:%M" : "%Y-%m-%d";
        chart = axis(chart, {text("x"), text("type"), text(c.type), text("format"), text(format)});
        axis(chart, {text("x"), text("min"), c.min});
        EXPECT_EQ(options().requested_xmin, c.expected);
        ASSERT_FALSE(engine().labels.empty());
        EXPECT_EQ(engine().labels.front(), c.first);
    }
    // A timestamp away from midnight keeps its time (to the 4096 s a float holds at that size).
    Chart chart = style(data(newChart(), "3/1/2001;6/1/2002", "5;9"), "xyline");
    chart = axis(chart, {text("x"), text("type"), text("timestamp")});
    axis(chart, {text("x"), text("min"), text("2000-01-01 12:00:00")});
    EXPECT_NEAR(options().requested_xmin, -425 * 86400.0 + 43200, 4096);
}

TEST_F(DrawChart, EmptyDataShowsTheEmptyError) {
    for (const char* values : {"0;0;0", "0;;0"}) {  // missing values count as nothing
        style(data(newChart(), "a;b;c", values), "pie");
        EXPECT_EQ(engine().engine, EngineCall::ErrorPicture) << values;
        EXPECT_EQ(engine().errorCode, static_cast<uint32_t>(kErrorEmpty)) << values;
    }
    style(data(newChart(), "", ""), "line");
    EXPECT_EQ(engine().errorCode, static_cast<uint32_t>(kErrorEmpty));
    newChart();
    EXPECT_EQ(engine().errorCode, static_cast<uint32_t>(kErrorEmpty));
}

// ---- Error state and damaged headers -------------------------------------------------------------

TEST_F(DrawChart, ARecordedErrorIsDrawnInsteadOfTheChart) {
    ChartDefinition& d = testDefinition();
    ChartHeader snapshot;
    initHeader(snapshot);
    snapshot.errorCode = kErrorAxis;
    commitHeader(testDefinition(), snapshot);
    redraw(d);
    EXPECT_EQ(engine().engine, EngineCall::ErrorPicture);
    EXPECT_EQ(engine().errorCode, static_cast<uint32_t>(kErrorAxis));
}

TEST_F(DrawChart, ADamagedHeaderIsCutToTheTables) {
    ChartDefinition& d = testDefinition();
    ChartHeader snapshot;
    initHeader(snapshot);
    copyText(snapshot.style, "line");
    snapshot.seriesCount = 5000;
    snapshot.valueCount = 70000;
    commitHeader(testDefinition(), snapshot);
    std::memset(d.block.fontName, 'x', sizeof d.block.fontName);  // no terminating zero anywhere
    redraw(d);
    EXPECT_EQ(engine().engine, EngineCall::Graph);
    EXPECT_EQ(engine().sets, kMaxSeries);
    EXPECT_EQ(engine().points, kMaxValues);
    EXPECT_EQ(std::strlen(options().title_font), 255u);
}

TEST(PieDefaultColors, RowsFollowTheirRule) {
    const auto& t = pieDefaultColors();
    const uint32_t row1[] = {0xFF4044, 0x80FF84, 0x8480FF, 0xFF84FF, 0xFFFF84,
                             0x84FFFF, 0x0480BF, 0x80FF04, 0xBF0480, 0x04BF80};
    for (int c = 0; c < 10; ++c) EXPECT_EQ(t[10 + c], row1[c]) << c;
    EXPECT_EQ(t[0], 0xFF4040u);
    EXPECT_EQ(t[6], 0x7F00BFu);
    EXPECT_EQ(t[7], 0xF07FA0u);
    EXPECT_EQ(t[170], 0xFF4040u + 68);       // row 17: k
    EXPECT_EQ(t[180], 0xFF4040u + 72 + 4);   // row 18: k + 4 in the first column
    EXPECT_EQ(t[181], 0x80FF80u + 72);       // other columns: k
    EXPECT_EQ(t[255], 0x80FFFFu + 100 * 0x10000u);
}

TEST(ChartStyles, LookUpAndXyLabelRule) {
    EXPECT_EQ(findChartStyle("vbar"), findChartStyle("vertical bar"));
    EXPECT_EQ(findChartStyle("VBAR"), nullptr);  // the table holds lower case; callers lower first
    EXPECT_EQ(findChartStyle("pie"), nullptr);
    EXPECT_TRUE(isPieStyle("pie"));
    EXPECT_TRUE(isPieStyle("3dpie"));
    EXPECT_FALSE(isPieStyle("pie "));
    EXPECT_TRUE(makesXyLabels("xyline"));
    EXPECT_TRUE(makesXyLabels("xyarea2"));
    EXPECT_TRUE(makesXyLabels("xypoint"));
    EXPECT_FALSE(makesXyLabels("xypoints"));
    EXPECT_FALSE(makesXyLabels("line"));
}

// ---- Pictures -------------------------------------------------------------------------------------

TEST_F(DrawChart, PicturesHaveTheSizeAndBackgroundAsked) {
    Chart c = style(data(newChart(), "a;b", "1;2"), "vbar");
    c = chartOf(Plotz_Draw, {c, num(200), num(150), num(0x00FF00)});
    Picture p(c);
    ASSERT_NE(p.image, nullptr);
    EXPECT_EQ(p.width(), 200);
    EXPECT_EQ(p.height(), 150);
    EXPECT_EQ(p.rgb(0, 0), 0x00FF00u);
    EXPECT_EQ(p.rgb(199, 149), 0x00FF00u);
}

TEST_F(DrawChart, HorizontalBarPicturesKeepTheAskedSize) {
    Chart c = style(data(newChart(), "a;b", "1;2"), "hbar");
    c = draw(c, 400, 300);
    Picture p(c);
    ASSERT_NE(p.image, nullptr);
    EXPECT_EQ(p.width(), 400);
    EXPECT_EQ(p.height(), 300);
}

TEST_F(DrawChart, PieSlicesShowTheirColours) {
    Chart c = data(newChart(), "a;b", "3;1");
    Picture defaults(c);
    ASSERT_NE(defaults.image, nullptr);
    EXPECT_GT(defaults.count(0xFF4040), defaults.count(0x80FF80));  // the bigger slice
    EXPECT_GT(defaults.count(0x80FF80), 100);
    c = chartOf(Plotz_PieColors, {c, num(0x0000FF), num(0xFFFF00)});
    Picture custom(c);
    EXPECT_EQ(custom.count(0xFF4040), 0);
    EXPECT_GT(custom.count(0x0000FF), custom.count(0xFFFF00));
    EXPECT_GT(custom.count(0xFFFF00), 100);
}

TEST_F(DrawChart, MissingValuesLeaveTheirCategoriesEmpty) {
    const char* months = "Jan;Feb;Mar;Apr;May";
    const Picture full(draw(bitmapFonts(style(data(newChart(), months, "10;20;30;40;50"), "vbar")), 400, 300));
    const std::vector<DrawnBar> every = barsOf(full, 0xFF0000);
    ASSERT_EQ(every.size(), 5u);
    ASSERT_GT(every[4].height, every[0].height * 4);  // the heights follow the values
    records.fields["T::Amount"] = {10.0, std::string(), 30.0, std::string("n/a"), 50.0};
    for (const char* y : {"10;;30;;50", "T::Amount"}) {
        SCOPED_TRACE(y);
        const Picture gaps(draw(bitmapFonts(style(data(newChart(), months, y), "vbar")), 400, 300));
        const std::vector<DrawnBar> bars = barsOf(gaps, 0xFF0000);
        ASSERT_EQ(bars.size(), 3u);
        for (std::size_t k = 0; k < 3; ++k) {  // Jan, Mar and May, as tall as in the full chart
            EXPECT_EQ(bars[k].centre, every[2 * k].centre) << k;
            EXPECT_EQ(bars[k].height, every[2 * k].height) << k;
        }
    }
}

TEST_F(DrawChart, DecimalCommasDrawTheValuesTheyWrite) {
    const Chart points = draw(bitmapFonts(style(data(newChart(), "a;b", "1.5;2.75"), "vbar")), 300, 200);
    fmhost_set_locale("de");
    const Chart commas = draw(bitmapFonts(style(data(newChart(), "a;b", "1,5;2,75"), "vbar")), 300, 200);
    EXPECT_EQ(*support::findStream(commas.streams, "GIFf"), *support::findStream(points.streams, "GIFf"));
    const std::vector<DrawnBar> bars = barsOf(Picture(commas), 0xFF0000);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_NEAR(bars[0].height * 2.75 / 1.5, bars[1].height, 1.5);
}

TEST_F(DrawChart, DrawErrorPictureIsTheDefaultSize) {
    const Chart c = chartOf(Plotz_Draw, {data(newChart(), "a", "1"), num(640)});
    Picture p(c);
    ASSERT_NE(p.image, nullptr);
    EXPECT_EQ(p.width(), 320);
    EXPECT_EQ(p.height(), 240);
    const std::string* size = support::findStream(c.streams, "SIZE");
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(*size, std::string("\x01\x40\x00\xF0", 4));
}

}  // namespace
}  // namespace plotwise
