// End-to-end: the built plotwise program with the built plug-in. These checks rely on the
// program, the host stand-in and the plug-in's start-up and strings, not on the chart
// functions; containers they need are written as container files here.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <gd.h>
#include <memory>

#include "app/container_file.h"
#include "app/picture_file.h"
#include "tests/support/program.h"

namespace plotwise::app {
namespace {

using Outcome = support::ProgramRun;
using support::runProgram;
using support::runWithPlugIn;
using support::ScratchFolder;
using support::finishProgram;
using support::startProgram;
using support::withPlugIn;

constexpr std::string_view kOrders = "Month,Amount\r\nJan,10\r\nFeb,20.5\r\n\"Mar\",\"1,5\"\r\n";

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// A 3 x 2 GIF: red everywhere but a blue pixel at (2, 1), so that a turned or mirrored
// conversion cannot pass.
std::vector<uint8_t> smallGif() {
    gdImagePtr image = gdImageCreate(3, 2);
    const int red = gdImageColorAllocate(image, 255, 0, 0);
    const int blue = gdImageColorAllocate(image, 0, 0, 255);
    gdImageFilledRectangle(image, 0, 0, 2, 1, red);
    gdImageSetPixel(image, 2, 1, blue);
    int size = 0;
    void* gif = gdImageGifPtr(image, &size);
    std::vector<uint8_t> bytes(static_cast<uint8_t*>(gif), static_cast<uint8_t*>(gif) + size);
    gdFree(gif);
    gdImageDestroy(image);
    return bytes;
}

std::vector<ContainerStream> pictureContainer() {
    return {{{'G', 'I', 'F', 'f'}, smallGif()}, {{'S', 'I', 'Z', 'E'}, {0, 3, 0, 2}}};
}

TEST(Program, HelpAndVersion) {
    ScratchFolder folder;
    Outcome help = runProgram(folder, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(contains(help.out, "plotwise eval EXPR")) << help.out;

    Outcome version = runWithPlugIn(folder, {"--version"});
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "Norvane Plotwise Plug-In 1.3\n");
}

TEST(Program, TextsAndNumbersPrintPlainly) {
    ScratchFolder folder;
    struct Case {
        std::string expression;
        std::string printed;
    };
    const Case cases[] = {
        {"\"a\" & \xC2\xB6 & \"b\"", "a\nb\n"},
        {"1 + 2 & 3", "33\n"},
        {"-0.5", "-0.5\n"},
        {"42", "42\n"},
        {"List ( \"x\" ; \"\" ; \"y\" )", "x\ny\n"},
        {"\"\"", "\n"},
        {"Plotz_Version ( \"long\" )", "Norvane Plotwise Plug-In 1.3\n"},
        {"PLOTZ_VERSION ( \"\" )", "1.3\n"},
    };
    for (const Case& c : cases) {
        const Outcome o = runWithPlugIn(folder, {"eval", c.expression});
        EXPECT_EQ(o.status, 0) << c.expression << "\n" << o.err;
        EXPECT_EQ(o.out, c.printed) << c.expression;
    }
}

TEST(Program, SyntaxErrorsExitTwoWithTheirPlace) {
    ScratchFolder folder;
    Outcome o = runWithPlugIn(folder, {"eval", "1 + * 2"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(contains(o.err, "<expression>:1:5: syntax error: expected a value")) << o.err;

    folder.write("bad.calc", "// a comment\r\nLet ( x = 1 ;\r\n  x + \"open )\r\n");
    o = runWithPlugIn(folder, {"run", "bad.calc"});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "bad.calc:3:7: syntax error: text opened here is not closed")) << o.err;

    o = runWithPlugIn(folder, {"eval", std::string(10000, '(') + "1" + std::string(10000, ')')});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "nested too deeply")) << o.err;
}

TEST(Program, UnknownFunctionsAndArgumentCountsExitTwo) {
    ScratchFolder folder;
    Outcome o = runWithPlugIn(folder, {"eval", "Plotz_Versoin ( \"long\" )"});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "1:1: syntax error: unknown function Plotz_Versoin (did you mean Plotz_Version?)"))
        << o.err;

    o = runWithPlugIn(folder, {"eval", "\"v\" & Plotz_Version ( )"});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "1:7: syntax error: Plotz_Version takes exactly 1 argument, got 0")) << o.err;

    o = runWithPlugIn(folder, {"eval", "Plotz_Data ( 1 ; 2 )"});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "Plotz_Data needs at least 3 arguments, got 2")) << o.err;
}

