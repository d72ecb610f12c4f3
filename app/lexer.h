// The lexer of calculation expressions: numbers, texts, names, $variables, operators and
// separators, with comments and blanks skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/diagnostics.h"

namespace plotwise::app {

enum class TokenKind {
    End,           // end of the source
    Number,        // 12, 3.5, .5, 1e3 (text: as written)
    Text,          // "..." or ¶ alone (text: the value, escapes resolved, line breaks as CR)
    Name,          // Plotz_Data, Orders, ${Order Date} (text: the name)
    Variable,      // $name or $$name (text: with its dollars)
    LeftParen,     // (
    RightParen,    // )
    LeftBracket,   // [
    RightBracket,  // ]
    Semicolon,     // ;
    Comma,         // , (not a separator here; kept for a clear message)
    Ampersand,     // &
    Plus,          // +
    Minus,         // -
    Star,          // *
    Slash,         // /
    Equals,        // = (only in Let bindings)
    DoubleColon,   // ::
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    SourcePosition position;
};

// How a token kind is named in messages: "')'", "a number", "the end of the expression".
std::string_view describe(TokenKind kind);
// How a token is named in messages: "')'", "the name Plotz_Data", "the text \"ab\"".
std::string describe(const Token& token);

// Splits a source text into tokens, the last one End. Throws SyntaxError for an unterminated
// text or comment, a character that belongs to no token, or bytes that are not UTF-8.
std::vector<Token> tokenize(std::string_view source);

}  // namespace plotwise::app
