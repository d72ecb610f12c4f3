#include "definition/data_text.h"

#include <string>

#include "common/c_number.h"
#include "common/utf8.h"
#include "common/written_number.h"

namespace plotwise {
namespace {

constexpr std::size_t kPieceBytes = 255;

bool isSeparator(char c) { return c == ';' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Line feed, carriage return, blank, "+", ",", "-", ".", the digits, ";", "e" and "E".
bool isNumeric(char c) {
    return isDigit(c) || c == '\n' || c == '\r' || c == ' ' || c == '+' || c == ',' || c == '-' || c == '.' ||
           c == ';' || c == 'e' || c == 'E';
}

// True when text[i], a grouping mark, is followed by exactly three digits.
bool groupsDigits(std::string_view text, std::size_t i) {
    return i + 3 < text.size() && isDigit(text[i + 1]) && isDigit(text[i + 2]) && isDigit(text[i + 3]) &&
           (i + 4 == text.size() || !isDigit(text[i + 4]));
}

// The piece of `text` from `pos` to the next separator; `pos` moves past that separator. False
// once the text is used up (a text ending in a separator has an empty last piece).
bool takePiece(std::string_view text, std::size_t& pos, std::string_view& piece) {
    if (pos > text.size()) return false;
    std::size_t end = pos;
    while (end < text.size() && !isSeparator(text[end])) ++end;
    piece = text.substr(pos, end - pos);
    pos = end + 1;
    return true;
}

// True when every piece of a list is a written number or a missing-value marker, and one at
// least is a number.
bool writesNumbers(std::string_view text, NumberMarks marks) {
    bool number = false;
    std::size_t pos = 0;
    for (std::string_view piece; takePiece(text, pos, piece);) {
        if (isMissingMarker(piece)) continue;
        if (!writtenNumberText(piece, marks.decimal)) return false;
        number = true;
    }
    return number;
}

}  // namespace

NumberMarks numberMarks(bool decimalComma) { return decimalComma ? NumberMarks{',', '.'} : NumberMarks{'.', ','}; }

DataTextKind classifyDataText(std::string_view text, NumberMarks marks) {
    std::size_t separators = 0, dots = 0;
    bool numeric = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isSeparator(c)) ++separators;
        if (c == '.' && !(marks.grouping == '.' && groupsDigits(text, i))) ++dots;
        if (!isNumeric(c)) numeric = false;
    }
    if (separators == 0) return numeric ? DataTextKind::Number : DataTextKind::FieldReference;
    if (numeric && dots <= separators + 1) return DataTextKind::NumberList;
    return writesNumbers(text, marks) ? DataTextKind::WrittenNumbers : DataTextKind::TextList;
}

bool TextPieces::next(std::string_view& piece) {
    // The empty text after a final separator is no piece; the empty text itself is one.
    if (pos_ > 0 && pos_ == text_.size()) return false;
    return takePiece(text_, pos_, piece);
}

bool NumberPieces::next(std::string_view& piece) {
    const auto blank = [](std::string_view p) { return p.find_first_not_of(" \n") == std::string_view::npos; };
    if (pendingEmpty_ > 0) {
        --pendingEmpty_;
        piece = std::string_view();
        return true;
    }
    if (!held_.empty()) {
        piece = held_;
        held_ = std::string_view();
        return true;
    }
    std::string_view raw;
    std::size_t empties = 0;
    while (takePiece(text_, pos_, raw)) {
        if (blank(raw)) {
            ++empties;
            continue;
        }
        // Empty pieces count only between two pieces with something in them.
        if (!started_ || empties == 0) {
            started_ = true;
            piece = raw;
            return true;
        }
        pendingEmpty_ = empties - 1;
        held_ = raw;
        piece = std::string_view();
        return true;
    }
    return false;
}

std::optional<double> pieceNumber(std::string_view piece, NumberMarks marks) {
    piece = piece.substr(0, kPieceBytes);
    std::string bytes;
    bytes.reserve(piece.size());
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char c = piece[i];
        if (c == marks.grouping && groupsDigits(piece, i)) continue;
        bytes.push_back(c == marks.decimal ? '.' : c);
    }
    std::size_t used = 0;
    const double value = c_number::read(bytes, &used);
    if (used == 0) return std::nullopt;
    return value;
}

std::optional<double> writtenPieceNumber(std::string_view piece, NumberMarks marks) {
    return isMissingMarker(piece) ? std::nullopt : writtenNumber(piece, marks.decimal);
}

std::string_view::size_type labelCut(std::string_view piece) { return utf8::cutLength(piece, kPieceBytes - 1); }

}  // namespace plotwise