TEST(Program, TablesAndRecordErrors) {
    ScratchFolder folder;
    folder.write("orders.csv", std::string(kOrders));
    const std::string table = "Orders=orders.csv";
    struct Case {
        std::string expression;
        int status;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"GetNthRecord ( Orders::Month ; 2 ) & \"/\" & Orders::Amount", 0, "Feb/10\n", ""},
        {"GetNthRecord ( Orders::Amount ; 2 ) + 1", 0, "21.5\n", ""},
        {"GetNthRecord ( Orders::Amount ; 3 )", 0, "1,5\n", ""},
        {"GetNthRecord ( Orders::Month ; 4 )", 1, "", "error 101: record 4 is not in the table Orders (records 1 to 3)"},
        {"GetNthRecord ( Orders::Month ; 0 )", 1, "", "error 101: "},
        {"GetNthRecord ( Orders::Day ; 1 )", 1, "", "error 102: the table Orders has no field Day"},
        {"Sales", 1, "", "error 102: unknown field Sales"},
        {"Stock::Price", 1, "", "error 102: unknown table Stock"},
    };
    for (const Case& c : cases) {
        const Outcome o = runWithPlugIn(folder, {"eval", c.expression, "--table", table});
        EXPECT_EQ(o.status, c.status) << c.expression << "\n" << o.err;
        EXPECT_EQ(o.out, c.out) << c.expression;
        EXPECT_TRUE(contains(o.err, c.err)) << c.expression << "\n" << o.err;
    }
}

TEST(Program, FileProblemsExitTwo) {
    ScratchFolder folder;
    struct Case {
        std::vector<std::string> args;
        std::string saying;
    };
    folder.write("ragged.csv", "a,b\n1,2,3\n");
    const Case cases[] = {
        {{"run", "missing.calc"}, "cannot read missing.calc"},
        {{"eval", "1", "--table", "T=missing.csv"}, "cannot read missing.csv"},
        {{"eval", "1", "--table", "T=ragged.csv"}, "ragged.csv:2: the record has 3 fields"},
        {{"eval", "1", "--var", "c=@missing.pwcf"}, "cannot read missing.pwcf"},
        {{"eval", "1", "-o", "picture.jpg"}, "-o writes .gif, .png, .svg or .pdf pictures"},
        {{"eval", "1", "--scale", "2"}, "--scale applies to -o FILE.png"},
        {{"eval", "1", "-o", "p.gif", "--scale", "2"}, "--scale applies to -o FILE.png"},
        {{"eval", "1", "-o", "p.png", "--scale", "9"}, "--scale takes a whole number from 1 to 8"},
        {{"eval", "1", "-o", "p.png", "--scale", "2.5"}, "--scale takes a whole number from 1 to 8"},
        {{"eval", "1", "--locale", "klingon"}, "unknown locale \"klingon\""},
        {{"eval", "1", "--frobnicate"}, "unknown option --frobnicate"},
        {{"eval"}, "eval needs an expression"},
        {{"eval", "1", "2"}, "unexpected argument \"2\""},
        {{"draw"}, "unknown command \"draw\""},
        {{}, "no command given"},
    };
    for (const Case& c : cases) {
        const Outcome o = runWithPlugIn(folder, c.args);
        EXPECT_EQ(o.status, 2) << c.saying << "\n" << o.err;
        EXPECT_TRUE(contains(o.err, c.saying)) << o.err;
    }
    const Outcome o = runProgram(folder, {"eval", "1", "--plugin", folder.file("nothing.fmx")});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "cannot load the plug-in")) << o.err;
}

TEST(Program, ScriptsFromFilesAndStandardInput) {
    ScratchFolder folder;
    folder.write("total.calc",
                 "\xEF\xBB\xBF#!/usr/bin/env plotwise run\n"
                 "/* the sum of a table's amounts */\nLet ( [ a = GetNthRecord ( Orders::Amount ; 1 ) ;\n"
                 "        b = GetNthRecord ( Orders::Amount ; 2 ) ] ;\n  \"total: \" & a + b )  // done\n");
    folder.write("orders.csv", std::string(kOrders));
    Outcome o = runWithPlugIn(folder, {"run", "total.calc", "--table", "Orders=orders.csv"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "total: 30.5\n");

    o = runWithPlugIn(folder, {"run", "-"}, "\"from\" & \xC2\xB6 & \"stdin\"\n");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "from\nstdin\n");
}

