// Text routines shared by both engines.
//
//   1. the built-in font table (fixed heights and widths per size class)
//   2. counting, measuring and drawing texts of several lines, in runs of fallback fonts where
//      the chosen font lacks characters, shaped and ordered (text_shaping) where the script
//      needs it
//   3. the font probe
#include "engine/text/text_color.h"

#include <gdfontg.h>
#include <gdfontl.h>
#include <gdfontmb.h>
#include <gdfonts.h>
#include <gdfontt.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include <sys/stat.h>

#include "engine/text/font_fallback.h"
#include "engine/text/font_files.h"
#include "engine/text/text_cache.h"
#include "engine/text/text_ink.h"
#include "engine/text/text_shaping.h"

namespace plotwise {

namespace {

// The character sizes the engines lay text out with; they deliberately differ from the
// sizes stored in some gd fonts (the small class is 12 high, the giant class 15).
struct FontMetrics {
    signed char height;
    signed char width;
};
constexpr std::array<FontMetrics, 6> kFontMetrics{{
    {8, 5},   // 0 tiny
    {8, 5},   // 1 tiny
    {12, 6},  // 2 small
    {13, 7},  // 3 medium bold
    {16, 8},  // 4 large
    {15, 9},  // 5 giant
}};

// The built-in fonts by size class, made once for the process (a magic static, so that threads
// drawing at once neither race to fill it nor read it half made) and never written again.
const std::array<FontEntry, 6>& fontTable() {
    static const std::array<FontEntry, 6> table = [] {
        const gdFontPtr fonts[6] = {gdFontGetTiny(),       gdFontGetTiny(),  gdFontGetSmall(),
                                    gdFontGetMediumBold(), gdFontGetLarge(), gdFontGetGiant()};
        std::array<FontEntry, 6> entries{};
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i] = FontEntry{fonts[i], kFontMetrics[i].height, kFontMetrics[i].width};
        return entries;
    }();
    return table;
}

// A font named by a path is opened by FreeType as it stands. Font names come from stored
// charts and from scripts, so only a regular file is: a pipe would block the drawing (and the
// host with it) until someone writes to it, a device could feed it without end. Names without
// a path are looked up in the font folders; a path is checked once (find_font_file), a list
// holding a path is taken as one file name, which it never is.
bool openableFontFile(const char* font_file) {
    if (std::strchr(font_file, '/') == nullptr) return true;
    if (std::strchr(font_file, ';') != nullptr) {
        struct stat status;
        return ::stat(font_file, &status) == 0 && S_ISREG(status.st_mode);
    }
    return !find_font_file(font_file).empty();
}

// FreeType is used for a font file and a point size FreeType can render; anything else
// (0, negative, not a number, absurdly large, a path to something other than a file)
// selects the built-in fonts.
constexpr double kLargestPointSize = 4096;
bool useFreeType(const char* font_file, double ptsize) {
    return font_file != nullptr && font_file[0] != '\0' && std::isfinite(ptsize) && ptsize > 0 &&
           ptsize <= kLargestPointSize && openableFontFile(font_file);
}

// The file FreeType draws in for a font name and point size; "" when the built-in fonts draw.
std::string freeTypeFile(const char* font_file, double ptsize) {
    return useFreeType(font_file, ptsize) ? find_font_file(font_file) : std::string();
}

// gd's words for a font it cannot find or open.
constexpr const char* kNoFont = "Could not find/open font";

// Measuring a text runs FreeType's hinting for each of its glyphs, and a drawing measures the
// same texts (labels while laying out, the "Aj" line height before every text) many times over.
// Successful measurements are remembered by font file, size and text; failures are not.
class MeasureMemo {
public:
    const TextBox* find(const char* font_file, double ptsize, const char* text) {
        key_.assign(reinterpret_cast<const char*>(&ptsize), sizeof ptsize);
        key_ += font_file;
        key_ += '\0';
        key_ += text;
        const auto it = boxes_.find(key_);
        return it == boxes_.end() ? nullptr : &it->second;
    }
    // Remembers the box of the text of the last find().
    void remember(const TextBox& box) {
        if (boxes_.size() >= kMaxEntries) boxes_.clear();
        boxes_.emplace(key_, box);
    }

private:
    static constexpr std::size_t kMaxEntries = 8192;
    std::unordered_map<std::string, TextBox> boxes_;
    std::string key_;
};

MeasureMemo& measureMemo() {
    thread_local MeasureMemo memo;  // per thread: no lock on the way of every measurement
    return memo;
}

// The box gd reports for a text drawn at angle 0 from (0, 0).
TextBox boxOf(const int brect[8]) { return TextBox{brect[0], brect[7], brect[2], brect[1]}; }

// One run of a text placed along the text: its pen position from the first baseline origin.
struct PlacedRun {
    const FontRun* run;
    int along;   // pixels along the baseline
    int across;  // pixels down from the first baseline (its line)
};

// gd's line spacing, which depends on the point size only; taken from the chosen font.
bool lineSpace(const char* font_file, double ptsize, int& space, std::string* status) {
    int one[8] = {}, two[8] = {};
    const char* error = render_font_run(nullptr, one, 0, font_file, ptsize, 0.0, 0, 0, "A");
    if (error == nullptr) error = render_font_run(nullptr, two, 0, font_file, ptsize, 0.0, 0, 0, "A\nA");
    if (error != nullptr) {
        if (status) *status = error;
        return false;
    }
    space = two[1] - one[1];
    return true;
}

// A shaped text drawn (with an image) or measured (without) from its first baseline's origin
// (ox, oy), each run's glyphs in their font, lines a gd line apart; the box at angle 0.
const char* drawShaped(gdImagePtr image, int color, const char* font_file, double ptsize, double angle, int ox, int oy,
                       const char* text, TextBox& box) {
    std::string status;
    int line_space = 0;
    if (!lineSpace(font_file, ptsize, line_space, &status)) return kNoFont;
    const std::vector<ShapedRun> runs = shape_text(font_file, ptsize, text);
    if (runs.empty()) return kNoFont;
    const double c = std::cos(angle), s = std::sin(angle);
    box = TextBox{0, 0, 0, 0};
    bool first = true;
    for (const ShapedRun& run : runs) {
        const int across = run.line * line_space;
        // Down a line is (sin, cos) in picture coordinates.
        const int x = ox + static_cast<int>(std::lround(across * s)), y = oy + static_cast<int>(std::lround(across * c));
        int brect[8] = {};
        const char* error = draw_glyphs(image, brect, color, run.font.c_str(), ptsize, angle, image ? x : 0,
                                        image ? y : across, run.glyphs, run.along + run.advance);
        if (error != nullptr) return error;
        if (image != nullptr) continue;
        const TextBox moved = boxOf(brect);
        box = first ? moved
                    : TextBox{std::min(box.left, moved.left), std::min(box.top, moved.top), std::max(box.right, moved.right),
                              std::max(box.bottom, moved.bottom)};
        first = false;
    }
    return nullptr;
}

// Places runs one after the other on their lines, each advanced by the width gd measured for
// the runs before it, and gives the box of the whole text; false (with gd's error) when a run
// cannot be measured.
bool placeRuns(const std::vector<FontRun>& runs, const char* font_file, double ptsize,
               std::vector<PlacedRun>& placed, TextBox& box, std::string* status) {
    int line_space = 0;
    if (!lineSpace(font_file, ptsize, line_space, status)) return false;
    const char* error = nullptr;
    int line = -1, pen = 0;
    box = TextBox{0, 0, 0, 0};
    for (const FontRun& run : runs) {
        if (run.line != line) {
            line = run.line;
            pen = 0;
        }
        int brect[8] = {};
        error = run.direct ? draw_direct_run(nullptr, brect, 0, run.font.c_str(), ptsize, 0.0, 0, 0, run.text)
                           : render_font_run(nullptr, brect, 0, run.font.c_str(), ptsize, 0.0, 0, 0, run.text.c_str());
        if (error != nullptr) {
            if (status) *status = error;
            return false;
        }
        const TextBox run_box = boxOf(brect);
        const int across = line * line_space;
        const TextBox moved{pen + run_box.left, across + run_box.top, pen + run_box.right, across + run_box.bottom};
        if (placed.empty()) box = moved;
        box = TextBox{std::min(box.left, moved.left), std::min(box.top, moved.top), std::max(box.right, moved.right),
                      std::max(box.bottom, moved.bottom)};
        placed.push_back(PlacedRun{&run, pen, across});
        pen += run_box.right;
    }
    return true;
}

// The routines below take the font's file (find_font_file), not its name.

// FreeType box of a text at angle 0 without an image; false when FreeType cannot draw it.
bool freeTypeBox(const char* text, const char* font_file, double ptsize, TextBox& box, std::string* status) {
    MeasureMemo& memo = measureMemo();
    if (const TextBox* known = memo.find(font_file, ptsize, text)) {
        if (status) status->clear();
        box = *known;
        return true;
    }
    const bool shaped = needs_shaping(text);
    const std::string gd_form = shaped ? std::string() : gd_text(text);
    const std::vector<FontRun> runs = shaped ? std::vector<FontRun>{} : font_runs(font_file, gd_text(text, true));
    if (shaped) {
        const char* error = drawShaped(nullptr, 0, font_file, ptsize, 0.0, 0, 0, text, box);
        if (error != nullptr) {
            if (status) *status = error;
            return false;
        }
    } else if (runs.empty()) {
        int brect[8] = {};
        const char* error = render_font_run(nullptr, brect, 0, font_file, ptsize, 0.0, 0, 0, gd_form.c_str());
        if (error != nullptr) {
            if (status) *status = error;
            return false;
        }
        box = boxOf(brect);
    } else {
        std::vector<PlacedRun> placed;
        if (!placeRuns(runs, font_file, ptsize, placed, box, status)) return false;
    }
    if (status) status->clear();
    memo.remember(box);
    return true;
}

bool freeTypeSize(const char* text, const char* font_file, double ptsize, TextSize& size, std::string* status) {
    TextBox box{};
    if (!freeTypeBox(text, font_file, ptsize, box, status)) return false;
    size = TextSize{box.right - box.left, box.bottom - box.top};
    return true;
}

// Draws a text in FreeType with the first baseline's origin at (ox, oy): one call when the
// chosen font has every character, else run by run along the text's direction.
const char* drawFreeType(gdImagePtr image, int color, const char* font_file, double ptsize, double angle, int ox, int oy,
                   const char* text) {
    if (needs_shaping(text)) {
        TextBox box{};
        return drawShaped(image, color, font_file, ptsize, angle, ox, oy, text, box);
    }
    const std::string gd_form = gd_text(text);
    const std::vector<FontRun> runs = font_runs(font_file, gd_text(text, true));
    int brect[8] = {};
    if (runs.empty()) return render_font_run(image, brect, color, font_file, ptsize, angle, ox, oy, gd_form.c_str());
    std::vector<PlacedRun> placed;
    TextBox box{};
    std::string status;
    if (!placeRuns(runs, font_file, ptsize, placed, box, &status))
        return render_font_run(image, brect, color, font_file, ptsize, angle, ox, oy, gd_form.c_str());
    const double c = std::cos(angle), s = std::sin(angle);
    for (const PlacedRun& p : placed) {
        // Along the baseline is (cos, -sin) in picture coordinates, down a line (sin, cos).
        const int x = ox + static_cast<int>(std::lround(p.along * c + p.across * s));
        const int y = oy + static_cast<int>(std::lround(-p.along * s + p.across * c));
        const char* error =
            p.run->direct ? draw_direct_run(image, brect, color, p.run->font.c_str(), ptsize, angle, x, y, p.run->text)
                          : render_font_run(image, brect, color, p.run->font.c_str(), ptsize, angle, x, y, p.run->text.c_str());
        if (error != nullptr) return error;
    }
    return nullptr;
}

// Built-in size: lines times the class height, longest line times the class width.
TextSize builtinSize(const char* text, int size_class) {
    int longest = 0;
    const int lines = count_text_lines(text, &longest);
    const FontEntry& f = font_entry(size_class);
    return TextSize{f.width * longest, lines * f.height};
}

}  // namespace

