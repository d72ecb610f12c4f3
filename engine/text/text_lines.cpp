// Line breaking of titles and names: own breaks first, then blanks, then a shortening mark.
#include "engine/text/text_lines.h"

#include <algorithm>

#include "common/utf8.h"
#include "engine/text/text_color.h"
#include "engine/text/text_ink.h"

namespace plotwise {
namespace {

// Breaks one line at blanks so that each piece fits; a single word that does not fit is
// shortened. Runs of blanks at a break are dropped.
void break_at_blanks(std::string_view line, int limit, const std::string& mark, const LineWidth& width,
                     std::vector<std::string>& out) {
    std::string current;
    size_t i = 0;
    while (i < line.size()) {
        const size_t start = line.find_first_not_of(' ', i);
        if (start == std::string_view::npos) break;
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos) end = line.size();
        const std::string_view word = line.substr(start, end - start);
        std::string joined = current.empty() ? std::string(word) : current + " " + std::string(word);
        if (current.empty() || width(joined) <= limit) {
            current = std::move(joined);
        } else {
            out.push_back(shorten_to_fit(current, limit, mark, width));
            current = std::string(word);
        }
        i = end;
    }
    out.push_back(shorten_to_fit(current, limit, mark, width));
}

}  // namespace

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

int char_count(std::string_view text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) { return !utf8::isContinuation(c); }));
}

std::string shorten_to_fit(std::string_view text, int limit, const std::string& mark, const LineWidth& width) {
    std::string whole(text);
    if (width(whole) <= limit) return whole;
    // Wider texts are rare and short (a line of a picture): drop a character at a time.
    size_t n = text.size();
    while (n > 0) {
        do --n;
        while (n > 0 && utf8::isContinuation(text[n]));
        std::string candidate = std::string(text.substr(0, n)) + mark;
        if (width(candidate) <= limit) return candidate;
    }
    return width(mark) <= limit ? mark : std::string();
}

std::vector<std::string> fit_lines(std::string_view text, int limit, const std::string& mark, const LineWidth& width) {
    std::vector<std::string> out;
    for (const std::string& line : split_lines(text)) {
        if (width(line) <= limit) out.push_back(line);
        else break_at_blanks(line, limit, mark, width, out);
    }
    return out;
}

TitleLines lay_out_title_lines(const char* title, int size_class, const char* font, double ptsize, bool ttf, int room) {
    auto measure = [&](const std::string& s) { return measure_text(s.c_str(), size_class, font, ptsize); };
    TitleLines t;
    t.lines = fit_lines(title, room, ttf ? kEllipsis : kDots, [&](const std::string& s) { return measure(s).width; });
    if (t.lines.size() == 1 && t.lines[0] == title) {
        t.height = measure(title).height;
        return t;
    }
    // FreeType sets each line one "Aj" line below the one before; built-in lines are a
    // character high.
    t.pitch = ttf ? text_line_height(font, ptsize) : font_entry(size_class).height;
    t.height = t.pitch * static_cast<int>(t.lines.size() - 1) + measure(t.lines.back()).height;
    return t;
}

}  // namespace plotwise
