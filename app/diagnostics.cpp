// Formatting of syntax and evaluation errors for standard error.
#include "app/diagnostics.h"

#include <array>
#include <utility>

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

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

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
    out += "  ";
    out += line;
    out += "\n  ";
    // The caret goes under the character at the column; tabs are copied so that it lines up.
    int column = 1;
    for (std::size_t i = 0; i < line.size() && column < at.column; ++i) {
        if (isContinuationByte(line[i])) continue;
        out += line[i] == '\t' ? '\t' : ' ';
        ++column;
    }
    out += "^\n";
    return out;
}

std::string formatEvaluationError(const EvaluationError& error) {
    std::string out = "error " + std::to_string(error.code()) + ": " + error.what();
    if (error.position().line > 0) out += " (at " + describe(error.position()) + ")";
    return out;
}

}  // namespace plotwise::app
