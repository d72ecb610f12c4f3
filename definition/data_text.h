// The data texts Plotz_Data takes: a single number, a list of numbers, a list of category
// names, or a field reference read record by record. The kind is decided by looking at the
// text once.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace plotwise {

enum class DataTextKind {
    FieldReference,  // no separator, some character outside the numeric set
    Number,          // no separator, every character in the numeric set (also the empty text)
    NumberList,      // separators, numeric characters, at most one "." per piece
    TextList,        // separators and anything else
};

// The kind of a data text. Separators are ";" and carriage return.
DataTextKind classifyDataText(std::string_view text);

// The pieces between separators. A text list keeps empty pieces (the text after the last
// separator is always a piece); numbers skip them.
std::vector<std::string_view> splitDataText(std::string_view text, bool keepEmpty);

// The pieces of a number or number list. An empty piece between two pieces keeps its place
// (it is a point without a value: "10;;30" has three points); empty pieces before the first
// piece and after the last add nothing ("10;20;" has two). Pieces of blanks count as empty.
std::vector<std::string_view> splitNumberText(std::string_view text);

// A piece as a number, read by the standard conversion, which stops at the first character
// that cannot continue a number. With `decimalComma` a "," is the decimal separator ("1,5"
// is 1.5), else it ends the number. Nothing when the piece holds no number ("", "-").
// Only the first 255 bytes are looked at.
std::optional<double> pieceNumber(std::string_view piece, bool decimalComma = false);

// A label made of a piece: its first 254 bytes (whole characters) and one blank.
std::string_view::size_type labelCut(std::string_view piece);

}  // namespace plotwise
