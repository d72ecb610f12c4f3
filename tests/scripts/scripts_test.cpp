// Whole scripts through the plotwise program and the plug-in: the gallery, tables read by field
// reference, error pictures, the definition each script leaves in its container, and the GIF
// writer on the gallery's pictures.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gd.h>
#include <gtest/gtest.h>

#include "engine/chart_options.h"
#include "engine/picture/gif_writer.h"
#include "tests/support/container_file.h"
#include "tests/support/program.h"

namespace plotwise::scripts {
namespace {

using namespace support;

const std::string kGallery = std::string(PLOTWISE_SOURCE_DIR) + "/examples/gallery";

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs an expression and returns the container it made.
StoredChart runChart(const ScratchFolder& folder, const std::string& expression, std::vector<std::string> options = {},
                     Streams* streamsOut = nullptr) {
    const std::string script = folder.write("script.calc", expression);
    options.insert(options.begin(), {"run", script});
    options.push_back("--container");
    options.push_back(folder.file("chart.pwc"));
    const ProgramRun run = runWithPlugIn(folder, options);
    EXPECT_EQ(run.status, 0) << run.err;
    const Streams streams = readContainerFile(folder.read("chart.pwc"));
    if (streamsOut != nullptr) *streamsOut = streams;
    StoredChart chart = storedChart(streams);
    EXPECT_TRUE(chart.ok);
    return chart;
}

// The labels of series 0 in a label stream.
std::vector<std::string> labelsOf(const std::string& labels, uint32_t count) {
    std::vector<std::string> out;
    std::size_t at = 0;
    for (uint32_t i = 0; i < count && at < labels.size(); ++i) {
        std::string label;
        while (at < labels.size() && labels[at] != 0) label += labels[at++];
        ++at;
        out.push_back(label);
    }
    return out;
}

TEST(Scripts, TheWorkedExampleGivesAPictureOfTheAskedSize) {
    ScratchFolder folder;
    const std::string script = folder.write("sales.calc", R"calc(Let ( [
    chart = Plotz_New ;
    chart = Plotz_Data ( chart ; "Jan;Feb;Mar;Apr;May;Jun" ; "12;19;7;15;22;18" ; 16711680 ; "Sales" ) ;
    chart = Plotz_Titles ( chart ; "First half-year" ; "Month" ; "Units" ) ;
    chart = Plotz_Style ( chart ; "vbar" )
  ] ;
  Plotz_Draw ( chart ; 640 ; 480 )
))calc");
    ProgramRun run = runWithPlugIn(folder, {"run", script});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 10), "CHHD 7624\n");
    EXPECT_NE(run.out.find("\nSERS 8264\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nSIZE 4\n"), std::string::npos);
    run = runWithPlugIn(folder, {"run", script, "-o", folder.file("sales.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture picture = decodePng(folder.read("sales.png"));
    EXPECT_EQ(std::make_pair(picture.width, picture.height), std::make_pair(640, 480));
}

TEST(Scripts, ATableIsReadRecordByRecordAndSummedPerMonth) {
    ScratchFolder folder;
    const StoredChart chart = runChart(
        folder, R"calc(Plotz_Data ( Plotz_New ; "Orders::Month" ; "Orders::Amount" ; 255 ; "Amount" ))calc",
        {"--table", "Orders=" + kGallery + "/orders.csv"});
    ASSERT_TRUE(chart.ok);
    ASSERT_EQ(chart.block.header.valueCount, 6u);
    const float sums[] = {200, 225, 300, 250, 235, 265};
    for (int m = 0; m < 6; ++m) EXPECT_EQ(chart.series[0].y[m], sums[m]) << m;
}

TEST(Scripts, ARecordRangeReadsOnlyThoseRecords) {
    ScratchFolder folder;
    Streams streams;
    const StoredChart chart = runChart(
        folder, R"calc(Plotz_Data ( Plotz_New ; "Orders::Month(2-4)" ; "Orders::Amount(2-4)" ; 255 ))calc",
        {"--table", "Orders=" + kGallery + "/orders.csv"}, &streams);
    ASSERT_EQ(chart.block.header.valueCount, 2u);  // Jan 80, Feb 95 + 130
    EXPECT_EQ(chart.series[0].y[0], 80.0f);
    EXPECT_EQ(chart.series[0].y[1], 225.0f);
    EXPECT_EQ(labelsOf(*findStream(streams, "LABS"), 2), (std::vector<std::string>{"Jan ", "Feb "}));
}

TEST(Scripts, AHundredThousandOrdersSumIntoTwelveMonths) {
    ScratchFolder folder;
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string csv = "Month,Amount\n";
    double sums[12] = {};
    for (int r = 0; r < 100000; ++r) {
        csv += std::string(months[r % 12]) + "," + std::to_string(r % 5 + 1) + "\n";
        sums[r % 12] += r % 5 + 1;
    }
    folder.write("orders.csv", csv);
    const StoredChart chart = runChart(
        folder, R"calc(Plotz_Style ( Plotz_Data ( Plotz_New ; "Orders::Month" ; "Orders::Amount" ; 255 ) ; "vbar" ))calc",
        {"--table", "Orders=" + folder.file("orders.csv")});
    ASSERT_EQ(chart.block.header.valueCount, 12u);
    EXPECT_EQ(chart.block.header.errorCode, 0u);
    for (int m = 0; m < 12; ++m) EXPECT_EQ(chart.series[0].y[m], static_cast<float>(sums[m])) << months[m];
}

TEST(Scripts, ErrorsAreRecordedAndDrawn) {
    struct Case {
        const char* expression;
        uint32_t code;
        uint32_t width, height;
    } cases[] = {
        {R"calc(Plotz_Data ( Plotz_New ; "Sales" ; "1;2" ; 255 ))calc", kErrorXData, 320, 240},
        {R"calc(Plotz_Draw ( "not a chart" ; 400 ; 300 ))calc", kErrorDraw, 320, 240},
        {R"calc(Plotz_Draw ( Plotz_Axis ( Plotz_Data ( Plotz_New ; "a;b" ; "1;2" ; 255 ) ; "Z" ; "min" ; 0 ) ; 400 ; 300 ))calc",
         kErrorAxis, 400, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        ScratchFolder folder;
        Streams streams;
        const StoredChart chart = runChart(folder, c.expression, {}, &streams);
        EXPECT_EQ(chart.block.header.errorCode, c.code);
        const std::string* size = findStream(streams, "SIZE");
        ASSERT_NE(size, nullptr);
        ASSERT_EQ(size->size(), 4u);
        const auto byte = [&](int i) { return static_cast<uint8_t>((*size)[i]); };
        EXPECT_EQ(byte(0) << 8 | byte(1), static_cast<int>(c.width));
        EXPECT_EQ(byte(2) << 8 | byte(3), static_cast<int>(c.height));
    }
}

TEST(Scripts, PieValueTextsStayOutOfTheStoredLabels) {
    ScratchFolder folder;
    Streams streams;
    const StoredChart chart = runChart(
        folder,
        R"calc(Plotz_Draw ( Plotz_Style ( Plotz_Style ( Plotz_Style ( Plotz_Data ( Plotz_New ; "Jan;Feb" ; "10;5" ; 0 ) ; "pie" ; "values" ) ; "pie" ; "values" ) ; "pie" ; "both" ) ; 400 ; 300 ))calc",
        {}, &streams);
    EXPECT_EQ(labelsOf(*findStream(streams, "LABS"), 2), (std::vector<std::string>{"Jan ", "Feb "}));
    EXPECT_EQ(chart.block.header.styleGiven, kPieValueTexts);
}

// The scripts of the real data page, with their tables: each renders, and its container holds
// what the tables hold (values by hand from the CSV files; NoValue where a cell has none).
TEST(Scripts, RealDataScriptsStoreWhatTheirTablesHold) {
    const std::string folderPath = std::string(PLOTWISE_SOURCE_DIR) + "/examples/real_data";
    constexpr float M = NoValue;
    struct Case {
        const char* script;
        std::vector<std::vector<float>> y;  // per series
        std::vector<std::string> labels;    // stored X labels of series 0 (none: not checked)
    } cases[] = {
        {"1-empty-and-na-cells", {{1520, M, 1710, M, 1905, 2040, M, 1880, 1795, M, 2210, 2630}}, {}},
        {"2-orders-summed-with-gaps", {{200.5f, 255.25f, 330, 235.75f, 435.4f, 310.1f}},
         {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun "}},
        {"3-list-with-gaps", {{10, 14, M, 30, 34, M, 50, 55}, {12, 18, 22, M, 41, 47, 52, 58}}, {}},
        {"4-decimal-commas", {{1.5f, 2.75f, 0.25f, M, 4.5f, 3.125f, 0.5f}, {2.5f, 1.75f, 0.5f, 1.25f, 3.5f, 2.25f, 1}}, {}},
        {"5-midnight-timestamps", {{41.2f, 43.8f, 40.1f, 44.5f, 47.9f, 46.3f, 49}},
         {"2024-01-01 00:00:00 ", "2024-01-02 00:00:00 "}},
        {"6-dates-the-locale-cannot-read", {{2, 9, 3, 14, 4}}, {"2024-01-08 ", "2024-01-22 ", "Q1 review "}},
        {"7-pie-restyled", {{800, 320, 110, 250}}, {"Rent ", "Food ", "Transport ", "Savings "}},
        {"8-invoices-with-grouping-marks",
         {{38134.44f, 37637.59f, 23576.52f, 32382.57f, 35145.69f, 21463.19f}, {30000, 30000, 32500, 32500, 35000, 35000}},
         {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun "}},
        {"9-rechnungen-mit-tausenderpunkten",
         {{38134.44f, 37637.59f, 23576.52f, 32382.57f, 35145.69f, 21463.19f}, {30000, 30000, 32500, 32500, 35000, 35000}},
         {"Jan ", "Feb ", "M\u00E4r ", "Apr ", "Mai ", "Jun "}},
        {"10-series-of-different-lengths",
         {{132, 141, 158, 149, 171, 183, M, M, M, M, M, M}, {120, 126, 139, 144, 150, 161, 166, 159, 152, 147, 138, 171}},
         {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun ", "Jul ", "Aug ", "Sep ", "Oct ", "Nov ", "Dec "}},
        {"11-a-month-not-yet-reported", {{48, 52, 47, 55, M, M}}, {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string script = folderPath + "/" + c.script + ".calc";
        std::vector<std::string> args{"run", script};
        // A first line "// options: ..." names the options; NAME=FILE options point into the folder.
        const std::string text = fileText(script);
        constexpr std::string_view head = "// options: ";
        std::istringstream options(text.starts_with(head) ? text.substr(head.size(), text.find('\n') - head.size()) : "");
        for (std::string word; options >> word;) {
            const std::size_t eq = word.find('=');
            args.push_back(eq == std::string::npos ? word : word.substr(0, eq + 1) + folderPath + "/" + word.substr(eq + 1));
        }
        ScratchFolder folder;
        args.insert(args.end(), {"--container", folder.file("chart.pwc"), "-o", folder.file("chart.png")});
        const ProgramRun run = runWithPlugIn(folder, args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_GT(decodePng(folder.read("chart.png")).width, 0);
        const Streams streams = readContainerFile(folder.read("chart.pwc"));
        const StoredChart chart = storedChart(streams);
        ASSERT_TRUE(chart.ok);
        EXPECT_EQ(chart.block.header.errorCode, 0u);
        ASSERT_EQ(chart.block.header.seriesCount, c.y.size());
        ASSERT_EQ(chart.block.header.valueCount, c.y[0].size());
        for (std::size_t s = 0; s < c.y.size(); ++s)
            for (std::size_t i = 0; i < c.y[s].size(); ++i) EXPECT_EQ(chart.series[s].y[i], c.y[s][i]) << s << " " << i;
        const std::vector<std::string> labels = labelsOf(*findStream(streams, "LABS"), static_cast<uint32_t>(c.labels.size()));
        EXPECT_EQ(labels, c.labels);
    }
}

// Runs a script file with its tables and keeps both the picture (-o) and the container.
struct ScriptResult {
    ProgramRun run;
    Picture png;        // the picture written with -o
    Picture gif;        // the picture stored in the container
    StoredChart chart;  // the definition stored in the container
};

ScriptResult runScript(const ScratchFolder& folder, const std::filesystem::path& script,
                       const std::vector<std::string>& tableArgs) {
    std::vector<std::string> args{"run", script.string()};
    args.insert(args.end(), tableArgs.begin(), tableArgs.end());
    args.insert(args.end(), {"-o", folder.file("picture.png"), "--container", folder.file("chart.pwc")});
    ScriptResult result;
    result.run = runWithPlugIn(folder, args);
    if (result.run.status != 0) return result;
    result.png = decodePng(folder.read("picture.png"));
    const Streams streams = readContainerFile(folder.read("chart.pwc"));
    if (const std::string* gif = findStream(streams, "GIFf")) result.gif = decodeGif(*gif);
    result.chart = storedChart(streams);
    return result;
}

// Every gallery script renders a picture of the size it asks for. The five error scripts show
// the error picture and store the error of the call that failed (an unknown style and a pie of
// zeros are found only while drawing: shown, not stored); every other script stores no error
// and draws its chart, not the error picture.
TEST(Scripts, EveryGalleryScriptRenders) {
    const std::map<std::string, uint32_t> errorScripts = {
        {"40-error-style.calc", 0},         {"41-error-draw.calc", kErrorDraw},  {"42-error-empty.calc", 0},
        {"43-error-axis.calc", kErrorAxis}, {"44-error-field.calc", kErrorXData},
    };
    std::vector<std::filesystem::path> scripts;
    for (const auto& entry : std::filesystem::directory_iterator(kGallery)) {
        if (entry.path().extension() == ".calc") scripts.push_back(entry.path());
    }
    ASSERT_GE(scripts.size(), 40u);
    const std::regex drawSize(R"calc(Plotz_Draw \( (chart|"not a chart") ; (\d+) ; (\d+))calc");
    const std::regex options(R"calc(// options: --table (\w+)=(\S+))calc");
    std::size_t errorsSeen = 0;
    for (const auto& script : scripts) {
        SCOPED_TRACE(script.filename().string());
        const std::string text = fileText(script.string());
        std::vector<std::string> tables;
        std::smatch m;
        if (std::regex_search(text, m, options)) tables = {"--table", m[1].str() + "=" + kGallery + "/" + m[2].str()};
        ScratchFolder folder;
        const ScriptResult result = runScript(folder, script, tables);
        ASSERT_EQ(result.run.status, 0) << result.run.err;
        ASSERT_TRUE(std::regex_search(text, m, drawSize));
        // A Draw call without a chart is drawn at the default size.
        const std::pair<int, int> expected =
            m[1] == "chart" ? std::make_pair(std::stoi(m[2]), std::stoi(m[3])) : std::make_pair(320, 240);
        EXPECT_EQ(std::make_pair(result.png.width, result.png.height), expected);
        ASSERT_TRUE(result.chart.ok);
        ASSERT_TRUE(result.gif.decoded);
        const auto error = errorScripts.find(script.filename().string());
        errorsSeen += error != errorScripts.end();
        EXPECT_EQ(result.chart.block.header.errorCode, error == errorScripts.end() ? 0u : error->second);
        EXPECT_EQ(isErrorPie(result.gif), error != errorScripts.end());
    }
    EXPECT_EQ(errorsSeen, errorScripts.size());
}

// The example chart scripts (each names its tables in its usage line) store no error and draw
// their chart.
TEST(Scripts, EveryExampleChartScriptDrawsItsChart) {
    const std::filesystem::path examples = std::filesystem::path(PLOTWISE_SOURCE_DIR) / "examples";
    const std::regex usage(R"calc(--table (\w+)=examples/(\S+))calc");
    int charts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() != ".calc") continue;
        const std::string text = fileText(entry.path().string());
        if (text.find("Plotz_Draw") == std::string::npos) continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++charts;
        std::vector<std::string> tables;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), usage); it != std::sregex_iterator(); ++it)
            tables.insert(tables.end(), {"--table", (*it)[1].str() + "=" + examples.string() + "/" + (*it)[2].str()});
        ScratchFolder folder;
        const ScriptResult result = runScript(folder, entry.path(), tables);
        ASSERT_EQ(result.run.status, 0) << result.run.err;
        ASSERT_TRUE(result.chart.ok);
        EXPECT_EQ(result.chart.block.header.errorCode, 0u);
        EXPECT_GT(result.chart.block.header.valueCount, 0u);
        ASSERT_TRUE(result.gif.decoded);
        EXPECT_FALSE(isErrorPie(result.gif));
        EXPECT_EQ(std::make_pair(result.png.width, result.png.height), std::make_pair(result.gif.width, result.gif.height));
    }
    EXPECT_GE(charts, 5);
}

// The GIF writer gives gd's bytes for the gallery's pictures: each one as drawn, interlaced,
// and with a transparent colour.
TEST(Scripts, GalleryPicturesAreWrittenAsGdWritesThem) {
    const std::regex options(R"calc(// options: --table (\w+)=(\S+))calc");
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kGallery)) {
        if (entry.path().extension() != ".calc") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string text = fileText(entry.path().string());
        std::vector<std::string> args{"run", entry.path().string()};
        std::smatch m;
        if (std::regex_search(text, m, options)) {
            args.push_back("--table");
            args.push_back(m[1].str() + "=" + kGallery + "/" + m[2].str());
        }
        ScratchFolder folder;
        args.push_back("-o");
        args.push_back(folder.file("picture.gif"));
        const ProgramRun run = runWithPlugIn(folder, args);
        ASSERT_EQ(run.status, 0) << run.err;
        std::string gif = folder.read("picture.gif");
        gdImagePtr im = gdImageCreateFromGifPtr(static_cast<int>(gif.size()), gif.data());
        ASSERT_NE(im, nullptr);
        ++pictures;
        for (const char* variant : {"as drawn", "interlaced", "transparent"}) {
            if (std::string(variant) == "interlaced") gdImageInterlace(im, 1);
            if (std::string(variant) == "transparent") gdImageColorTransparent(im, gdImageColorsTotal(im) - 1);
            int size = 0;
            auto* gd = static_cast<uint8_t*>(gdImageGifPtr(im, &size));
            std::vector<uint8_t> ours;
            EXPECT_TRUE(encode_gif(*im, ours));
            EXPECT_TRUE(ours.size() == static_cast<std::size_t>(size) && std::memcmp(ours.data(), gd, ours.size()) == 0)
                << variant << ": " << ours.size() << " bytes against gd's " << size;
            gdFree(gd);
        }
        gdImageDestroy(im);
    }
    EXPECT_GE(pictures, 40);
}

}  // namespace
}  // namespace plotwise::scripts