const char* render_font_run(gdImagePtr image, int brect[8], int color, const char* font, double ptsize, double angle,
                            int x, int y, const char* text) {
    // Repeated texts and measurements come from the text cache, pixel for pixel gd's own.
    if (image == nullptr) return measure_string_ft(brect, font, ptsize, angle, x, y, text);
    return draw_string_ft(image, brect, color, font, ptsize, angle, x, y, text);
}

std::vector<PlacedFontRun> freetype_runs(const char* font_file, double ptsize, const char* text) {
    std::vector<PlacedFontRun> result;
    const std::string file = freeTypeFile(font_file, ptsize);
    if (text == nullptr || file.empty()) return result;
    const std::vector<FontRun> runs = font_runs(file.c_str(), gd_text(text, true));
    std::vector<PlacedRun> placed;
    TextBox box{};
    if (runs.empty() || !placeRuns(runs, file.c_str(), ptsize, placed, box, nullptr)) return result;
    for (const PlacedRun& p : placed) result.push_back(PlacedFontRun{p.run->font, p.run->text, p.along, p.across});
    return result;
}

int freetype_line_space(const char* font_file, double ptsize) {
    int space = 0;
    const std::string file = freeTypeFile(font_file, ptsize);
    if (file.empty() || !lineSpace(file.c_str(), ptsize, space, nullptr)) return 0;
    return space;
}

