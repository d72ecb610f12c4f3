// Formatting of syntax and evaluation errors for standard error.
#include "app/diagnostics.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "common/utf8.h"

namespace plotwise::app {

namespace {

// The text of line `line` (from 1), without its line break; line breaks are LF, CR LF or CR,
// as the lexer counts them.
std::string_view sourceLine(std::string_view source, int line) {
    std::size_t start = 0;
    for (int current = 1; current < line; ++current) {
        const std::size_t brk = source.find_first_of("\r\n", start);
        if (brk == std::string_view::npos) return {};
        start = brk + 1;
        if (source[brk] == '\r' && start < source.size() && source[start] == '\n') ++start;
    }
    const std::size_t end = source.find_first_of("\r\n", start);
    return source.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

constexpr std::array<std::pair<int32_t, std::string_view>, 5> kHostErrorMeanings{{
    {1, "memory could not be had"},
    {2, "the host reported a failure"},
    {kErrorRecordMissing, "record missing"},
    {kErrorFieldMissing, "field missing"},
    {kErrorCalculation, "calculation error"},
}};

// Characters of a source line shown under a syntax error; longer lines show a window.
constexpr std::size_t kShownLineWidth = 100;

}  // namespace

std::string hostErrorMeaning(int32_t code) {
    for (const auto& [c, meaning] : kHostErrorMeanings)
        if (c == code) return std::string(meaning);
    return {};
}

std::string describe(SourcePosition position) {
    return std::to_string(position.line) + ":" + std::to_string(position.column);
}

std::string formatSyntaxError(std::string_view sourceName, std::string_view source, const SyntaxError& error) {
    const SourcePosition at = error.position();
    std::string out = std::string(sourceName) + ":" + describe(at) + ": syntax error: " + error.what() + "\n";
    const std::string_view line = sourceLine(source, at.line);
    if (line.empty()) return out;
    // Byte offset of each character, so that a long line is shown as a window around the
    // column and the caret lines up in characters.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (!utf8::isContinuation(line[i])) starts.push_back(i);
    const std::size_t count = starts.size();
    const std::size_t column = static_cast<std::size_t>(std::max(at.column, 1)) - 1;
    std::size_t first = 0;
    std::size_t last = count;
    if (count > kShownLineWidth) {
        first = column > kShownLineWidth / 2 ? column - kShownLineWidth / 2 : 0;
        first = std::min(first, count - kShownLineWidth);
        last = first + kShownLineWidth;
    }
    const std::string_view shown =
        line.substr(starts[first], (last < count ? starts[last] : line.size()) - starts[first]);
    out += "  ";
    if (first > 0) out += "...";
    out += shown;
    if (last < count) out += "...";
    out += "\n  ";
    if (first > 0) out += "   ";
    // Tabs are copied so that the caret lines up under them.
    for (std::size_t k = first; k < column && k < last; ++k) out += line[starts[k]] == '\t' ? '\t' : ' ';
    out += "^\n";
    return out;
}

std::string formatEvaluationError(const EvaluationError& error) {
    std::string out = "error " + std::to_string(error.code()) + ": " + error.what();
    if (error.position().line > 0) out += " (at " + describe(error.position()) + ")";
    return out;
}

}  // namespace plotwise::app
