#include "definition/data_text.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

namespace plotwise {
namespace {

constexpr std::size_t kPieceBytes = 255;

bool isSeparator(char c) { return c == ';' || c == '\r'; }

// Line feed, carriage return, blank, "+", ",", "-", ".", the digits, ";" and "e".
bool isNumeric(char c) {
    return (c >= '0' && c <= '9') || c == '\n' || c == '\r' || c == ' ' || c == '+' || c == ',' || c == '-' ||
           c == '.' || c == ';' || c == 'e';
}

}  // namespace

DataTextKind classifyDataText(std::string_view text) {
    std::size_t separators = 0, dots = 0;
    bool numeric = true;
    for (char c : text) {
        if (isSeparator(c)) ++separators;
        if (c == '.') ++dots;
        if (!isNumeric(c)) numeric = false;
    }
    if (separators == 0) return numeric ? DataTextKind::Number : DataTextKind::FieldReference;
    return numeric && dots <= separators + 1 ? DataTextKind::NumberList : DataTextKind::TextList;
}

std::vector<std::string_view> splitDataText(std::string_view text, bool keepEmpty) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isSeparator(text[i])) continue;
        const std::string_view piece = text.substr(start, i - start);
        if (keepEmpty || !piece.empty()) pieces.push_back(piece);
        start = i + 1;
    }
    return pieces;
}

std::vector<std::string_view> splitNumberText(std::string_view text) {
    std::vector<std::string_view> pieces = splitDataText(text, true);
    const auto blank = [](std::string_view piece) { return piece.find_first_not_of(" \n") == std::string_view::npos; };
    auto first = std::find_if_not(pieces.begin(), pieces.end(), blank);
    auto last = std::find_if_not(pieces.rbegin(), std::make_reverse_iterator(first), blank).base();
    return std::vector<std::string_view>(first, last);
}

std::optional<double> pieceNumber(std::string_view piece, bool decimalComma) {
    std::string bytes(piece.substr(0, kPieceBytes));
    if (decimalComma) std::replace(bytes.begin(), bytes.end(), ',', '.');
    char* end = nullptr;
    const double value = std::strtod(bytes.c_str(), &end);
    if (end == bytes.c_str()) return std::nullopt;
    return value;
}

std::string_view::size_type labelCut(std::string_view piece) {
    std::size_t n = std::min(piece.size(), kPieceBytes - 1);
    // Never end inside a UTF-8 sequence: back up over continuation bytes.
    if (n < piece.size()) {
        while (n > 0 && (static_cast<unsigned char>(piece[n]) & 0xC0) == 0x80) --n;
    }
    return n;
}

}  // namespace plotwise