bool freetype_box(const char* font_file, double ptsize, const char* text, TextBox& box) {
    const std::string file = freeTypeFile(font_file, ptsize);
    return text != nullptr && !file.empty() && freeTypeBox(text, file.c_str(), ptsize, box, nullptr);
}

void load_font_table() { fontTable(); }

const FontEntry& font_entry(int size_class) {
    if (size_class < 0) size_class = 0;
    if (size_class > 5) size_class = 5;
    return fontTable()[static_cast<size_t>(size_class)];
}

short count_text_lines(const char* text, int* longest) {
    int lines = 0, widest = 0;
    if (text != nullptr) {
        lines = 1;
        int current = 0;
        for (const char* p = text; *p != '\0'; ++p) {
            if (*p == '\n') {
                if (current > widest) widest = current;
                current = 0;
                if (lines < 32767) ++lines;
            } else if (current < 0x7FFFFFFF) {
                ++current;
            }
        }
        if (current > widest) widest = current;
    }
    if (longest) *longest = widest;
    return static_cast<short>(lines);
}

TextSize measure_text(const char* text, int size_class, const char* font_file, double ptsize,
                      std::string* status) {
    if (status) status->clear();
    if (text != nullptr && useFreeType(font_file, ptsize)) {
        const std::string file = find_font_file(font_file);
        TextSize size{};
        if (file.empty()) {
            if (status) *status = kNoFont;
        } else if (freeTypeSize(text, file.c_str(), ptsize, size, status)) {
            return size;
        }
    }
    return builtinSize(text, size_class);
}

