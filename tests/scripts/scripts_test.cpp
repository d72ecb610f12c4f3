// Whole scripts through the plotwise program and the plug-in: the gallery, tables read by field
// reference, error pictures, the definition each script leaves in its container, and the GIF
// writer on the gallery's pictures.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include <gd.h>
#include <gtest/gtest.h>

#include "engine/gif_writer.h"
#include "script_runner.h"

namespace plotwise::scripts {
namespace {

const std::string kGallery = std::string(PLOTWISE_SOURCE_DIR) + "/examples/gallery";

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs an expression and returns the container it made.
StoredChart runChart(const Folder& folder, const std::string& expression, std::vector<std::string> options = {},
                     Streams* streamsOut = nullptr) {
    const std::string script = folder.write("script.calc", expression);
    options.insert(options.begin(), script);
    options.push_back("--container");
    options.push_back(folder.path("chart.pwc"));
    const ProgramRun run = plotwise(folder, "run", options);
    EXPECT_EQ(run.status, 0) << run.err;
    const Streams streams = readContainerFile(folder.read("chart.pwc"));
    if (streamsOut != nullptr) *streamsOut = streams;
    StoredChart chart = storedChart(streams);
    EXPECT_TRUE(chart.ok);
    return chart;
}

// The labels of series 0 in a label stream.
std::vector<std::string> labelsOf(const std::vector<uint8_t>& labels, uint32_t count) {
    std::vector<std::string> out;
    std::size_t at = 0;
    for (uint32_t i = 0; i < count && at < labels.size(); ++i) {
        std::string label;
        while (at < labels.size() && labels[at] != 0) label += static_cast<char>(labels[at++]);
        ++at;
        out.push_back(label);
    }
    return out;
}

TEST(Scripts, TheWorkedExampleGivesAPictureOfTheAskedSize) {
    Folder folder;
    const std::string script = folder.write("sales.calc", R"calc(Let ( [
    chart = Plotz_New ;
    chart = Plotz_Data ( chart ; "Jan;Feb;Mar;Apr;May;Jun" ; "12;19;7;15;22;18" ; 16711680 ; "Sales" ) ;
    chart = Plotz_Titles ( chart ; "First half-year" ; "Month" ; "Units" ) ;
    chart = Plotz_Style ( chart ; "vbar" )
  ] ;
  Plotz_Draw ( chart ; 640 ; 480 )
))calc");
    ProgramRun run = plotwise(folder, "run", {script});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 10), "CHHD 7624\n");
    EXPECT_NE(run.out.find("\nSERS 8264\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nSIZE 4\n"), std::string::npos);
    run = plotwise(folder, "run", {script, "-o", folder.path("sales.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(pngSize(folder.read("sales.png")), std::make_pair(640, 480));
}

TEST(Scripts, ATableIsReadRecordByRecordAndSummedPerMonth) {
    Folder folder;
    const StoredChart chart = runChart(
        folder, R"calc(Plotz_Data ( Plotz_New ; "Orders::Month" ; "Orders::Amount" ; 255 ; "Amount" ))calc",
        {"--table", "Orders=" + kGallery + "/orders.csv"});
    ASSERT_TRUE(chart.ok);
    ASSERT_EQ(chart.block.header.valueCount, 6u);
    const float sums[] = {200, 225, 300, 250, 235, 265};
    for (int m = 0; m < 6; ++m) EXPECT_EQ(chart.series[0].y[m], sums[m]) << m;
}

TEST(Scripts, ARecordRangeReadsOnlyThoseRecords) {
    Folder folder;
    Streams streams;
    const StoredChart chart = runChart(
        folder, R"calc(Plotz_Data ( Plotz_New ; "Orders::Month(2-4)" ; "Orders::Amount(2-4)" ; 255 ))calc",
        {"--table", "Orders=" + kGallery + "/orders.csv"}, &streams);
    ASSERT_EQ(chart.block.header.valueCount, 2u);  // Jan 80, Feb 95 + 130
    EXPECT_EQ(chart.series[0].y[0], 80.0f);
    EXPECT_EQ(chart.series[0].y[1], 225.0f);
    EXPECT_EQ(labelsOf(*stream(streams, "LABS"), 2), (std::vector<std::string>{"Jan ", "Feb "}));
}

TEST(Scripts, AHundredThousandOrdersSumIntoTwelveMonths) {
    Folder folder;
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
        {"--table", "Orders=" + folder.path("orders.csv")});
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
        Folder folder;
        Streams streams;
        const StoredChart chart = runChart(folder, c.expression, {}, &streams);
        EXPECT_EQ(chart.block.header.errorCode, c.code);
        const std::vector<uint8_t>* size = stream(streams, "SIZE");
        ASSERT_NE(size, nullptr);
        EXPECT_EQ((*size)[0] << 8 | (*size)[1], static_cast<int>(c.width));
        EXPECT_EQ((*size)[2] << 8 | (*size)[3], static_cast<int>(c.height));
    }
}

TEST(Scripts, PieValueTextsTravelWithTheContainerOnce) {
    Folder folder;
    Streams streams;
    runChart(folder,
             R"calc(Plotz_Draw ( Plotz_Draw ( Plotz_Style ( Plotz_Data ( Plotz_New ; "Jan;Feb" ; "10;5" ; 0 ) ; "pie" ; "values" ) ; 400 ; 300 ) ; 400 ; 300 ))calc",
             {}, &streams);
    EXPECT_EQ(labelsOf(*stream(streams, "LABS"), 2), (std::vector<std::string>{"Jan \n10", "Feb \n 5"}));
}

// Every gallery script renders a picture of the size it asks for.
TEST(Scripts, EveryGalleryScriptRenders) {
    std::vector<std::filesystem::path> scripts;
    for (const auto& entry : std::filesystem::directory_iterator(kGallery)) {
        if (entry.path().extension() == ".calc") scripts.push_back(entry.path());
    }
    ASSERT_GE(scripts.size(), 40u);
    const std::regex drawSize(R"calc(Plotz_Draw \( (chart|"not a chart") ; (\d+) ; (\d+))calc");
    const std::regex options(R"calc(// options: --table (\w+)=(\S+))calc");
    for (const auto& script : scripts) {
        SCOPED_TRACE(script.filename().string());
        const std::string text = fileText(script.string());
        std::vector<std::string> args{script.string()};
        std::smatch m;
        if (std::regex_search(text, m, options)) {
            args.push_back("--table");
            args.push_back(m[1].str() + "=" + kGallery + "/" + m[2].str());
        }
        Folder folder;
        args.push_back("-o");
        args.push_back(folder.path("picture.png"));
        const ProgramRun run = plotwise(folder, "run", args);
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(std::regex_search(text, m, drawSize));
        // A Draw call without a chart is drawn at the default size.
        const std::pair<int, int> expected =
            m[1] == "chart" ? std::make_pair(std::stoi(m[2]), std::stoi(m[3])) : std::make_pair(320, 240);
        EXPECT_EQ(pngSize(folder.read("picture.png")), expected);
    }
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
        std::vector<std::string> args{entry.path().string()};
        std::smatch m;
        if (std::regex_search(text, m, options)) {
            args.push_back("--table");
            args.push_back(m[1].str() + "=" + kGallery + "/" + m[2].str());
        }
        Folder folder;
        args.push_back("-o");
        args.push_back(folder.path("picture.gif"));
        const ProgramRun run = plotwise(folder, "run", args);
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
