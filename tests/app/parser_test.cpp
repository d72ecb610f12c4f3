// The parser: precedence, Let forms, nesting limits and the places and wording of errors.
#include <gtest/gtest.h>

#include "app/diagnostics.h"
#include "app/parser.h"

namespace plotwise::app {
namespace {

// The tree written back with every chain and negation in brackets, to check its shape.
std::string shape(const Node& n) {
    switch (n.kind) {
    case NodeKind::Number: return n.text;
    case NodeKind::Text: return "\"" + n.text + "\"";
    case NodeKind::Name:
    case NodeKind::Variable: return n.text;
    case NodeKind::Field: return n.text + "::" + n.field;
    case NodeKind::Negate: return "(-" + shape(*n.operands[0]) + ")";
    case NodeKind::Chain: {
        std::string s = "(" + shape(*n.operands[0]);
        for (std::size_t i = 0; i < n.operators.size(); ++i) s += std::string(" ") + n.operators[i] + " " + shape(*n.operands[i + 1]);
        return s + ")";
    }
    case NodeKind::Call: {
        std::string s = n.text + "[";
        for (std::size_t i = 0; i < n.operands.size(); ++i) s += (i ? ";" : "") + shape(*n.operands[i]);
        return s + "]";
    }
    case NodeKind::Let: {
        std::string s = "Let{";
        for (std::size_t i = 0; i < n.names.size(); ++i) s += n.names[i] + "=" + shape(*n.operands[i]) + ";";
        return s + shape(*n.operands.back()) + "}";
    }
    }
    return "?";
}

std::string parsed(std::string_view source) { return shape(*parseExpression(source)); }

struct ErrorCase {
    std::string_view source;
    SourcePosition at;
    std::string_view saying;  // part of the message
};

void expectError(const ErrorCase& c) {
    try {
        parseExpression(c.source);
        ADD_FAILURE() << "no syntax error for: " << c.source;
    } catch (const SyntaxError& e) {
        EXPECT_EQ(e.position(), c.at) << c.source << ": " << e.what();
        EXPECT_NE(std::string(e.what()).find(c.saying), std::string::npos) << c.source << ": " << e.what();
    }
}

TEST(Parser, ConcatenationBindsLoosest) {
    EXPECT_EQ(parsed("1 + 2 & 3"), "((1 + 2) & 3)");
    EXPECT_EQ(parsed("\"a\" & 1 + 2 * 3"), "(\"a\" & (1 + (2 * 3)))");
    EXPECT_EQ(parsed("1 - 2 - 3"), "(1 - 2 - 3)");  // one flat chain, evaluated left to right
    EXPECT_EQ(parsed("8 / 4 * 2 + 1"), "((8 / 4 * 2) + 1)");
    EXPECT_EQ(parsed("(1 & 2) + 3"), "((1 & 2) + 3)");
}

TEST(Parser, UnaryMinusBindsTighterThanProducts) {
    EXPECT_EQ(parsed("-2 * 3"), "((-2) * 3)");
    EXPECT_EQ(parsed("2 * -3"), "(2 * (-3))");
    EXPECT_EQ(parsed("- - 4"), "(-(-4))");
    EXPECT_EQ(parsed("+4"), "4");
    EXPECT_EQ(parsed("1 - -1"), "(1 - (-1))");
}

TEST(Parser, CallsFieldsAndLet) {
    EXPECT_EQ(parsed("Plotz_Data ( c ; \"1;2\" ; Orders::Amount ; $color )"),
              "Plotz_Data[c;\"1;2\";Orders::Amount;$color]");
    EXPECT_EQ(parsed("Plotz_New ( )"), "Plotz_New[]");
    EXPECT_EQ(parsed("Plotz_New"), "Plotz_New");
    EXPECT_EQ(parsed("Let ( x = 1 ; x + 1 )"), "Let{x=1;(x + 1)}");
    EXPECT_EQ(parsed("let ( [ a = 1 ; $b = a ] ; a & $b )"), "Let{a=1;$b=a;(a & $b)}");
    EXPECT_EQ(parsed("${Order Date}::${Unit Price}"), "Order Date::Unit Price");
}

// Names with blanks as the host writes them in a calculation: words one after another.
TEST(Parser, TableAndFieldNamesWithBlanks) {
    const struct {
        const char* source;
        const char* tree;
    } cases[] = {
        {"Sales::Unit Price", "Sales::Unit Price"},
        {"Price List::Unit  Price", "Price List::Unit Price"},
        {"GetNthRecord ( Sales::Unit Price ; 2 )", "GetNthRecord[Sales::Unit Price;2]"},
        {"Sales::Revenue 2024 + 1", "(Sales::Revenue 2024 + 1)"},
        {"Sales::Amount & Sales::Unit Price", "(Sales::Amount & Sales::Unit Price)"},
    };
    for (const auto& c : cases) EXPECT_EQ(parsed(c.source), c.tree) << c.source;
}

TEST(Parser, ErrorsSayWhatWasExpectedWhere) {
    const ErrorCase cases[] = {
        {"", {1, 1}, "expected a value"},
        {"1 +", {1, 4}, "found the end of the expression"},
        {"Plotz_Data ( 1 ; 2", {1, 19}, "expected ';' or ')' in the call of Plotz_Data opened at 1:12"},
        {"f ( 1 , 2 )", {1, 7}, "arguments are separated by ';'"},
        {"( 1 + 2", {1, 8}, "expected ')' to close the parenthesis opened at 1:1"},
        {"1 + 2 )", {1, 7}, "')' has no matching '('"},
        {"1 2", {1, 3}, "expected an operator or the end"},
        {"Orders::", {1, 9}, "expected a field name after 'Orders::'"},
        {"Let ( x 1 ; x )", {1, 9}, "expected '=' after x"},
        {"Let ( [ x = 1 , y = 2 ] ; x )", {1, 15}, "bindings are separated by ';'"},
        {"Let ( x = 1 )", {1, 13}, "expected ';' and the result expression of Let"},
        {"Let ( 3 = 1 ; 2 )", {1, 7}, "expected a name to bind"},
        {"a = 1", {1, 3}, "expected an operator"},
        {"\n\n   ;", {3, 4}, "expected a value"},
    };
    for (const ErrorCase& c : cases) expectError(c);
}

TEST(Parser, NestingUpToTheLimitParses) {
    const int depth = kMaxNesting - 1;
    std::string source = std::string(depth, '(') + "1" + std::string(depth, ')');
    EXPECT_EQ(parsed(source), "1");
    std::string calls;
    for (int i = 0; i < depth - 1; ++i) calls += "f(";
    calls += "1" + std::string(depth - 1, ')');
    EXPECT_NO_THROW(parseExpression(calls));
}

TEST(Parser, DeepNestingIsACleanError) {
    for (const int depth : {kMaxNesting + 1, 10000, 200000}) {
        expectError({std::string(depth, '(') + "1" + std::string(depth, ')'), {1, kMaxNesting + 1}, "nested too deeply"});
        std::string calls;
        for (int i = 0; i < depth; ++i) calls += "f(";
        calls += "1" + std::string(depth, ')');
        expectError({calls, {1, 2 * kMaxNesting + 1}, "nested too deeply"});
        expectError({std::string(depth, '-') + "1", {1, kMaxNesting}, "nested too deeply"});
    }
}

TEST(Parser, LongChainsStayFlat) {
    // 100 000 terms make one node, not a tree 100 000 levels deep.
    std::string source = "1";
    for (int i = 0; i < 100000; ++i) source += "+1";
    const NodePtr root = parseExpression(source);
    EXPECT_EQ(root->kind, NodeKind::Chain);
    EXPECT_EQ(root->operands.size(), 100001u);
}

TEST(Diagnostics, SyntaxErrorShowsTheLineAndACaret) {
    const std::string source = "Let ( x = 1 ;\n\tx + * 2 )";
    try {
        parseExpression(source);
        FAIL();
    } catch (const SyntaxError& e) {
        EXPECT_EQ(formatSyntaxError("demo.calc", source, e),
                  "demo.calc:2:6: syntax error: expected a value (a number, a text, a name or '('), found '*'\n"
                  "  \tx + * 2 )\n"
                  "  \t    ^\n");
    }
}

TEST(Diagnostics, LongLinesShowAWindowAroundTheColumn) {
    const std::string source = std::string(200, ' ') + "*";
    try {
        parseExpression(source);
        FAIL();
    } catch (const SyntaxError& e) {
        EXPECT_EQ(e.position(), (SourcePosition{1, 201}));
        EXPECT_EQ(formatSyntaxError("x", source, e),
                  "x:1:201: syntax error: expected a value (a number, a text, a name or '('), found '*'\n"
                  "  ..." + std::string(99, ' ') + "*\n" +
                  "     " + std::string(99, ' ') + "^\n");
    }
}

TEST(Diagnostics, EvaluationErrorNamesCodeAndPlace) {
    EXPECT_EQ(formatEvaluationError(EvaluationError(102, "unknown field Sales", {2, 7})),
              "error 102: unknown field Sales (at 2:7)");
    EXPECT_EQ(formatEvaluationError(EvaluationError(5, "Plotz_Data failed")), "error 5: Plotz_Data failed");
}

}  // namespace
}  // namespace plotwise::app
