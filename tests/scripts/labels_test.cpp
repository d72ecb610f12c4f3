// Labels that fit and tell, read from the SVG export of whole scripts drawn in the built-in
// fonts: category names kept where there is room (read from a table or typed as a list), the
// value axis kept beside long names, no value shown as 0, no value label on another, titles
// centred inside the picture. The boxes of the texts come from their <text> elements: the
// built-in fonts' cells (5x8, 6x13, bold 7x13, 8x16, 9x15), placed as the SVG writer places them
// (centred on x, the baseline 0.78 cells below the top, em 0.85 cells), turned by their own
// rotation and by the picture's turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/program.h"

namespace plotwise::scripts {
namespace {

using namespace support;

// A text of the picture and the pixels its cells take, in the picture as it is shown.
struct Text {
    std::string text;
    double left, top, right, bottom;
    double centre_x() const { return (left + right) / 2; }
    double centre_y() const { return (top + bottom) / 2; }
    bool overlaps(const Text& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

struct Svg {
    int width = 0, height = 0;
    std::vector<Text> texts;
};

std::string attribute(const std::string& tag, const std::string& name) {
    std::smatch m;
    return std::regex_search(tag, m, std::regex(" " + name + "=\"([^\"]*)\"")) ? m[1].str() : std::string();
}

// Characters of a UTF-8 text: the built-in fonts draw one cell per byte of the stored text,
// which the SVG writes as one character each.
int characters(const std::string& s) {
    return static_cast<int>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

Svg readSvg(const std::string& svg) {
    Svg out;
    std::smatch m;
    if (std::regex_search(svg, m, std::regex("<svg[^>]* width=\"(\\d+)\" height=\"(\\d+)\""))) {
        out.width = std::stoi(m[1].str());
        out.height = std::stoi(m[2].str());
    }
    // A turned picture draws in a group turned a quarter clockwise: (x, y) shows at (W - y, x).
    const bool turned = svg.find("transform=\"matrix(0 1 -1 0 ") != std::string::npos;
    const std::regex element("<text([^>]*)>([^<]*)</text>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element); it != std::sregex_iterator(); ++it) {
        const std::string tag = (*it)[1].str();
        std::string text = std::regex_replace((*it)[2].str(), std::regex("&amp;"), "&");
        const double x = std::stod(attribute(tag, "x")), y = std::stod(attribute(tag, "y"));
        const double cellH = std::round(std::stod(attribute(tag, "font-size")) / 0.85);
        const bool bold = attribute(tag, "font-weight") == "bold";
        const double cellW = cellH == 8 ? 5 : cellH == 13 ? (bold ? 7 : 6) : cellH == 16 ? 8 : 9;
        const double length = cellW * characters(text);
        Text t{text, x - length / 2, y - 0.78 * cellH, x + length / 2, y + 0.22 * cellH};
        if (!attribute(tag, "transform").empty())  // rotate(-90 x y): reads upward
            t = {text, x - 0.78 * cellH, y - length / 2, x + 0.22 * cellH, y + length / 2};
        if (turned) t = {text, out.width - t.bottom, t.left, out.width - t.top, t.right};
        out.texts.push_back(t);
    }
    return out;
}

bool isNumber(const std::string& s) { return std::regex_match(s, std::regex("-?[0-9][0-9.,]*")); }

std::vector<Text> numbers(const Svg& svg) {
    std::vector<Text> out;
    for (const Text& t : svg.texts)
        if (isNumber(t.text)) out.push_back(t);
    return out;
}

std::string shown(const Svg& svg) {
    std::string all;
    for (const Text& t : svg.texts) all += "[" + t.text + "]";
    return all;
}

// The checks a picture must pass: empty when it does, else what is wrong.
using Check = std::function<std::string(const Svg&)>;

// Every one of the texts is drawn.
Check drawsAll(std::vector<std::string> parts) {
    return [parts](const Svg& svg) {
        for (const std::string& part : parts)
            if (std::none_of(svg.texts.begin(), svg.texts.end(),
                             [&](const Text& t) { return t.text.find(part) != std::string::npos; }))
                return "no text with \"" + part + "\"";
        return std::string();
    };
}

// The value axis keeps at least three labels over at least `share` of the picture along it
// (`across`: the labels stand side by side, as on horizontal bars).
Check keepsScale(double share, bool across) {
    return [=](const Svg& svg) {
        const std::vector<Text> labels = numbers(svg);
        if (labels.size() < 3) return std::string("fewer than three value labels");
        double low = 1e9, high = -1e9;
        for (const Text& t : labels) {
            const double at = across ? t.centre_x() : t.centre_y();
            low = std::min(low, at), high = std::max(high, at);
        }
        const double length = across ? svg.width : svg.height;
        if (high - low < share * length)
            return "value labels span " + std::to_string(high - low) + " of " + std::to_string(length) + " pixels";
        return std::string();
    };
}

// Besides "0", one number at most reads as 0 (an axis's zero with its decimals), and numbers
// side by side in one row (the labels of an x axis) all read differently.
Check noValueReadsZero() {
    return [](const Svg& svg) {
        std::vector<Text> labels = numbers(svg);
        const auto zeros = std::count_if(labels.begin(), labels.end(), [](const Text& t) {
            return t.text != "0" && std::strtod(t.text.c_str(), nullptr) == 0;
        });
        if (zeros > 1) return std::to_string(zeros) + " numbers read 0";
        for (size_t a = 0; a < labels.size(); ++a)
            for (size_t b = a + 1; b < labels.size(); ++b)
                if (labels[a].text == labels[b].text && std::fabs(labels[a].centre_y() - labels[b].centre_y()) < 2)
                    return "two labels of one row read \"" + labels[a].text + "\"";
        return std::string();
    };
}

// No number overlaps another text.
Check numbersApart() {
    return [](const Svg& svg) {
        for (const Text& n : numbers(svg))
            for (const Text& t : svg.texts)
                if (&n != &t && n.text != t.text && n.overlaps(t)) return "\"" + n.text + "\" on \"" + t.text + "\"";
        return std::string();
    };
}

// The text is inside the picture, `margin` pixels from its edges, centred within `slack` pixels.
Check centredInside(std::string title, double margin, double slack) {
    return [=](const Svg& svg) {
        for (const Text& t : svg.texts) {
            if (t.text != title) continue;
            if (t.left < margin || t.right > svg.width - margin) return "\"" + title + "\" at the edge";
            if (std::fabs(t.centre_x() - svg.width / 2.0) > slack) return "\"" + title + "\" off centre";
            return std::string();
        }
        return "no \"" + title + "\"";
    };
}

constexpr const char* kBranches = "Filiale;Abweichung\n"
                                  "M\xC3\xBCnchen;-12.500,25 \xE2\x82\xAC\n"
                                  "K\xC3\xB6ln;4.300,00 \xE2\x82\xAC\n"
                                  "D\xC3\xBCsseldorf;-0,50 \xE2\x82\xAC\n"
                                  "Stuttgart;150.000,00 \xE2\x82\xAC\n"
                                  "N\xC3\xBCrnberg;-98.765,40 \xE2\x82\xAC\n";

std::string branchChart(const std::string& x, const std::string& y) {
    return "Let ( [ chart = Plotz_New ;\n"
           "  chart = Plotz_Data ( chart ; \"" + x + "\" ; \"" + y + "\" ; 26316 ; \"Abweichung\" ) ;\n"
           "  chart = Plotz_Titles ( chart ; \"Abweichung je Filiale\" ; \"Filiale\" ; \"EUR\" ) ;\n"
           "  chart = Plotz_Axis ( chart ; \"Y\" ; \"type\" ; \"number\" ; \"format\" ; \"#.###,## EUR\" ) ;\n"
           "  chart = Plotz_Style ( chart ; \"vbar\" ; \"top\" ) ] ;\n"
           "  Plotz_Draw ( chart ; 560 ; 420 ) )";
}

constexpr const char* kProgrammes =
    "Vocational training programme for young adults in the north;"
    "Continuing education for nurses and care assistants in regional hospitals;"
    "Language courses for newly arrived families with school-age children;"
    "Digital skills for small businesses in rural municipalities and villages;"
    "Apprenticeship support for craft trades in the metropolitan area;"
    "Evening classes in accounting and bookkeeping for the self-employed;"
    "Mentoring scheme for first-generation university students of engineering;"
    "Return-to-work programme for parents after a long career break";

std::string chart(const std::string& x, const std::string& series, const std::string& title,
                  const std::string& style, int width, int height) {
    return "Let ( [ chart = Plotz_New ;\n" + series + "  chart = Plotz_Titles ( chart ; \"" + title +
           "\" ; \"" + x + "\" ; \"Value\" ) ;\n  chart = Plotz_Style ( chart ; " + style + " ) ] ;\n  Plotz_Draw ( chart ; " +
           std::to_string(width) + " ; " + std::to_string(height) + " ) )";
}

std::string series(const std::string& x, const std::string& y) {
    return "  chart = Plotz_Data ( chart ; \"" + x + "\" ; \"" + y + "\" ; 26316 ; \"Series\" ) ;\n";
}

struct Case {
    const char* name;
    std::string script;
    std::vector<std::string> options;
    Check check;
};

class BuiltInFonts : public ::testing::Test {
protected:
    void SetUp() override {
        const char* given = std::getenv("GDFONTPATH");
        if (given != nullptr) saved_ = given, had_ = true;
        ::setenv("GDFONTPATH", "/nonexistent", 1);
    }
    void TearDown() override {
        if (had_) ::setenv("GDFONTPATH", saved_.c_str(), 1);
        else ::unsetenv("GDFONTPATH");
    }

private:
    std::string saved_;
    bool had_ = false;
};

TEST_F(BuiltInFonts, LabelsFitAndTell) {
    const std::vector<std::string> names{"nchen", "ln", "sseldorf", "Stuttgart", "rnberg"};
    const std::string stack = series("Jan;Feb;Mar;Apr;May", "1250.5;-430;980.2;-1210.8;10") +
                              series("Jan;Feb;Mar;Apr;May", "300;-120;15;450;-86");
    const Case cases[] = {
        {"branch names read from a table", branchChart("Filialen::Filiale", "Filialen::Abweichung"),
         {"--locale", "de", "--table", "Filialen=filialen.csv"}, drawsAll(names)},
        {"branch names typed as a list",
         branchChart("M\xC3\xBCnchen;K\xC3\xB6ln;D\xC3\xBCsseldorf;Stuttgart;N\xC3\xBCrnberg",
                     "-12.500,25;4.300,00;-0,50;150.000,00;-98.765,40"),
         {"--locale", "de"}, drawsAll(names)},
        {"long names on vertical bars",
         chart("Programme", series(kProgrammes, "1240;860;2310;540;1720;390;980;1450"), "Participants", "\"vbar\"", 760, 380),
         {}, keepsScale(0.3, false)},
        {"long names on horizontal bars",
         chart("Programme", series(kProgrammes, "1240;860;2310;540;1720;390;980;1450"), "Participants", "\"hbar\"", 400, 460),
         {}, keepsScale(0.3, true)},
        {"small values on bars",
         chart("Quarter", series("Q1;Q2;Q3;Q4", "0.004;0.0021;0.0035;0.0012"), "Defects", "\"vbar\" ; \"top\"", 480, 320),
         {}, noValueReadsZero()},
        {"an xy axis from 1e-9 to 1e-6",
         chart("Seconds", series("0.000000001;0.0000002;0.0000005;0.000001", "3;5;4;7"), "Signal", "\"xyline\"", 480, 320),
         {}, noValueReadsZero()},
        {"stacked cash flow", chart("Month", stack, "Cash flow", "\"vbar\" ; \"top\"", 560, 380), {}, numbersApart()},
        {"stacked horizontal bars", chart("Month", stack, "Cash flow", "\"hbar\" ; \"top\"", 560, 380), {}, numbersApart()},
        {"negative horizontal bars",
         chart("Region", series("North;East;South;West", "-120;-340;-80;-260"), "Operating result by region (kEUR)",
               "\"hbar\"", 480, 320),
         {}, centredInside("Operating result by region (kEUR)", 3, 48)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        folder.write("filialen.csv", kBranches);
        std::vector<std::string> args{"run", folder.write("chart.calc", c.script)};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {"-o", folder.file("chart.svg")});
        const ProgramRun run = runWithPlugIn(folder, args);
        ASSERT_EQ(run.status, 0) << run.err;
        const Svg svg = readSvg(folder.read("chart.svg"));
        ASSERT_GT(svg.width, 0);
        EXPECT_EQ(c.check(svg), "") << shown(svg);
    }
}

}  // namespace
}  // namespace plotwise::scripts
