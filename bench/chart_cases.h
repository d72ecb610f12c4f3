// The charts the bench draws, built the way a script builds them: Plotz_New, one Plotz_Data
// per series, Plotz_Titles and Plotz_Style. Each case keeps the container that its
// Plotz_Draw call takes, so that the timed loop does only what the host's call does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bench/host_session.h"

namespace plotwise::bench {

struct DrawCase {
    std::string name;        // e.g. "vbar 3x12"
    bool threeDOrPie = false; // 3D charts and pies have the larger budget
    int width = 640;
    int height = 480;
    std::unique_ptr<Value> definition;  // the container Plotz_Draw takes
};

// The drawing cases, in the order the table lists them.
std::vector<DrawCase> drawCases();
// The charts exported as vectors: a series of 1000 points, and 100 series.
std::vector<DrawCase> exportCases();
// The largest chart a definition holds: 100 series of 1000 points, drawn at 1000 x 1000.
DrawCase largestChart();

// Texts of generated data: "1;2;...;n", a list of values, names "Item 1;...".
std::string numberList(int count, double first, double step);
std::string valueList(int count, int seed);
std::string nameList(int count, const std::string& stem);

// Calls a function that must give back a container; throws when it gives anything else.
void callForContainer(const Function& function, const Arguments& args, Value& result);

}  // namespace plotwise::bench
