// Hostile input through the plotwise program, end to end: damaged and crafted containers, counts
// at and past every limit, huge and broken texts, numbers at the edges of the float range,
// sizes that do not fit 16 bits, unknown keywords and arguments of the wrong type.
//
// For every case: the program exits normally with the expected result (an error picture, a
// chart, a container without a picture, a number, a text, or an exit status with a clear
// message), and - in the same process, right after the hostile call - a good definition is
// drawn again and comes back byte for byte as it went in.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/container_file.h"
#include "tests/support/program.h"

namespace plotwise::endtoend {
namespace {

using namespace support;

// ---- The good chart every case is followed by -------------------------------------------

// Two series on a vertical bar chart. The substyle "auto" sets every option the drawing reads,
// so no setting an earlier call left behind can change its picture.
constexpr const char* kGoodScript =
    "Plotz_Draw ( Plotz_Titles ( Plotz_Style ( Plotz_Data ( Plotz_Data ( Plotz_New ;"
    " \"Jan;Feb;Mar\" ; \"10;20;30\" ; 16711680 ; \"North\" ) ;"
    " \"Jan;Feb;Mar\" ; \"5;-15;25\" ; 255 ; \"South\" ) ; \"vbar\" ; \"auto\" ) ;"
    " \"Good\" ; \"Month\" ; \"Units\" ) ; 200 ; 150 )";
constexpr const char* kGoodAgain = "Plotz_Draw ( $good ; 200 ; 150 )";

// Chart block offsets used to damage a header.
constexpr std::size_t kWidth = offsetof(ChartHeader, width);
constexpr std::size_t kSeriesCount = offsetof(ChartHeader, seriesCount);
constexpr std::size_t kValueCount = offsetof(ChartHeader, valueCount);
constexpr std::size_t kErrorCode = offsetof(ChartHeader, errorCode);
constexpr std::size_t kStyle = offsetof(ChartHeader, style);

Streams& good() {
    static Streams streams;
    return streams;
}

std::string& goodFile() {
    static std::string bytes;
    return bytes;
}

void setWord(std::string& bytes, std::size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); }

// The good chart with one stream replaced (or removed when `bytes` is null).
Streams withStream(Streams streams, const std::string& type, const std::string* bytes) {
    for (auto it = streams.begin(); it != streams.end(); ++it) {
        if (it->first != type) continue;
        if (bytes != nullptr) it->second = *bytes;
        else streams.erase(it);
        return streams;
    }
    if (bytes != nullptr) streams.emplace_back(type, *bytes);
    return streams;
}

Streams withHeader(const std::function<void(std::string&)>& damage) {
    std::string block = *findStream(good(), "CHHD");
    damage(block);
    return withStream(good(), "CHHD", &block);
}

std::string file(const Streams& streams) { return containerFile(streams); }

void swapWords(std::string& bytes, std::size_t at, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) std::swap(bytes[at + 4 * i], bytes[at + 4 * i + 3]),
                                            std::swap(bytes[at + 4 * i + 1], bytes[at + 4 * i + 2]);
}

// The good chart as a writer of the other byte order stores it: every numeric field of the
// chart block and of the series records reversed.
Streams byteSwapped() {
    std::string block = *findStream(good(), "CHHD");
    swapWords(block, kWidth, 4);
    swapWords(block, kSeriesCount, 3);
    swapWords(block, offsetof(ChartBlock, fontSize), 2 * kTextTypes);
    for (int a = 0; a < 3; ++a) {
        const std::size_t axis = offsetof(ChartBlock, axis) + a * sizeof(AxisOptions);
        swapWords(block, axis, 6);
        swapWords(block, axis + offsetof(AxisOptions, labelsOrientation), 1);
    }
    swapWords(block, offsetof(ChartBlock, pieColor), kMaxPieColors);
    std::string series = *findStream(good(), "SERS");
    for (std::size_t r = 0; r + sizeof(SeriesRecord) <= series.size(); r += sizeof(SeriesRecord)) {
        swapWords(series, r, 2);
        swapWords(series, r + offsetof(SeriesRecord, x), 2 * kMaxValues);
    }
    return withStream(withStream(good(), "CHHD", &block), "SERS", &series);
}

