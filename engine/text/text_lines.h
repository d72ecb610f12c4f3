// Texts cut into the lines they are drawn as: at their own line breaks, at blanks where a line
// is wider than the room it has, and shortened with a mark where even a single word is wider.
// The drawing surfaces draw one line per call; the engines lay the lines out.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plotwise {

// Width in pixels of a line as it will be drawn.
using LineWidth = std::function<int(const std::string&)>;

// The mark of a shortened text: an ellipsis where FreeType draws it, three dots where a
// built-in font (which has no ellipsis) does.
constexpr const char* kEllipsis = "\xE2\x80\xA6";
constexpr const char* kDots = "...";

// The lines of a text: each "\r\n", "\r" or "\n" ends one. An empty text is one empty line.
std::vector<std::string> split_lines(std::string_view text);

// Characters of a UTF-8 text (continuation bytes do not count).
int char_count(std::string_view text);


// `text` when it is at most `limit` pixels wide, else its longest start (whole characters)
// that fits with `mark` after it, the mark alone when nothing fits with it, and nothing when
// not even the mark fits.
std::string shorten_to_fit(std::string_view text, int limit, const std::string& mark, const LineWidth& width);

// The lines a text is drawn as within `limit` pixels: its own line breaks, lines wider than the
// limit broken at blanks (as many words on a line as fit), and words wider than the limit
// shortened with `mark`.
std::vector<std::string> fit_lines(std::string_view text, int limit, const std::string& mark, const LineWidth& width);

// A title set in lines within `room` pixels, in the font of a size class, font file and point
// size (`ttf`: FreeType draws it): the lines, the pitch from one line's top to the next (0 for a
// single line that is the title itself) and the height of them all.
struct TitleLines {
    std::vector<std::string> lines;
    int pitch = 0;
    int height = 0;
};
TitleLines lay_out_title_lines(const char* title, int size_class, const char* font, double ptsize, bool ttf, int room);

}  // namespace plotwise
