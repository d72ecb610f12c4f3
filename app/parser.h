// The parser of calculation expressions (recursive descent, one token of look-ahead).
//   expression := concat
//   concat     := sum { '&' sum }
//   sum        := product { ('+' | '-') product }
//   product    := unary { ('*' | '/') unary }
//   unary      := ('-' | '+') unary | primary
//   primary    := number | text | $variable | '(' expression ')' | Let | Name '(' args ')'
//               | Name '::' Name | Name
#pragma once

#include <string_view>

#include "app/syntax.h"

namespace plotwise::app {

// Deepest nesting of parentheses, calls, Let and unary signs that an expression may have.
constexpr int kMaxNesting = 1000;

// Parses a whole expression; throws SyntaxError with the place and what was expected.
NodePtr parseExpression(std::string_view source);

}  // namespace plotwise::app