// The good chart in the earlier layout: one chart block of 1089820 bytes with the header, the
// pie colours, the X labels of series 0 (256 bytes each), all series records and the fonts.
Streams earlierLayout() {
    const std::string& block = *findStream(good(), "CHHD");
    std::string old(1089820, '\0');
    old.replace(0, sizeof(ChartHeader), block, 0, sizeof(ChartHeader));
    old.replace(1316, 4000, block, offsetof(ChartBlock, pieColor), 4000);
    const std::string& labels = *findStream(good(), "LABS");
    std::size_t at = 0;
    for (int v = 0; v < 3; ++v) {  // the three X labels of series 0
        const std::size_t end = labels.find('\0', at);
        old.replace(5316 + 256 * v, end - at, labels, at, end - at);
        at = end + 1;
    }
    const std::string& series = *findStream(good(), "SERS");
    old.replace(261316, series.size(), series);
    old.replace(1087716, 2104, block, offsetof(ChartBlock, fontSize), 2104);
    return {{"CHHD", old}};
}

// A GIF of a few dozen bytes whose screen is width x height: a black and white palette and
// one frame of the same size holding a few pixels.
std::string declaredGif(uint16_t width, uint16_t height) {
    std::string gif = "GIF89a";
    auto put16 = [&](uint16_t v) { gif.push_back(static_cast<char>(v & 0xFF)), gif.push_back(static_cast<char>(v >> 8)); };
    put16(width);
    put16(height);
    gif += std::string("\x80\0\0\0\0\0\xff\xff\xff", 9);
    gif += ',';
    put16(0), put16(0), put16(width), put16(height);
    gif += std::string("\0\x02\x02\x44\x01\0;", 7);
    return gif;
}

// ---- Expectations -----------------------------------------------------------------------

struct Expect {
    enum class Kind { ErrorPicture, Chart, NoPicture, Container, Number, Text, Png, Failure } kind = Kind::Chart;
    uint32_t errorCode = 0;  // ErrorPicture: the code the definition carries (0: shown only)
    double number = 0;
    std::string text;        // Text: the result; Failure: part of the message
    int status = 0;          // Failure: the exit status
    std::function<void(const Streams&)> check;  // more checks on a container result
    int width = 0, height = 0;  // Png: the size of the picture written to out.png
};

Expect errorPicture(uint32_t code, std::function<void(const Streams&)> check = {}) {
    return Expect{Expect::Kind::ErrorPicture, code, 0, {}, 0, std::move(check)};
}
Expect chart(std::function<void(const Streams&)> check = {}) {
    return Expect{Expect::Kind::Chart, 0, 0, {}, 0, std::move(check)};
}
Expect noPicture(std::function<void(const Streams&)> check = {}) {
    return Expect{Expect::Kind::NoPicture, 0, 0, {}, 0, std::move(check)};
}
// Any container: only `check` looks at it.
Expect container(std::function<void(const Streams&)> check) {
    return Expect{Expect::Kind::Container, 0, 0, {}, 0, std::move(check)};
}
Expect number(double n) { return Expect{Expect::Kind::Number, 0, n, {}, 0, {}}; }
// A PNG picture of width x height written to out.png (-o out.png), nothing printed.
Expect png(int width, int height) { return Expect{Expect::Kind::Png, 0, 0, {}, 0, {}, width, height}; }
Expect text(std::string t) { return Expect{Expect::Kind::Text, 0, 0, std::move(t), 0, {}}; }
Expect failure(int status, std::string message) {
    return Expect{Expect::Kind::Failure, 0, 0, std::move(message), status, {}};
}

struct Case {
    Case(const char* n, std::string e, std::function<std::string()> b, Expect x, std::vector<std::string> o = {})
        : name(n), expression(std::move(e)), bad(std::move(b)), expect(std::move(x)), options(std::move(o)) {}
    const char* name;
    std::string expression;           // may use $bad (the container file below) and $good
    std::function<std::string()> bad; // bytes of the file bound to $bad; none when empty
    Expect expect;
    std::vector<std::string> options; // more options of the command line
};

// Test listings show a case by its name rather than by its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// ---- Checks on result containers ----------------------------------------------------------

std::string labelsOf(const Streams& streams, const char* type) {
    const std::string* labels = findStream(streams, type);
    return labels != nullptr ? *labels : std::string();
}

std::function<void(const Streams&)> sameAsGood() {
    return [](const Streams& streams) { EXPECT_EQ(streams, good()); };
}

std::function<void(const Streams&)> counts(uint32_t series, uint32_t values) {
    return [=](const Streams& streams) {
        const ChartBlock block = chartBlock(streams);
        EXPECT_EQ(block.header.seriesCount, series);
        EXPECT_EQ(block.header.valueCount, values);
    };
}