TEST(Program, VariablesFromTheCommandLine) {
    ScratchFolder folder;
    writeContainerFile(folder.file("in.pwcf"), pictureContainer());
    Outcome o = runWithPlugIn(folder, {"eval", "$who & \"!\" & $$x", "--var", "who=World", "--var", "$$x=?"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "World!?\n");

    o = runWithPlugIn(folder, {"eval", "$c", "--var", "c=@in.pwcf"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "GIFf " + std::to_string(smallGif().size()) + "\nSIZE 4\n");
}

TEST(Program, ContainerResultsToFiles) {
    ScratchFolder folder;
    writeContainerFile(folder.file("in.pwcf"), pictureContainer());
    Outcome o = runWithPlugIn(folder, {"eval", "$c", "--var", "c=@in.pwcf", "--container", "out.pwcf", "-o", "p.gif"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(folder.read("out.pwcf"), folder.read("in.pwcf"));
    const std::vector<uint8_t> gif = smallGif();
    EXPECT_EQ(folder.read("p.gif"), std::string(gif.begin(), gif.end()));

    o = runWithPlugIn(folder, {"eval", "$c", "--var", "c=@in.pwcf", "--output", "p.PNG"});
    EXPECT_EQ(o.status, 0) << o.err;
    const std::string png = folder.read("p.PNG");
    ASSERT_TRUE(png.starts_with("\x89PNG")) << png.size();
    gdImagePtr image = gdImageCreateFromPngPtr(static_cast<int>(png.size()), const_cast<char*>(png.data()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(gdImageSX(image), 3);
    EXPECT_EQ(gdImageSY(image), 2);
    const auto rgb = [&](int x, int y) {
        const int c = gdImageGetPixel(image, x, y);
        return (gdImageRed(image, c) << 16) | (gdImageGreen(image, c) << 8) | gdImageBlue(image, c);
    };
    EXPECT_EQ(rgb(2, 1), 0x0000FF);
    EXPECT_EQ(rgb(0, 0), 0xFF0000);
    EXPECT_EQ(rgb(2, 0), 0xFF0000);
    EXPECT_EQ(rgb(0, 1), 0xFF0000);
    gdImageDestroy(image);
}

TEST(Program, SvgPdfAndScaledPngAreThePlugInsVectorExport) {
    ScratchFolder folder;
    const std::string chart = "Plotz_Draw ( Plotz_Style ( Plotz_Data ( Plotz_New ; \"a;b\" ; \"1;2\" ; 255 ) ; "
                              "\"vbar\" ) ; 120 ; 80 )";
    const struct {
        std::vector<std::string> options;
        const char* file;
        const char* starts;
        int width, height;  // of a PNG
    } cases[] = {
        {{"-o", "c.svg"}, "c.svg", "<?xml", 0, 0},
        {{"-o", "c.PDF"}, "c.PDF", "%PDF-", 0, 0},
        {{"-o", "c.png", "--scale", "3", "--container", "c.pwcf"}, "c.png", "\x89PNG", 360, 240},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"eval", chart};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome o = runWithPlugIn(folder, args);
        EXPECT_EQ(o.status, 0) << o.err;
        const std::string bytes = folder.read(c.file);
        EXPECT_TRUE(bytes.starts_with(c.starts)) << c.file;
        if (c.width == 0) continue;
        gdImagePtr image = gdImageCreateFromPngPtr(static_cast<int>(bytes.size()), const_cast<char*>(bytes.data()));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(gdImageSX(image), c.width);
        EXPECT_EQ(gdImageSY(image), c.height);
        gdImageDestroy(image);
        // --container still writes the chart itself, with its GIF.
        const std::vector<ContainerStream> streams = readContainerFile(folder.file("c.pwcf"));
        EXPECT_NE(findStream(streams, "GIFf"), nullptr);
    }
}

// What Plotz_Export returns (a container of one PNG, SVG or PDF stream) is written by -o as that
// file; a file of another format is refused, naming the one to use.
TEST(Program, AnExportResultIsWrittenAsItsFile) {
    ScratchFolder folder;
    const struct {
        const char* format;
        std::vector<std::string> options;
        int status;
        const char* starts;  // of the file, or of the message
    } cases[] = {
        {"svg", {"-o", "e.svg"}, 0, "<?xml"},
        {"pdf", {"-o", "e.pdf"}, 0, "%PDF-"},
        {"png", {"-o", "e.png"}, 0, "\x89PNG"},
        {"svg", {"-o", "e.png"}, 1, "plotwise: the result is an export of the chart as svg"},
        {"png", {"-o", "e.png", "--scale", "2"}, 1, "plotwise: the result is an export of the chart as png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + c.options[1]);
        std::filesystem::remove(folder.file(c.options[1]));
        std::vector<std::string> args{"eval", std::string("Plotz_Export ( Plotz_Data ( \"a;b\" ; \"1;2\" ; 255 ) ; \"") +
                                                  c.format + "\" )"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome o = runWithPlugIn(folder, args);
        EXPECT_EQ(o.status, c.status) << o.err;
        if (c.status == 0) EXPECT_TRUE(folder.read(c.options[1]).starts_with(c.starts));
        else EXPECT_TRUE(o.err.starts_with(c.starts)) << o.err;
    }
}

// The program answers GetNthRecord as the host does: past the last record of a table (an empty
// one too) "record missing", an unknown field "field missing"; the chart shows Data's error. A
// field name with blanks is written as the host writes it.
TEST(Program, RecordReferencesAsTheHostAnswersThem) {
    ScratchFolder folder;
    folder.write("orders.csv", "Month,Unit Price\nJan,3\nFeb,4\n");
    folder.write("empty.csv", "Month,Unit Price\n");
    const struct {
        const char* table;
        const char* y;
        const char* shows;  // in the report of the container
    } cases[] = {
        {"orders.csv", "Orders::Unit Price", "  y 4\n"},
        {"orders.csv", "Price List::Unit Price", "  y 4\n"},
        {"orders.csv", "Orders::Unit Prize", "  error           12 Error in Data - bad Ydata parameter\n"},
        {"empty.csv", "Orders::Unit Price", "  error           12 Error in Data - bad Ydata parameter\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.y);
        const Outcome o = runWithPlugIn(folder, {"eval", std::string("Plotz_Data ( \"Orders::Month\" ; \"") + c.y +
                                                             "\" ; 255 )", "--table", std::string("Orders=") + c.table,
                                                 "--table", std::string("Price List=") + c.table, "--container", "r.pwcf"});
        ASSERT_EQ(o.status, 0) << o.err;
        const Outcome report = runProgram(folder, {"inspect", "r.pwcf"});
        EXPECT_TRUE(contains(report.out, c.shows)) << report.out;
    }
}

TEST(Program, OutputThatCannotBeWritten) {
    ScratchFolder folder;
    writeContainerFile(folder.file("nopicture.pwcf"), {{{'C', 'H', 'H', 'D'}, {1, 2}}});
    Outcome o = runWithPlugIn(folder, {"eval", "12", "-o", "p.gif"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "12\n");  // the result is still shown
    EXPECT_TRUE(contains(o.err, "the result is a number, not a container")) << o.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("p.gif")));

    o = runWithPlugIn(folder, {"eval", "$c", "--var", "c=@nopicture.pwcf", "-o", "p.png"});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(contains(o.err, "the result holds no picture")) << o.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("p.png")));

    // An export the plug-in cannot make says why.
    const std::string wide = "Plotz_Draw ( Plotz_Style ( Plotz_Data ( Plotz_New ; \"a;b\" ; \"1;2\" ; 255 ) ; \"vbar\" ) ; "
                             "1100 ; 1000 )";
    o = runWithPlugIn(folder, {"eval", wide, "-o", "p.png", "--scale", "8"});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(contains(o.err, "the PNG at scale 8 would be 8800 x 8000 pixels, more than the limit of 67 108 864"))
        << o.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("p.png")));

    writeContainerFile(folder.file("in.pwcf"), pictureContainer());
    o = runWithPlugIn(folder, {"eval", "$c", "--var", "c=@in.pwcf", "-o", folder.file("no/such/folder/p.gif")});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(contains(o.err, "cannot write")) << o.err;
}

TEST(Program, AWriteCutShortLeavesTheEarlierFileWhole) {
    ScratchFolder folder;
    const char* const chart = "Plotz_Draw ( Plotz_Data ( \"a;b;c\" ; \"1;22;3\" ; 255 ) ; 600 ; 400 )";
    for (const auto& [option, target] : {std::pair{"-o", "p.gif"}, std::pair{"--container", "c.pwcf"}}) {
        const std::string earlier = "the earlier file";
        folder.write(target, earlier);
        // A file size limit smaller than what is written, for the program only.
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 1024;  // room for the messages, not for the picture or the container
        ::setrlimit(RLIMIT_FSIZE, &small);
        const pid_t pid = startProgram(folder, withPlugIn({"eval", chart, option, folder.file(target)}), "limited");
        ::setrlimit(RLIMIT_FSIZE, &saved);
        const Outcome o = finishProgram(folder, pid, "limited");
        EXPECT_EQ(o.status, 1) << option;
        EXPECT_TRUE(contains(o.err, "cannot write") && contains(o.err, "left as it was")) << o.err;
        EXPECT_EQ(folder.read(target), earlier) << option;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            EXPECT_EQ(entry.path().filename().string().rfind(std::string(target) + ".", 0), std::string::npos)
                << entry.path();
    }
}

TEST(Program, LocaleDecidesHowDatesAreRead) {
    ScratchFolder folder;
    const std::string same = "Timestamp ( \"12.6.2009\" ; \"14:30:00\" ) - Timestamp ( Date ( 6 ; 12 ; 2009 ) ; "
                             "Time ( 14 ; 30 ; 0 ) )";
    Outcome o = runWithPlugIn(folder, {"eval", same, "--locale", "de"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "0\n");
    o = runWithPlugIn(folder, {"eval", "Timestamp ( \"6/12/2009\" ; \"14:30:00\" ) - Timestamp ( Date ( 6 ; 12 ; 2009 ) ; "
                                       "Time ( 14 ; 30 ; 0 ) )"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "0\n");
}

TEST(Program, InspectGoodAndDamagedFiles) {
    ScratchFolder folder;
    writeContainerFile(folder.file("in.pwcf"), pictureContainer());
    Outcome o = runProgram(folder, {"inspect", "in.pwcf"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.out.starts_with("GIFf " + std::to_string(smallGif().size()) + "\nSIZE 4\n")) << o.out;
    EXPECT_TRUE(contains(o.out, "GIF 3 x 2")) << o.out;

    const std::string whole = folder.read("in.pwcf");
    folder.write("cut.pwcf", whole.substr(0, whole.size() - 3));
    o = runProgram(folder, {"inspect", "cut.pwcf"});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "cut.pwcf: the file is cut short: stream 2 of 2 (SIZE) claims 4 bytes, 1 remain"))
        << o.err;

    folder.write("foreign.pwcf", "GIF89a....");
    o = runProgram(folder, {"inspect", "foreign.pwcf"});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "not a container file")) << o.err;

    o = runProgram(folder, {"inspect", "absent.pwcf"});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(contains(o.err, "cannot read absent.pwcf")) << o.err;
}

// The plug-in reads field references through the program's evaluation of GetNthRecord: the
// records it gets are those of the table, and a misspelt field is explained on standard error.
TEST(Program, PlugInReadsRecordsThroughTheProgram) {
    ScratchFolder folder;
    folder.write("orders.csv", "Month,Amount\nJan,10\nFeb,20\nJan,5\nMar,1\n");
    Outcome o = runWithPlugIn(folder, {"eval", "Plotz_Data ( Plotz_New ; \"Orders::Month(1-3)\" ; \"Orders::Amount(1-3)\" ; 255 ; \"S\" )",
                                       "--table", "Orders=orders.csv", "--container", "data.pwcf"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");  // reading past record 3 is no error worth a note
    o = runProgram(folder, {"inspect", "data.pwcf"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(contains(o.out, "  values          2 per series\n")) << o.out;
    EXPECT_TRUE(contains(o.out, "      Jan  ")) << o.out;
    EXPECT_TRUE(contains(o.out, "  y 15\n")) << o.out;  // records 1 and 3 share their month
    EXPECT_TRUE(contains(o.out, "  y 20\n")) << o.out;
    EXPECT_FALSE(contains(o.out, "Mar")) << o.out;       // record 4 lies outside the range

    o = runWithPlugIn(folder, {"eval", "Plotz_Data ( Plotz_New ; \"Orders::Monthh\" ; \"Orders::Amount\" ; 255 )",
                               "--table", "Orders=orders.csv", "--container", "bad.pwcf"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(contains(o.err, "note: the plug-in evaluated \"GetNthRecord ( Orders::Monthh ; 1 )\": error 102: "
                                "the table Orders has no field Monthh\n"))
        << o.err;
    o = runProgram(folder, {"inspect", "bad.pwcf"});
    EXPECT_TRUE(contains(o.out, "  error           11 Error in Data - bad Xdata parameter\n")) << o.out;
}

TEST(Program, ExamplesParseAndResolve) {
    ScratchFolder folder;
    const std::filesystem::path examples = std::filesystem::path(PLOTWISE_SOURCE_DIR) / "examples";
    std::vector<std::string> tables;
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() == ".csv") {
            std::string name = entry.path().stem().string();
            name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
            tables.push_back(name + "=" + entry.path().string());
        }
    }
    int scripts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() != ".calc") continue;
        ++scripts;
        std::vector<std::string> args{"run", entry.path().string()};
        for (const std::string& t : tables) args.insert(args.end(), {"--table", t});
        const Outcome o = runWithPlugIn(folder, args);
        EXPECT_NE(o.status, 2) << entry.path() << "\n" << o.err;
        EXPECT_NE(o.status, -1) << entry.path();
    }
    EXPECT_GE(scripts, 1);
}

TEST(Program, TablesSeparatedBySemicolonsOrTabs) {
    ScratchFolder folder;
    struct Case {
        std::string csv;
        int status;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"Month;Amount\r\nJan;10\r\nFeb;20.5\r\n", 0, "Feb/21.5\n", ""},
        {"Month\tAmount\nJan\t10\nFeb\t20.5\n", 0, "Feb/21.5\n", ""},
        {"Month;Amount,Note\nJan;10,x\nFeb;20.5,y\n", 2, "",
         "orders.csv:1: the field name \"Month;Amount\" holds \";\", which a field name cannot have (is the file "
         "separated by semicolons? its header line was read as separated by commas)"},
    };
    for (const Case& c : cases) {
        folder.write("orders.csv", c.csv);
        const Outcome o = runWithPlugIn(
            folder, {"eval", "GetNthRecord ( Orders::Month ; 2 ) & \"/\" & ( GetNthRecord ( Orders::Amount ; 2 ) + 1 )",
                     "--table", "Orders=orders.csv"});
        EXPECT_EQ(o.status, c.status) << c.csv << "\n" << o.err;
        EXPECT_EQ(o.out, c.out) << c.csv;
        EXPECT_TRUE(contains(o.err, c.err)) << c.csv << "\n" << o.err;
    }
}

TEST(Program, AResultWithoutAPictureSaysWhy) {
    ScratchFolder folder;
    writeContainerFile(folder.file("other.pwcf"), {{{'A', 'B', 'C', 'D'}, {1, 2}}, {{'X', 'Y', 'Z', 'W'}, {}}});
    writeContainerFile(folder.file("short.pwcf"), {{{'C', 'H', 'H', 'D'}, {1, 2}}});
    writeContainerFile(folder.file("empty.pwcf"), {});
    struct Case {
        std::vector<std::string> args;
        std::string why;
    };
    const Case cases[] = {
        // 4097 x 4096 is one row past the 4096 x 4096 a picture may have.
        {{"eval", "Plotz_Draw ( Plotz_New ; 4097 ; 4096 )"},
         "the chart's picture size 4097 x 4096 is 16 781 312 pixels, more than the limit of 16 777 216"},
        {{"eval", "Plotz_Draw ( Plotz_New ; 0 ; 300 )"},
         "the chart's picture size 0 x 300 has a side outside 1 to 32767 pixels"},
        {{"eval", "Plotz_Draw ( Plotz_New ; -400 ; 300 )"},  // as given, not 4294966896
         "the chart's picture size -400 x 300 has a side outside 1 to 32767 pixels"},
        {{"eval", "Plotz_Draw ( Plotz_New ; 300 ; 32768 )"},
         "the chart's picture size 300 x 32768 has a side outside 1 to 32767 pixels"},
        // A side is drawn at the low 16 bits of its stored value: 69632 is drawn 4096 high.
        {{"eval", "Plotz_Draw ( Plotz_New ; 4097 ; 69632 )"},
         "the chart's picture size 4097 x 69632 (drawn as 4097 x 4096) is 16 781 312 pixels"},
        {{"eval", "$c", "--var", "c=@other.pwcf"}, "the container holds no chart and no picture (its streams: ABCD, XYZW)"},
        {{"eval", "$c", "--var", "c=@short.pwcf"}, "the container's chart header is cut short (2 of 1316 bytes)"},
        {{"eval", "$c", "--var", "c=@empty.pwcf"}, "the container is empty"},
    };
    for (Case c : cases) {
        c.args.insert(c.args.end(), {"-o", "p.png"});
        const Outcome o = runWithPlugIn(folder, c.args);
        EXPECT_EQ(o.status, 1) << c.args[1];
        EXPECT_TRUE(contains(o.err, "plotwise: the result holds no picture: " + c.why)) << c.args[1] << "\n" << o.err;
        EXPECT_TRUE(contains(o.err, "nothing was written to p.png")) << o.err;
        EXPECT_FALSE(std::filesystem::exists(folder.file("p.png")));
    }
}

TEST(Program, HelpListsEveryOptionAndThePlugInsFunctions) {
    ScratchFolder folder;
    const Outcome help = runProgram(folder, {"--help"});
    ASSERT_EQ(help.status, 0);
    // One line per option, with what it does and an example of it.
    const std::pair<std::string_view, std::string_view> options[] = {
        {"-o, --output FILE", "(e.g. -o "},           {"--container FILE", "(e.g. --container "},
        {"--table NAME=FILE.csv", "(e.g. --table "}, {"--var NAME=VALUE", "(e.g. --var "},
        {"--locale NAME", "(e.g. --locale "},         {"--plugin FILE", "(e.g. --plugin "}};
    for (const auto& [option, example] : options) {
        const std::size_t at = help.out.find(option);
        ASSERT_NE(at, std::string::npos) << option;
        const std::string line = help.out.substr(at, help.out.find('\n', at) - at);
        EXPECT_TRUE(contains(line, example)) << line;
    }

    // The functions as the plug-in registers them: its own prototypes and argument counts.
    const Outcome functions = runWithPlugIn(folder, {"help", "functions"});
    ASSERT_EQ(functions.status, 0) << functions.err;
    for (std::string_view row : {
             "  1 argument            Plotz_Version( versionFormat )\n",
             "  no arguments          Plotz_New\n",
             "  3 or more arguments   Plotz_Data( chartdataContainer ; Xdata ; Ydata ; seriesColor {; seriesName } )\n",
             "  4 or more arguments   Plotz_Axis( chartdataContainer ; axis ; optionName ; optionValue { ; optionName ; "
             "optionValue ... } )\n",
             "  1 argument            ExtractPicture ( container )   (registered without a name)\n",
             "  2 to 3 arguments      Plotz_Export( chartdataContainer ; format {; scale } )\n"})
        EXPECT_TRUE(contains(functions.out, row)) << row << functions.out;
    EXPECT_EQ(std::count(functions.out.begin(), functions.out.end(), '\n'), 13) << functions.out;

    const Outcome unknown = runProgram(folder, {"help", "colours"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(contains(unknown.err, "'plotwise help functions' lists the plug-in's functions")) << unknown.err;
}

TEST(Program, FontMapNamesWindowsFonts) {
    const std::filesystem::path fonts = std::filesystem::path(PLOTWISE_BINARY_DIR) / "fonts";
    for (std::string_view name : {"Times.ttf", "times.ttf", "timesbd.ttf", "timesi.ttf", "timesbi.ttf", "Arial.ttf",
                                  "arialbd.ttf", "ariali.ttf", "arialbi.ttf", "Courier.ttf", "cour.ttf", "courbd.ttf",
                                  "Times New Roman.ttf", "Courier New.ttf"}) {
        const std::filesystem::path font = fonts / name;
        EXPECT_TRUE(std::filesystem::is_symlink(font)) << font;
        EXPECT_TRUE(std::filesystem::is_regular_file(font)) << font << " does not lead to a font file";
    }
}

}  // namespace
}  // namespace plotwise::app
