// The data texts Plotz_Data takes: a single number, a list of numbers, a list of category
// names, or a field reference read record by record. The kind is decided by looking at the
// text once.
#pragma once

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

// A piece as a number: the standard conversion, which stops at the first character that cannot
// continue a number (a "," ends it). Only the first 255 bytes are looked at.
double pieceNumber(std::string_view piece);

// A label made of a piece: its first 254 bytes (whole characters) and one blank.
std::string_view::size_type labelCut(std::string_view piece);

}  // namespace plotwise