std::function<void(const Streams&)> pictureSize(int width, int height) {
    return [=](const Streams& streams) {
        const std::string* gif = findStream(streams, "GIFf");
        ASSERT_NE(gif, nullptr);
        const Picture picture = decodeGif(*gif);
        EXPECT_EQ(picture.width, width);
        EXPECT_EQ(picture.height, height);
    };
}

std::string repeat(const std::string& piece, int times, const std::string& separator) {
    std::string out;
    for (int i = 0; i < times; ++i) out += (i ? separator : "") + piece;
    return out;
}

std::string numbers(int count) {
    std::string out;
    for (int i = 1; i <= count; ++i) out += (i > 1 ? ";" : "") + std::to_string(i);
    return out;
}

// A chart with one series of the given data, as a script builds it.
std::string dataChart(const std::string& x, const std::string& y) {
    return "Plotz_Data ( Plotz_New ; \"" + x + "\" ; \"" + y + "\" ; 255 ; \"S\" )";
}

std::vector<Case> cases() {
    const std::string full = "Let ( [ c = Plotz_New ; " + repeat("c = Plotz_Data ( c ; \"x;y\" ; \"1;2\" ; 0 )", 100, " ; ") + " ] ; c )";
    return {
        // ---- Damaged and crafted containers -----------------------------------------------
        {"EmptyContainer", "Plotz_Draw ( $bad ; 200 ; 150 )", [] { return file({}); }, errorPicture(0, pictureSize(200, 150))},
        {"EmptyHeaderStream", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { const std::string none; return file(withStream(good(), "CHHD", &none)); }, errorPicture(0, pictureSize(200, 150))},
        {"HeaderCutBeforeCounts", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { const std::string cut = findStream(good(), "CHHD")->substr(0, 1000); return file(withStream(good(), "CHHD", &cut)); },
         errorPicture(0, counts(0, 0))},
        {"HeaderCutInPieColours", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { const std::string cut = findStream(good(), "CHHD")->substr(0, 7000); return file(withStream(good(), "CHHD", &cut)); },
         chart(counts(2, 3))},
        {"HeaderLongerThanBlock", kGoodAgain,
         [] { const std::string longer = *findStream(good(), "CHHD") + std::string(400, '\x7F'); return file(withStream(good(), "CHHD", &longer)); },
         chart(sameAsGood())},
        {"OtherByteOrder", "Plotz_Draw ( $bad ; 200 ; 150 )", [] { return file(byteSwapped()); }, chart(sameAsGood())},
        {"EarlierLayout", "Plotz_Draw ( $bad ; 200 ; 150 )", [] { return file(earlierLayout()); },
         chart([](const Streams& streams) {
             for (const char* type : {"CHHD", "LABY", "SERS", "GIFf", "SIZE"}) {
                 ASSERT_NE(findStream(streams, type), nullptr) << type;
                 EXPECT_EQ(*findStream(streams, type), *findStream(good(), type)) << type;
             }
             // Only series 0 has X labels in the earlier layout.
             EXPECT_EQ(labelsOf(streams, "LABS"), std::string("Jan \0Feb \0Mar \0 \0 \0 \0", 21));
         })},
        {"EarlierLayoutWithTrailingBytes", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { Streams s = earlierLayout(); s[0].second += std::string(5000, '\xEE'); return file(s); }, chart(counts(2, 3))},
        {"SeriesCountFitsNoByteOrder", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { return file(withHeader([](std::string& b) { setWord(b, kSeriesCount, 5000); })); }, chart(counts(100, 3))},
        {"ValueCountHuge", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { return file(withHeader([](std::string& b) { setWord(b, kValueCount, 0x7FFFFFFF); })); },
         chart([](const Streams& s) { EXPECT_EQ(chartBlock(s).header.seriesCount, 2u); })},
        {"UnknownErrorCode", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { return file(withHeader([](std::string& b) { setWord(b, kErrorCode, 999); })); }, errorPicture(999, pictureSize(200, 150))},
        {"StoredAxisError", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { return file(withHeader([](std::string& b) { setWord(b, kErrorCode, 13); })); }, errorPicture(13)},
        {"TextsWithoutTerminators", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { return file(withHeader([](std::string& b) { b.replace(kStyle, 5 * 256, 5 * 256, 'X'); })); },
         errorPicture(0, [](const Streams& s) {
             const ChartHeader h = chartBlock(s).header;
             EXPECT_EQ(std::string(h.style), std::string(255, 'x'));  // lowered, cut to its field
             EXPECT_EQ(std::string(h.chartTitle), std::string(255, 'X'));
         })},
        {"FontNamesOfDevices", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] {
             return file(withHeader([](std::string& b) {
                 const char* names[] = {"/dev/zero", "/", "/dev/null", "../../../../etc/passwd", "", "\xff\xfe", "Times.ttf"};
                 for (int t = 0; t < kTextTypes; ++t) {
                     const std::size_t at = offsetof(ChartBlock, fontName) + 256 * t;
                     b.replace(at, 256, 256, '\0');
                     b.replace(at, std::strlen(names[t]), names[t]);
                     setWord(b, offsetof(ChartBlock, fontSize) + 4 * t, 12);
                 }
             }));
         },
         chart(pictureSize(200, 150))},
        {"SeriesStreamOfMoreThanAHundredRecords", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { const std::string many(150 * sizeof(SeriesRecord), '\x01'); return file(withStream(good(), "SERS", &many)); }, chart(counts(2, 3))},
        {"SeriesStreamCutInARecord", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { const std::string cut = findStream(good(), "SERS")->substr(0, sizeof(SeriesRecord) + 300); return file(withStream(good(), "SERS", &cut)); },
         chart(counts(2, 3))},
        {"LabelsWithoutTerminators", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { const std::string as(10000, 'A'); return file(withStream(good(), "LABS", &as)); },
         chart([](const Streams& s) {
             // The one unterminated entry is cut to a label's 31 bytes; the entries it took
             // the place of are empty (stored as a blank).
             EXPECT_EQ(labelsOf(s, "LABS"), std::string(31, 'A') + std::string("\0 \0 \0 \0 \0 \0", 11));
         })},
        {"EmptyLabelStreams", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { const std::string none; return file(withStream(withStream(good(), "LABS", &none), "LABY", &none)); },
         chart([](const Streams& s) { EXPECT_EQ(labelsOf(s, "LABS"), std::string(" \0 \0 \0 \0 \0 \0", 12)); })},
        {"LabelsOfBrokenUtf8AndControls", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] {
             static const char kLabels[] = "\xff\xfe\x01\x02\x1b[2J\0\xc3\0\xe2\x82\0\t\r\n\0";
             const std::string labels(kLabels, sizeof kLabels - 1);
             return file(withStream(good(), "LABS", &labels));
         },
         chart(pictureSize(200, 150))},
        {"HeaderStreamInLowerCase", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { Streams s = good(); s[0].first = "chhd"; return file(s); }, errorPicture(0)},
        {"TwoHeaderStreams", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { Streams s = good(); s.insert(s.begin(), {"CHHD", std::string(10, '\xFF')}); return file(s); },
         errorPicture(0, counts(0, 0))},  // the first one is read: it holds no counts
        {"PictureOfBrokenBytes", "ExtractPicture ( $bad )",
         [] { return file({{"GIFf", "GIF89a\xff\xff"}, {"SIZE", "\x01"}}); },
         container([](const Streams& s) {
                    ASSERT_EQ(s.size(), 2u);
                    EXPECT_EQ(s[0], (std::pair<std::string, std::string>("GIFf", "GIF89a\xff\xff")));
                    EXPECT_EQ(s[1].first, "SIZE");
                    EXPECT_EQ(s[1].second, std::string("\x01\0\0\0", 4));
                })},
        {"AnalysisOfAnEmptyDefinition", "ContainerAnalysis ( $bad ; \"ANALYSIS\" )",
         [] { return file({{"CHHD", std::string(7624, '\0')}, {"LABS", ""}, {"LABY", ""}, {"SERS", ""}}); },
         text("Container total = 7624\nHeader  = 7624\n")},

        {"PictureDeclaringFortyThousandSquareAsPng", "ExtractPicture ( $bad )",
         [] { return file({{"GIFf", declaredGif(40000, 40000)}}); }, failure(1, "16 megapixels"), {"-o", "out.png"}},
        {"SmallDeclaredPictureAsPng", "ExtractPicture ( $bad )", [] { return file({{"GIFf", declaredGif(30, 20)}}); },
         png(30, 20), {"-o", "out.png"}},

        // ---- Container files the program cannot read ------------------------------------
        {"ContainerFileOfWrongMagic", "Plotz_Draw ( $bad ; 200 ; 150 )", [] { return std::string("PWCX\1\0\0\0\0\0\0\0", 12); },
         failure(2, "bad")},
        {"ContainerFileCountPastItsStreams", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { std::string f = file(good()); f[8] = 9; return f; }, failure(2, "bad")},
        {"ContainerFileCutInAStream", "Plotz_Draw ( $bad ; 200 ; 150 )",
         [] { const std::string f = file(good()); return f.substr(0, f.size() - 7); }, failure(2, "bad")},

        // ---- Counts at and past every limit ------------------------------------------------
        {"ThousandValues", dataChart(numbers(1000), "1"), {}, chart(counts(1, 1000))},
        {"ThousandAndOneValues", dataChart(numbers(1001), "1"), {}, errorPicture(10, counts(1, 1001))},
        {"HundredAndFirstSeries", "Plotz_Data ( " + full + " ; \"x;y;z\" ; \"1;2;3\" ; 0 )", {}, errorPicture(3, counts(100, 2))},
        {"ThousandAndOnePieColours", "Plotz_PieColors ( Plotz_New ; " + repeat("255", 1001, " ; ") + " )", {},
         errorPicture(0, [](const Streams& s) {
             const ChartBlock block = chartBlock(s);
             EXPECT_EQ(block.header.customPieColors, 1);
             EXPECT_EQ(block.pieColor[999], 255u);
         })},
        {"AxisFormatPastItsField", "Plotz_Axis ( $good ; \"y\" ; \"format\" ; \"" + std::string(40, '#') + "\" )", {},
         chart([](const Streams& s) { EXPECT_EQ(std::string(chartBlock(s).axis[1].format), std::string(31, '#')); })},
        {"TitleOfHundredThousandBytes", "Plotz_Titles ( $good ; \"" + repeat("\xC3\xA9", 50000, "") + "\" ; \"x\" ; \"y\" )", {},
         chart([](const Streams& s) {
             // Cut at a character boundary: 127 two-byte characters in 255 bytes.
             EXPECT_EQ(std::string(chartBlock(s).header.chartTitle), repeat("\xC3\xA9", 127, ""));
         })},
        {"DataOfHundredThousandBytes", dataChart(numbers(19000), numbers(19000)), {}, errorPicture(10)},
        {"OneLabelOfHundredThousandBytes", dataChart(std::string(100000, 'a') + ";b", "1;2"), {},
         chart([](const Streams& s) {
             EXPECT_EQ(labelsOf(s, "LABS"), std::string(31, 'a') + std::string("\0b \0", 4));
         })},

        // ---- Texts: broken UTF-8 and control characters ------------------------------------
        {"TitleOfBrokenUtf8", "Plotz_Titles ( $good ; $t ; \"x\" ; \"y\" )", {},
         chart([](const Streams& s) { EXPECT_EQ(std::string(chartBlock(s).header.chartTitle), "\xEF\xBF\xBD" "a\xEF\xBF\xBD"); }),
         {"--var", "t=\xff" "a\xc3"}},
        {"ControlCharactersInLabels",
         "Plotz_Style ( Plotz_Data ( Plotz_New ; \"a\" & Char ( 7 ) & \";b\" & Char ( 27 ) & \"[2J;\" & Char ( 1 ) ; \"1;2;3\" ; 0 ) ; \"hbar\" )",
         {}, chart(counts(1, 3))},

        // ---- Numbers at the edges ------------------------------------------------------------
        {"ValuesAtTheFloatEdges", "Plotz_Style ( " + dataChart("a;b;c;d;e", "-3.4028235e38;1e38;1e300;-1e300;1e-300") + " ; \"line\" )",
         {}, chart(counts(1, 5))},
        {"AxisBoundsAtTheFloatEdges",
         "Plotz_Axis ( $good ; \"y\" ; \"min\" ; 1e38 ; \"max\" ; -3.4028235e38 ; \"gridStep\" ; 1e-30 ; \"labelStep\" ; 1e300 )", {},
         chart(pictureSize(200, 150))},
        {"XyChartOfOneHugeValue", "Plotz_Style ( " + dataChart("1e38", "-1e38") + " ; \"xyline\" )", {}, chart(counts(1, 1))},
        {"FontSizePastTheLargest", "Plotz_Font ( $good ; \"charttitle\" ; \"Times.ttf\" ; 1e300 ; -1 )", {},
         chart([](const Streams& s) { EXPECT_EQ(chartBlock(s).fontSize[0], 999u); })},

        // ---- Sizes that do not fit 16 bits -----------------------------------------------------
        {"NegativeWidth", "Plotz_Draw ( $good ; -5 ; 100 )", {}, noPicture()},
        {"ZeroSize", "Plotz_Draw ( $good ; 0 ; 0 )", {}, noPicture()},
        {"WidthOfExactlySixteenBits", "Plotz_Draw ( $good ; 65536 ; 100 )", {},
         noPicture([](const Streams& s) { EXPECT_EQ(chartBlock(s).header.width, 65536u); })},
        {"WidthPastSixteenBits", "Plotz_Draw ( $good ; 70000 ; 100 )", {},
         chart([](const Streams& s) {
             EXPECT_EQ(*findStream(s, "SIZE"), std::string("\x11\x70\x00\x64", 4));
             pictureSize(4464, 100)(s);
         })},
        {"LargestWidth", "Plotz_Draw ( $good ; 32767 ; 60 )", {}, chart(pictureSize(32767, 60))},
        {"WidthThatTurnsNegative", "Plotz_Draw ( $good ; 32768 ; 60 )", {}, noPicture()},
        {"SizesGivenAsTexts", "Plotz_Draw ( $good ; \"abc\" ; \"12kg\" )", {}, noPicture()},

        // ---- Unknown keywords ------------------------------------------------------------------
        {"StyleWithTrailingBlank", "Plotz_Style ( $good ; \"vbar \" )", {}, errorPicture(0)},
        {"UnknownTextType", "Plotz_Font ( $good ; \"bogus\" ; \"Arial.ttf\" ; 12 )", {}, chart()},
        {"UnknownAxis", "Plotz_Axis ( $good ; \"Z\" ; \"min\" ; 1 )", {}, errorPicture(13)},
        {"UnknownAxisOption", "Plotz_Axis ( $good ; \"x\" ; \"colour\" ; \"min\" ; \"auto\" )", {}, chart()},
        {"UnknownVersionFormat", "Plotz_Version ( \"LONGER\" )", {}, text("")},

        // ---- Arguments of the wrong type -------------------------------------------------------
        {"DataOfNumbersAndATextColour", "Plotz_Data ( Plotz_New ; 12 ; 34 ; \"red\" ; 5 )", {},
         chart([](const Streams& s) {
             counts(1, 1)(s);
             EXPECT_EQ(std::string(chartBlock(s).header.style), "pie");
         })},
        {"TitlesWithoutAContainer", "Plotz_Titles ( 123 ; \"a\" ; \"b\" ; \"c\" )", {}, errorPicture(1, pictureSize(320, 240))},
        {"StyleGivenAContainer", "Plotz_Style ( $good ; $good )", {}, errorPicture(0)},
        {"FontOfNumbers", "Plotz_Font ( $good ; 1 ; 2 ; \"x\" )", {}, chart()},
        {"AxisOfNumbers", "Plotz_Axis ( $good ; 1 ; 2 ; 3 )", {}, errorPicture(13)},
        {"PieColoursWithoutAContainer", "Plotz_PieColors ( \"x\" ; 1 )", {}, errorPicture(6)},
        {"DrawWithoutAContainer", "Plotz_Draw ( \"x\" ; 100 ; 100 )", {}, errorPicture(4, pictureSize(320, 240))},
        {"ExtractPictureOfAText", "ExtractPicture ( \"text\" )", {}, number(-50)},
        {"ExtractPictureOfNoPicture", "ExtractPicture ( $bad )", [] { return file({{"CHHD", std::string(7624, '\0')}}); }, number(5)},
        {"AnalysisOfANumberRequest", "ContainerAnalysis ( $good ; 12 )", {}, text("")},
        {"VersionOfAContainer", "Plotz_Version ( $good )", {}, text("1.3")},  // a container's text is empty
        {"VersionOfANumber", "Plotz_Version ( 12 )", {}, text("")},
        {"DataOfContainersOnly", "Plotz_Data ( Plotz_New ; $good ; $good ; $good ; $good )", {}, errorPicture(0, counts(1, 0))},
        {"TitlesOfAContainerAndNumbers", "Plotz_Titles ( $good ; $good ; 1 ; 2 )", {},
         chart([](const Streams& s) {
             const ChartHeader h = chartBlock(s).header;
             EXPECT_EQ(std::string(h.chartTitle), "");
             EXPECT_EQ(std::string(h.xAxisTitle), "1");
             EXPECT_EQ(std::string(h.yAxisTitle), "2");
         })},
        {"StyleOfANumber", "Plotz_Style ( 1 ; \"vbar\" )", {}, errorPicture(2)},
        {"FontOfANumberNameAndATextSize", "Plotz_Font ( $good ; \"charttitle\" ; 12 ; \"big\" )", {},
         chart([](const Streams& s) {
             const ChartBlock b = chartBlock(s);
             EXPECT_EQ(std::string(b.fontName[0]), "12");
             EXPECT_EQ(b.fontSize[0], 0u);
         })},
        {"AxisValueOfAContainer", "Plotz_Axis ( $good ; \"y\" ; \"min\" ; $good )", {},
         chart([](const Streams& s) {
             const AxisOptions a = chartBlock(s).axis[1];
             EXPECT_EQ(a.min, 0.0f);
             EXPECT_EQ(a.isAuto[0], 0);
         })},
        {"PieColoursOfTextAndAContainer", "Plotz_PieColors ( $good ; \"red\" ; $good )", {},
         chart([](const Streams& s) {
             const ChartBlock b = chartBlock(s);
             EXPECT_EQ(b.header.customPieColors, 1);
             EXPECT_EQ(b.pieColor[0], 0u);
             EXPECT_EQ(b.pieColor[1], 0u);
         })},
        {"DrawOfTextsAndAContainer", "Plotz_Draw ( $good ; \"wide\" ; $good ; \"white\" ; \"black\" )", {}, noPicture()},
        {"AnalysisWithoutAContainer", "ContainerAnalysis ( 1 ; \"analysis\" )", {}, text("")},

        // ---- Field references ------------------------------------------------------------------
        {"RangePastEveryRecord", "Plotz_Data ( Plotz_New ; \"T::Month(1-99999999999999999999)\" ; \"T::Amount\" ; 0 )", {},
         chart(counts(1, 2)), {"--table", "T=t.csv"}},
        {"UnknownXField", "Plotz_Data ( Plotz_New ; \"Nope::Field\" ; \"1;2\" ; 0 )", {}, errorPicture(11)},
        {"UnknownYField", "Plotz_Data ( Plotz_New ; \"a;b\" ; \"Nope::Field\" ; 0 )", {}, errorPicture(12)},

        // ---- Scripts the program refuses -------------------------------------------------------
        {"SyntaxError", "Plotz_Draw ( $good ; 200 ; )", {}, failure(2, "1:")},
        {"UnknownFunction", "Plotz_Nothing ( 1 )", {}, failure(2, "Plotz_Nothing")},
        {"TooFewArguments", "Plotz_Data ( 1 ; 2 )", {}, failure(2, "Plotz_Data")},
        {"UnknownField", "Plotz_Data ( Plotz_New ; Orders::Month ; 1 ; 0 )", {}, failure(1, "102")},
    };
}

