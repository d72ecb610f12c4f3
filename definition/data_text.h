// The data texts Plotz_Data takes: a single number, a list of numbers, a list of category
// names, or a field reference read record by record. The kind is decided by looking at the
// text once; the pieces are then visited one after another, never all kept at once, so that
// a long list costs no more than the text itself.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace plotwise {

enum class DataTextKind {
    FieldReference,  // no separator, some character outside the numeric set
    Number,          // no separator, every character in the numeric set (also the empty text)
    NumberList,      // separators, numeric characters, at most one decimal point per piece
    WrittenNumbers,  // separators, pieces that are numbers as people write them ("$9", "12%") or
                     // say a value is missing ("n/a"), at least one number
    TextList,        // separators and anything else
};

// How the calling locale writes numbers.
struct NumberMarks {
    char decimal = '.';   // "1.5", or "1,5" under a decimal-comma locale
    char grouping = ',';  // "1,234", or "1.234" under a decimal-comma locale
};
NumberMarks numberMarks(bool decimalComma);

// The kind of a data text. Separators are ";" and carriage return. A "." that groups digits
// in the locale ("1.234" under a decimal-comma locale) does not count as a decimal point. A list
// that is no number list by its characters is still one of numbers when each piece is a number
// as people write it or a missing-value marker: "120;135;n/a;150" and "$9;$1,299.50;12%" are
// numbers, "Low;Medium;High" stays a list of names.
DataTextKind classifyDataText(std::string_view text, NumberMarks marks = {});

// The pieces of a text list, one after another: every separator ends a piece, so empty pieces
// count; one empty piece after a final separator ("a;b;") is no piece.
class TextPieces {
public:
    explicit TextPieces(std::string_view text) : text_(text) {}
    bool next(std::string_view& piece);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The pieces of a number or number list, one after another. An empty piece between two pieces
// keeps its place (it is a point without a value: "10;;30" has three points); empty pieces
// before the first piece and after the last add nothing ("10;20;" has two). Pieces of blanks
// count as empty.
class NumberPieces {
public:
    explicit NumberPieces(std::string_view text) : text_(text) {}
    bool next(std::string_view& piece);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t pendingEmpty_ = 0;  // empty pieces seen since the last number piece
    std::string_view held_;         // the piece that follows the pending empty ones
    bool started_ = false;          // a piece with something in it has been given
};

// A piece as a number, read by the standard conversion, which stops at the first character
// that cannot continue a number. A grouping mark of the locale followed by exactly three
// digits is skipped ("1,234.5"); the locale's decimal mark is the decimal point (with a
// decimal comma "1,5" is 1.5, else a "," ends the number). Nothing when the piece holds no
// number ("", "-"). Only the first 255 bytes are looked at.
std::optional<double> pieceNumber(std::string_view piece, NumberMarks marks = {});

// A piece of a list of written numbers as a number; nothing for a missing-value marker.
std::optional<double> writtenPieceNumber(std::string_view piece, NumberMarks marks = {});

// A label made of a piece: its first 254 bytes (whole characters) and one blank.
std::string_view::size_type labelCut(std::string_view piece);

}  // namespace plotwise
