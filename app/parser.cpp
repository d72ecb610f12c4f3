// The parser: tokens to a syntax tree. The nesting depth is bounded so that neither this
// recursion nor the evaluator's can exhaust the stack; operator chains and signs are parsed
// in loops, so that one level of nesting costs only a few small frames, and messages are
// built out of line, away from the recursive frames.
#include "app/parser.h"

#include <algorithm>
#include <utility>

#include "app/lexer.h"
#include "app/text_util.h"

namespace plotwise::app {

namespace {

// Precedence of a binary operator, lowest first; -1 for a token that is none.
int levelOf(TokenKind kind) {
    switch (kind) {
    case TokenKind::Ampersand: return 0;
    case TokenKind::Plus:
    case TokenKind::Minus: return 1;
    case TokenKind::Star:
    case TokenKind::Slash: return 2;
    default: return -1;
    }
}

char operatorOf(TokenKind kind) {
    switch (kind) {
    case TokenKind::Ampersand: return '&';
    case TokenKind::Plus: return '+';
    case TokenKind::Minus: return '-';
    case TokenKind::Star: return '*';
    default: return '/';
    }
}

NodePtr makeNode(NodeKind kind, SourcePosition at) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    node->position = at;
    return node;
}

[[noreturn, gnu::noinline]] void fail(SourcePosition at, const std::string& message) { throw SyntaxError(at, message); }

[[noreturn, gnu::noinline]] void failExpectedValue(const Token& found) {
    fail(found.position, "expected a value (a number, a text, a name or '('), found " + describe(found));
}

[[noreturn, gnu::noinline]] void failTooDeep(SourcePosition at) {
    fail(at, "the expression is nested too deeply (more than " + std::to_string(kMaxNesting) + " levels)");
}

[[noreturn, gnu::noinline]] void failUnclosed(const Token& opener, std::string_view what, const Token& found) {
    fail(found.position, "expected ')' to close the " + std::string(what) + " opened at " +
                             describe(opener.position) + ", found " + describe(found));
}

[[noreturn, gnu::noinline]] void failInCall(const Token& name, const Token& open, const Token& found) {
    std::string message = "expected ';' or ')' in the call of " + name.text + " opened at " +
                          describe(open.position) + ", found " + describe(found);
    if (found.kind == TokenKind::Comma) message += " (arguments are separated by ';')";
    fail(found.position, message);
}

[[noreturn, gnu::noinline]] void failInLetList(const Token& bracket, const Token& found) {
    std::string message = "expected ';' or ']' in the list of Let opened at " + describe(bracket.position) +
                          ", found " + describe(found);
    if (found.kind == TokenKind::Comma) message += " (bindings are separated by ';')";
    fail(found.position, message);
}

[[noreturn, gnu::noinline]] void failAfter(const Token& found, std::string_view expected) {
    fail(found.position, std::string(expected) + ", found " + describe(found));
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    NodePtr run() {
        NodePtr root = expression();
        if (peek().kind == TokenKind::RightParen) fail(peek().position, "')' has no matching '('");
        if (peek().kind != TokenKind::End) failAfter(peek(), "expected an operator or the end of the expression");
        return root;
    }

private:
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
    int depth_ = 0;

    // Counts `levels` levels of nesting for as long as it lives.
    class Nesting {
    public:
        Nesting(Parser& parser, SourcePosition at, int levels = 1) : parser_(parser), levels_(levels) {
            parser_.depth_ += levels_;
            if (parser_.depth_ > kMaxNesting) failTooDeep(at);
        }
        ~Nesting() { parser_.depth_ -= levels_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& parser_;
        int levels_;
    };

    const Token& peek() const { return tokens_[next_]; }
    const Token& take() {
        const Token& t = tokens_[next_];
        if (next_ + 1 < tokens_.size()) ++next_;
        return t;
    }
    bool accept(TokenKind kind) {
        if (peek().kind != kind) return false;
        take();
        return true;
    }

    // Operands joined by operators of three precedence levels. Each run of operators of one
    // level becomes one Chain node; the chains still open are kept on a small stack, lowest
    // level first, instead of in a recursion per level.
    NodePtr expression() {
        Nesting nesting(*this, peek().position);
        std::vector<std::pair<int, NodePtr>> open;
        NodePtr current = unary();
        for (int level = levelOf(peek().kind); level >= 0; level = levelOf(peek().kind)) {
            const char op = operatorOf(take().kind);
            while (!open.empty() && open.back().first > level) {
                open.back().second->operands.push_back(std::move(current));
                current = std::move(open.back().second);
                open.pop_back();
            }
            if (!open.empty() && open.back().first == level) {
                open.back().second->operands.push_back(std::move(current));
                open.back().second->operators.push_back(op);
            } else {
                NodePtr chain = makeNode(NodeKind::Chain, current->position);
                chain->operands.push_back(std::move(current));
                chain->operators.push_back(op);
                open.emplace_back(level, std::move(chain));
            }
            current = unary();
        }
        while (!open.empty()) {
            open.back().second->operands.push_back(std::move(current));
            current = std::move(open.back().second);
            open.pop_back();
        }
        return current;
    }

    // Signs before a primary; each minus is a level of nesting of the tree.
    NodePtr unary() {
        std::vector<SourcePosition> minuses;
        while (peek().kind == TokenKind::Minus || peek().kind == TokenKind::Plus) {
            const Token& sign = take();
            if (sign.kind == TokenKind::Minus) {
                minuses.push_back(sign.position);
                if (depth_ + static_cast<int>(minuses.size()) > kMaxNesting) failTooDeep(sign.position);
            }
        }
        Nesting nesting(*this, peek().position, static_cast<int>(minuses.size()));
        NodePtr operand = primary();
        for (auto it = minuses.rbegin(); it != minuses.rend(); ++it) {
            NodePtr negate = makeNode(NodeKind::Negate, *it);
            negate->operands.push_back(std::move(operand));
            operand = std::move(negate);
        }
        return operand;
    }

    NodePtr primary() {
        const Token& t = peek();
        switch (t.kind) {
        case TokenKind::Number:
        case TokenKind::Text:
        case TokenKind::Variable: {
            take();
            NodePtr node = makeNode(t.kind == TokenKind::Number ? NodeKind::Number
                                    : t.kind == TokenKind::Text ? NodeKind::Text
                                                                : NodeKind::Variable,
                                    t.position);
            node->text = t.text;
            return node;
        }
        case TokenKind::LeftParen: {
            const Token& open = take();
            NodePtr inner = expression();
            if (!accept(TokenKind::RightParen)) failUnclosed(open, "parenthesis", peek());
            return inner;
        }
        case TokenKind::Name: return nameOrCall();
        default: failExpectedValue(t);
        }
    }

    // A word of a table or field name with blanks: the host writes "Sales::Unit Price" and
    // "Price List::Amount", words one after another, which nothing else in the language does.
    bool isNameWord(std::size_t ahead) const {
        const std::size_t at = std::min(next_ + ahead, tokens_.size() - 1);
        return tokens_[at].kind == TokenKind::Name || tokens_[at].kind == TokenKind::Number;
    }
    // Takes the words after the first one of a name with blanks into `name`.
    void takeMoreWords(std::string& name) {
        while (isNameWord(0)) name += " " + take().text;
    }
    // True when the words from here on are followed by "::": a table name with blanks.
    bool tableNameFollows() const {
        std::size_t ahead = 0;
        while (isNameWord(ahead)) ++ahead;
        return ahead > 0 && tokens_[std::min(next_ + ahead, tokens_.size() - 1)].kind == TokenKind::DoubleColon;
    }

    NodePtr nameOrCall() {
        const Token& name = take();
        std::string table = name.text;
        if (tableNameFollows()) takeMoreWords(table);
        if (peek().kind == TokenKind::DoubleColon) {
            take();
            if (peek().kind != TokenKind::Name) failAfter(peek(), "expected a field name after '" + table + "::'");
            NodePtr node = makeNode(NodeKind::Field, name.position);
            node->text = table;
            node->field = take().text;
            takeMoreWords(node->field);
            return node;
        }
        if (peek().kind != TokenKind::LeftParen) {
            NodePtr node = makeNode(NodeKind::Name, name.position);
            node->text = name.text;
            return node;
        }
        if (equalsIgnoringCase(name.text, "Let")) return let(name);
        const Token& open = take();
        NodePtr node = makeNode(NodeKind::Call, name.position);
        node->text = name.text;
        if (accept(TokenKind::RightParen)) return node;
        for (;;) {
            node->operands.push_back(expression());
            if (accept(TokenKind::Semicolon)) continue;
            if (accept(TokenKind::RightParen)) return node;
            failInCall(name, open, peek());
        }
    }

    // Let ( name = value ; body ) or Let ( [ name = value ; ... ] ; body )
    NodePtr let(const Token& keyword) {
        const Token& open = take();
        NodePtr node = makeNode(NodeKind::Let, keyword.position);
        node->text = keyword.text;
        if (peek().kind == TokenKind::LeftBracket) {
            const Token& bracket = take();
            for (;;) {
                binding(*node);
                if (accept(TokenKind::Semicolon)) continue;
                if (accept(TokenKind::RightBracket)) break;
                failInLetList(bracket, peek());
            }
        } else {
            binding(*node);
        }
        if (!accept(TokenKind::Semicolon)) failAfter(peek(), "expected ';' and the result expression of Let");
        node->operands.push_back(expression());
        if (!accept(TokenKind::RightParen)) failUnclosed(open, "Let", peek());
        return node;
    }

    void binding(Node& let) {
        const Token& name = peek();
        if (name.kind != TokenKind::Name && name.kind != TokenKind::Variable)
            failAfter(name, "expected a name to bind in Let");
        take();
        if (!accept(TokenKind::Equals)) failAfter(peek(), "expected '=' after " + name.text + " in Let");
        let.names.push_back(name.text);
        let.operands.push_back(expression());
    }
};

}  // namespace

NodePtr parseExpression(std::string_view source) { return Parser(tokenize(source)).run(); }

}  // namespace plotwise::app
