// The lexer at its edges: the pilcrow, escapes, comments, numbers, names and the places of
// its errors.
#include <gtest/gtest.h>

#include "app/lexer.h"

namespace plotwise::app {
namespace {

std::vector<TokenKind> kinds(std::string_view source) {
    std::vector<TokenKind> out;
    for (const Token& t : tokenize(source)) out.push_back(t.kind);
    return out;
}

// The value of the single text token of a source.
std::string textOf(std::string_view source) {
    const std::vector<Token> tokens = tokenize(source);
    EXPECT_EQ(tokens.size(), 2u) << source;
    EXPECT_EQ(tokens[0].kind, TokenKind::Text) << source;
    return tokens[0].text;
}

SourcePosition errorPosition(std::string_view source) {
    try {
        tokenize(source);
    } catch (const SyntaxError& e) {
        return e.position();
    }
    ADD_FAILURE() << "no syntax error for: " << source;
    return {};
}

TEST(Lexer, TextLiteralsResolveEscapesAndThePilcrow) {
    struct Case {
        std::string_view source;
        std::string_view value;
    };
    const Case cases[] = {
        {R"("plain")", "plain"},
        {R"("")", ""},
        {R"("say \"hi\"")", "say \"hi\""},
        {R"("back\\slash")", "back\\slash"},
        {"\"a\xC2\xB6" "b\"", "a\rb"},           // ¶ inside a text is a carriage return
        {"\"a\\\xC2\xB6" "b\"", "a\xC2\xB6" "b"}, // \¶ is the sign itself
        {R"("C:\temp")", "C:\\temp"},           // other backslashes stand for themselves
        {"\"two\nlines\"", "two\rlines"},       // line breaks inside a text become returns
        {"\"two\r\nlines\"", "two\rlines"},
        {"\"caf\xC3\xA9\"", "caf\xC3\xA9"},
        {R"("// not a comment")", "// not a comment"},
    };
    for (const Case& c : cases) EXPECT_EQ(textOf(c.source), c.value) << c.source;
}

TEST(Lexer, PilcrowAloneIsATextOfOneReturn) {
    const std::vector<Token> tokens = tokenize("\"a\" & \xC2\xB6 & \"b\"");
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tokens[2].kind, TokenKind::Text);
    EXPECT_EQ(tokens[2].text, "\r");
    EXPECT_EQ(tokens[2].position, (SourcePosition{1, 7}));
    EXPECT_EQ(tokens[3].position, (SourcePosition{1, 9}));  // the pilcrow is one column wide
}

TEST(Lexer, CommentsAreSkippedAndPositionsCountLines) {
    const std::vector<Token> tokens = tokenize("// first\n  /* a\nb */ 12 // x\r\n\t\"t\"");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].kind, TokenKind::Number);
    EXPECT_EQ(tokens[0].position, (SourcePosition{3, 6}));
    EXPECT_EQ(tokens[1].kind, TokenKind::Text);
    EXPECT_EQ(tokens[1].position, (SourcePosition{4, 2}));
    EXPECT_EQ(tokens[2].kind, TokenKind::End);
}

TEST(Lexer, NumbersAndWhereTheyStop) {
    const std::vector<Token> tokens = tokenize("12 3.5 .5 1e3 2.5E-2 2e x");
    ASSERT_EQ(tokens.size(), 9u);
    const std::string_view written[] = {"12", "3.5", ".5", "1e3", "2.5E-2", "2"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(tokens[i].kind, TokenKind::Number);
        EXPECT_EQ(tokens[i].text, written[i]);
    }
    EXPECT_EQ(tokens[6].kind, TokenKind::Name);  // "2e" is the number 2 and the name e
    EXPECT_EQ(tokens[6].text, "e");
    EXPECT_EQ(errorPosition("1.2.3"), (SourcePosition{1, 4}));
}

TEST(Lexer, NamesVariablesAndFields) {
    const std::vector<Token> tokens = tokenize("Orders::Month $x $$total ${Order Date} Stra\xC3\x9F" "e");
    ASSERT_EQ(tokens.size(), 8u);
    EXPECT_EQ(tokens[0].text, "Orders");
    EXPECT_EQ(tokens[1].kind, TokenKind::DoubleColon);
    EXPECT_EQ(tokens[2].text, "Month");
    EXPECT_EQ(tokens[3].kind, TokenKind::Variable);
    EXPECT_EQ(tokens[3].text, "$x");
    EXPECT_EQ(tokens[4].text, "$$total");
    EXPECT_EQ(tokens[5].kind, TokenKind::Name);
    EXPECT_EQ(tokens[5].text, "Order Date");
    EXPECT_EQ(tokens[6].text, "Stra\xC3\x9F" "e");
}

TEST(Lexer, OperatorsAndSeparators) {
    EXPECT_EQ(kinds("( ) [ ] ; , & + - * / ="),
              (std::vector<TokenKind>{TokenKind::LeftParen, TokenKind::RightParen, TokenKind::LeftBracket,
                                      TokenKind::RightBracket, TokenKind::Semicolon, TokenKind::Comma,
                                      TokenKind::Ampersand, TokenKind::Plus, TokenKind::Minus, TokenKind::Star,
                                      TokenKind::Slash, TokenKind::Equals, TokenKind::End}));
}

TEST(Lexer, ErrorsPointAtTheirCause) {
    EXPECT_EQ(errorPosition("1 & \"open"), (SourcePosition{1, 5}));       // where the text opens
    EXPECT_EQ(errorPosition("1 &\n  \"open\\\""), (SourcePosition{2, 3})); // \" does not close it
    EXPECT_EQ(errorPosition("1 /* never closed"), (SourcePosition{1, 3}));
    EXPECT_EQ(errorPosition("1 < 2"), (SourcePosition{1, 3}));
    EXPECT_EQ(errorPosition("a ? b"), (SourcePosition{1, 3}));
    EXPECT_EQ(errorPosition("\"\xC3\xA9\" \xFF"), (SourcePosition{1, 5}));  // not UTF-8
    EXPECT_EQ(errorPosition("$ x"), (SourcePosition{1, 1}));
    EXPECT_EQ(errorPosition("${never"), (SourcePosition{1, 1}));
}

TEST(Lexer, UnsupportedOperatorIsNamed) {
    try {
        tokenize("1 \xE2\x89\xA0 2");
        FAIL();
    } catch (const SyntaxError& e) {
        EXPECT_NE(std::string(e.what()).find("\xE2\x89\xA0"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace plotwise::app