int draw_text_lines(gdImagePtr image, const FontEntry& font, const char* font_file, double ptsize,
                    double angle, int x, int y, const char* text, int color, int justification,
                    std::string* status) {
    if (status) status->clear();
    if (image == nullptr || text == nullptr) return 0;

    int fell_back = 0;
    if (useFreeType(font_file, ptsize)) {
        const std::string file = find_font_file(font_file);
        // gd places FreeType text by the baseline of its first line: move down by one line.
        const int h = file.empty() ? 0 : text_line_height(file.c_str(), ptsize);
        const int ox = x + static_cast<int>(std::sin(angle) * h);
        const int oy = y + static_cast<int>(std::cos(angle) * (h - 1));
        const char* error = file.empty() ? kNoFont : drawFreeType(image, color, file.c_str(), ptsize, angle, ox, oy, text);
        if (error == nullptr) return 0;
        if (status) *status = error;
        fell_back = 1;
    }
    if (font.font == nullptr) return fell_back;

    int longest = 0;
    count_text_lines(text, &longest);
    const long step = font.height - 1;
    std::string line;
    long k = 0;
    const char* start = text;
    for (;;) {
        const char* end = start;
        while (*end != '\0' && *end != '\n') ++end;
        line.assign(start, end);
        const long len = static_cast<long>(line.size());
        long offset = 0;
        if (justification == JustifyRight)
            offset = font.width * (longest - len);
        else if (justification != JustifyLeft)
            offset = font.width * (longest - len) / 2;
        auto* bytes = reinterpret_cast<unsigned char*>(line.data());
        // Lines far outside the picture are skipped rather than overflowing the coordinates.
        const long lx = angle == 0 ? x + offset : x + step * k;
        const long ly = angle == 0 ? y + step * k : y - offset;
        if (lx > -0x40000000L && lx < 0x40000000L && ly > -0x40000000L && ly < 0x40000000L) {
            if (angle == 0)
                gdImageString(image, font.font, static_cast<int>(lx), static_cast<int>(ly), bytes, color);
            else
                gdImageStringUp(image, font.font, static_cast<int>(lx), static_cast<int>(ly), bytes, color);
        }
        if (*end == '\0') break;
        start = end + 1;
        ++k;
    }
    return fell_back;
}

bool freetype_draws(const char* font_file, double ptsize, const char* text) {
    TextSize size{};
    const std::string file = freeTypeFile(font_file, ptsize);
    return text != nullptr && !file.empty() && freeTypeSize(text, file.c_str(), ptsize, size, nullptr);
}

TextSize probe_font(const char* font_file, double ptsize) {
    TextSize size{0, 0};
    const std::string file = freeTypeFile(font_file, ptsize);
    if (file.empty() || !freeTypeSize("test", file.c_str(), ptsize, size, nullptr)) return TextSize{0, 0};
    return size;
}

}  // namespace plotwise