// ---- The table ------------------------------------------------------------------------------

class HostileInput : public ::testing::TestWithParam<Case> {
public:
    static void SetUpTestSuite() {
        if (!good().empty()) return;
        ScratchFolder scratch;
        const ProgramRun made = runWithPlugIn(scratch, {"eval", kGoodScript, "--container", "good.pwcf"});
        ASSERT_EQ(made.status, 0) << made.err;
        goodFile() = scratch.read("good.pwcf");
        good() = readContainerFile(goodFile());
        // The good chart itself round-trips in a fresh process.
        const ProgramRun again = runWithPlugIn(scratch, {"eval", kGoodAgain, "--var", "good=@good.pwcf", "--container", "again.pwcf"});
        ASSERT_EQ(again.status, 0) << again.err;
        ASSERT_EQ(readContainerFile(scratch.read("again.pwcf")), good());
    }
};

TEST_P(HostileInput, GivesItsDefinedResultAndTheNextCallWorks) {
    const Case& c = GetParam();
    ASSERT_FALSE(good().empty());
    ScratchFolder scratch;
    scratch.write("good.pwcf", goodFile());
    scratch.write("t.csv", "Month,Amount\nJan,1\nFeb,2\n");
    std::vector<std::string> binding{"--var", "good=@good.pwcf"};
    if (c.bad) {
        scratch.write("bad.pwcf", c.bad());
        binding.insert(binding.end(), {"--var", "bad=@bad.pwcf"});
    }
    binding.insert(binding.end(), c.options.begin(), c.options.end());

    const Expect& e = c.expect;
    const bool container = e.kind == Expect::Kind::ErrorPicture || e.kind == Expect::Kind::Chart ||
                           e.kind == Expect::Kind::NoPicture || e.kind == Expect::Kind::Container;
    // Scripts are handed over in files: some are longer than one command-line argument may be.
    scratch.write("hostile.calc", c.expression);
    std::vector<std::string> args{"run", "hostile.calc"};
    args.insert(args.end(), binding.begin(), binding.end());
    if (container) args.insert(args.end(), {"--container", "result.pwcf"});
    const ProgramRun run = runWithPlugIn(scratch, args);
    ASSERT_TRUE(run.exited) << "ended by signal " << run.signal << "\n" << run.err;

    switch (e.kind) {
        case Expect::Kind::Failure:
            EXPECT_EQ(run.status, e.status) << run.err;
            EXPECT_NE(run.err.find(e.text), std::string::npos) << run.err;
            return;  // the script stopped: nothing ran after it
        case Expect::Kind::Number:
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(std::stod(run.out), e.number) << run.out;
            break;
        case Expect::Kind::Text:
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, e.text + "\n");
            break;
        case Expect::Kind::Png: {
            ASSERT_EQ(run.status, 0) << run.err;
            const Picture picture = decodePng(scratch.read("out.png"));
            ASSERT_TRUE(picture.decoded);
            EXPECT_EQ(picture.width, e.width);
            EXPECT_EQ(picture.height, e.height);
            break;
        }
        case Expect::Kind::Container:
            ASSERT_EQ(run.status, 0) << run.err;
            e.check(readContainerFile(scratch.read("result.pwcf")));
            break;
        default: {
            ASSERT_EQ(run.status, 0) << run.err;
            const Streams result = readContainerFile(scratch.read("result.pwcf"));
            const ChartBlock block = chartBlock(result);
            ASSERT_NE(findStream(result, "CHHD"), nullptr);
            const std::string* gif = findStream(result, "GIFf");
            if (e.kind == Expect::Kind::NoPicture) {
                EXPECT_EQ(gif, nullptr);
                EXPECT_EQ(findStream(result, "SIZE"), nullptr);
            } else {
                ASSERT_NE(gif, nullptr);
                const Picture picture = decodeGif(*gif);
                ASSERT_TRUE(picture.decoded);
                EXPECT_EQ(static_cast<uint32_t>(picture.width), block.header.width & 0xFFFF);
                EXPECT_EQ(static_cast<uint32_t>(picture.height), block.header.height & 0xFFFF);
                EXPECT_EQ(isErrorPie(picture), e.kind == Expect::Kind::ErrorPicture);
                if (e.kind == Expect::Kind::ErrorPicture) EXPECT_EQ(block.header.errorCode, e.errorCode);
                else EXPECT_EQ(block.header.errorCode, 0u);
            }
            if (e.check) e.check(result);
        }
    }

    // In the same process, right after the hostile call: the good chart drawn again is
    // exactly the good chart.
    scratch.write("after.calc", "Let ( [ bad = " + c.expression + " ; good = " + kGoodAgain + " ] ; good )");
    std::vector<std::string> after{"run", "after.calc"};
    after.insert(after.end(), binding.begin(), binding.end());
    after.insert(after.end(), {"--container", "after.pwcf"});
    const ProgramRun next = runWithPlugIn(scratch, after);
    ASSERT_TRUE(next.exited) << "ended by signal " << next.signal << "\n" << next.err;
    ASSERT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(readContainerFile(scratch.read("after.pwcf")), good());
}

// `plotwise inspect` describes every damaged container file, and refuses a file that is no
// container file with a message, exit status 2.
class InspectFile : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite() { HostileInput::SetUpTestSuite(); }
};

TEST_P(InspectFile, DescribesTheContainerFileOrRefusesIt) {
    const Case& c = GetParam();
    ScratchFolder scratch;
    const std::string bytes = c.bad();
    scratch.write("bad.pwcf", bytes);
    const ProgramRun run = runProgram(scratch, {"inspect", "bad.pwcf"});
    ASSERT_TRUE(run.exited) << "ended by signal " << run.signal << "\n" << run.err;
    bool wellFormed = true;
    try {
        readContainerFile(bytes);
    } catch (const std::runtime_error&) {
        wellFormed = false;
    }
    if (wellFormed) {
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_FALSE(run.out.empty());
    } else {
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("bad.pwcf"), std::string::npos) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HostileInput, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

std::vector<Case> casesWithFiles() {
    std::vector<Case> withFiles;
    for (Case& c : cases()) {
        if (c.bad) withFiles.push_back(std::move(c));
    }
    return withFiles;
}

INSTANTIATE_TEST_SUITE_P(Table, InspectFile, ::testing::ValuesIn(casesWithFiles()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plotwise::endtoend
