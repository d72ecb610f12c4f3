#include "bench/chart_cases.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace plotwise::bench {

namespace {

constexpr const char* kMonths = "Jan;Feb;Mar;Apr;May;Jun;Jul;Aug;Sep;Oct;Nov;Dec";
constexpr double kSeriesColors[3] = {0xD03030, 0x3060C0, 0x30A040};
constexpr const char* kSeriesNames[3] = {"North", "South", "West"};

struct Series {
    std::string x, y;
};

struct Recipe {
    std::string name;
    std::string style;
    std::string substyle;
    bool threeDOrPie;
    int width, height;
    std::vector<Series> series;
};

std::vector<Series> monthly(int count) {
    std::vector<Series> series;
    for (int s = 0; s < count; ++s) series.push_back({kMonths, valueList(12, s)});
    return series;
}

std::vector<Series> numbered(int count, int points) {
    std::vector<Series> series;
    for (int s = 0; s < count; ++s) series.push_back({numberList(points, 1, 1), valueList(points, s)});
    return series;
}

std::vector<Series> xy(int count, int points) {
    std::vector<Series> series;
    for (int s = 0; s < count; ++s) series.push_back({numberList(points, 0.5 * s, 0.25), valueList(points, s + 7)});
    return series;
}

std::vector<Series> named(int count, int points, const std::string& stem) {
    std::vector<Series> series;
    for (int s = 0; s < count; ++s) series.push_back({nameList(points, stem), valueList(points, s + 3)});
    return series;
}

std::vector<Recipe> recipes() {
    return {
        {"vbar 3x12", "vbar", "", false, 640, 480, monthly(3)},
        {"v3dbar 3x12", "v3dbar", "", true, 640, 480, monthly(3)},
        {"line 1000", "line", "", false, 640, 480, numbered(1, 1000)},
        {"3dline 3x50", "3dline", "", true, 640, 480, numbered(3, 50)},
        {"3dpie 12", "3dpie", "", true, 640, 480, monthly(1)},
        {"pie 12", "pie", "", true, 640, 480, monthly(1)},
        {"xyline 2x1000", "xyline", "", false, 640, 480, xy(2, 1000)},
        {"combolinebar 3x24", "combolinebar", "", false, 640, 480, named(3, 24, "W")},
        {"hbar 3x12", "hbar", "", false, 640, 480, monthly(3)},
        {"3dpie 12 1920x1080", "3dpie", "", true, 1920, 1080, monthly(1)},
    };
}

}  // namespace

std::string numberList(int count, double first, double step) {
    std::string text;
    char piece[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(piece, sizeof piece, "%s%g", i == 0 ? "" : ";", first + step * i);
        text += piece;
    }
    return text;
}

std::string valueList(int count, int seed) {
    // Smooth, positive and different per seed: a wave around a level.
    std::string text;
    char piece[32];
    for (int i = 0; i < count; ++i) {
        const double value = 50 + 10 * seed + 30 * std::sin(0.37 * i + seed) + 7 * std::cos(0.11 * i * (seed + 1));
        std::snprintf(piece, sizeof piece, "%s%.1f", i == 0 ? "" : ";", value);
        text += piece;
    }
    return text;
}

std::string nameList(int count, const std::string& stem) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ';';
        text += stem + std::to_string(i + 1);
    }
    return text;
}

void callForContainer(const Function& function, const Arguments& args, Value& result) {
    const int16_t error = function(args, result);
    if (error != 0 || result.type() != kFMX_Container)
        throw std::runtime_error("a script function gave no container (error " + std::to_string(error) + ")");
}

std::vector<DrawCase> buildCases(const std::vector<Recipe>& list);

std::vector<DrawCase> drawCases() { return buildCases(recipes()); }

std::vector<DrawCase> exportCases() {
    return buildCases({
        {"line 1000", "line", "", false, 640, 480, numbered(1, 1000)},
        {"vbar 100x12", "vbar", "", false, 640, 480, monthly(100)},
    });
}

DrawCase largestChart() {
    return std::move(buildCases({{"line 100x1000", "line", "", false, 1000, 1000, numbered(100, 1000)}}).front());
}

std::vector<DrawCase> buildCases(const std::vector<Recipe>& list) {
    const Function plotzNew("Plotz_New"), plotzData("Plotz_Data"), plotzTitles("Plotz_Titles"),
        plotzStyle("Plotz_Style");
    std::vector<DrawCase> cases;
    for (const Recipe& recipe : list) {
        auto chart = std::make_unique<Value>();
        callForContainer(plotzNew, Arguments(), *chart);
        for (std::size_t s = 0; s < recipe.series.size(); ++s) {
            Arguments args;
            args.value(*chart).text(recipe.series[s].x).text(recipe.series[s].y).number(kSeriesColors[s % 3]).text(
                kSeriesNames[s % 3]);
            auto next = std::make_unique<Value>();
            callForContainer(plotzData, args, *next);
            chart = std::move(next);
        }
        {
            Arguments args;
            args.value(*chart).text("Sales by region").text("Period").text("Units");
            auto next = std::make_unique<Value>();
            callForContainer(plotzTitles, args, *next);
            chart = std::move(next);
        }
        {
            Arguments args;
            args.value(*chart).text(recipe.style);
            if (!recipe.substyle.empty()) args.text(recipe.substyle);
            auto next = std::make_unique<Value>();
            callForContainer(plotzStyle, args, *next);
            chart = std::move(next);
        }
        cases.push_back({recipe.name, recipe.threeDOrPie, recipe.width, recipe.height, std::move(chart)});
    }
    return cases;
}

}  // namespace plotwise::bench
