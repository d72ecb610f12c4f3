// How the program reports what went wrong: a place in a source text, the faults of an
// expression's text (exit 2), failures while evaluating (exit 1, with a host error code) and
// problems with the command line or the files it names (exit 2).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace plotwise::app {

// Exit statuses of the program.
constexpr int kExitSuccess = 0;
constexpr int kExitEvaluation = 1;  // an evaluation error
constexpr int kExitUsage = 2;       // a usage or syntax error

// A place in a source text; lines and columns count from 1, columns in characters.
struct SourcePosition {
    int line = 1;
    int column = 1;
    friend bool operator==(const SourcePosition&, const SourcePosition&) = default;
};

// "3:14"
std::string describe(SourcePosition position);

// A fault in the text of an expression: what was expected where.
class SyntaxError : public std::runtime_error {
public:
    SyntaxError(SourcePosition position, const std::string& message)
        : std::runtime_error(message), position_(position) {}
    SourcePosition position() const { return position_; }

private:
    SourcePosition position_;
};

// A failure while evaluating: the host error code it stands for and what happened.
class EvaluationError : public std::runtime_error {
public:
    EvaluationError(int32_t code, const std::string& message, SourcePosition position = {0, 0})
        : std::runtime_error(message), code_(code), position_(position) {}
    int32_t code() const { return code_; }
    // {0, 0} when the failure has no place in the source.
    SourcePosition position() const { return position_; }

private:
    int32_t code_;
    SourcePosition position_;
};

// A problem with the command line or with a file it names.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Error codes of evaluation failures that the program itself detects.
constexpr int32_t kErrorRecordMissing = 101;  // record number outside the table
constexpr int32_t kErrorFieldMissing = 102;   // unknown table or field
constexpr int32_t kErrorCalculation = 1200;   // any other calculation failure

// What a host error code means, "" for codes without a known meaning.
std::string hostErrorMeaning(int32_t code);

// A syntax error as a person reads it: "NAME:LINE:COLUMN: syntax error: MESSAGE", then the
// source line and a caret under the column.
std::string formatSyntaxError(std::string_view sourceName, std::string_view source, const SyntaxError& error);

// "error N: MESSAGE" with " (at LINE:COLUMN)" when the failure has a place.
std::string formatEvaluationError(const EvaluationError& error);

}  // namespace plotwise::app
