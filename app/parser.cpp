// The parser: tokens to a syntax tree, with the nesting depth bounded so that neither this
// recursion nor the evaluator's can exhaust the stack.
#include "app/parser.h"

#include <utility>

#include "app/lexer.h"
#include "app/text_util.h"

namespace plotwise::app {

namespace {

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    NodePtr run() {
        NodePtr root = expression();
        if (peek().kind == TokenKind::RightParen)
            throw SyntaxError(peek().position, "')' has no matching '('");
        if (peek().kind != TokenKind::End)
            throw SyntaxError(peek().position, "expected an operator or the end of the expression, found " +
                                                   describe(peek()));
        return root;
    }

private:
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
    int depth_ = 0;

    // Counts one level of nesting for as long as it lives.
    class Nesting {
    public:
        Nesting(Parser& parser, SourcePosition at) : parser_(parser) {
            if (++parser_.depth_ > kMaxNesting)
                throw SyntaxError(at, "the expression is nested too deeply (more than " +
                                          std::to_string(kMaxNesting) + " levels)");
        }
        ~Nesting() { --parser_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& parser_;
    };

    const Token& peek(std::size_t ahead = 0) const {
        const std::size_t i = next_ + ahead;
        return i < tokens_.size() ? tokens_[i] : tokens_.back();
    }
    Token take() {
        Token t = peek();
        if (next_ < tokens_.size() - 1) ++next_;
        return t;
    }
    bool accept(TokenKind kind) {
        if (peek().kind != kind) return false;
        take();
        return true;
    }

    static NodePtr makeNode(NodeKind kind, SourcePosition at) {
        auto node = std::make_unique<Node>();
        node->kind = kind;
        node->position = at;
        return node;
    }

    NodePtr expression() {
        Nesting nesting(*this, peek().position);
        return chain(0);
    }

    // Precedence levels, lowest first.
    static constexpr const char* kLevels[] = {"&", "+-", "*/"};

    static char operatorOf(TokenKind kind) {
        switch (kind) {
        case TokenKind::Ampersand: return '&';
        case TokenKind::Plus: return '+';
        case TokenKind::Minus: return '-';
        case TokenKind::Star: return '*';
        case TokenKind::Slash: return '/';
        default: return '\0';
        }
    }

    NodePtr chain(int level) {
        if (level == 3) return unary();
        NodePtr first = chain(level + 1);
        const std::string_view ops = kLevels[level];
        char op = operatorOf(peek().kind);
        if (op == '\0' || ops.find(op) == std::string_view::npos) return first;
        NodePtr node = makeNode(NodeKind::Chain, first->position);
        node->operands.push_back(std::move(first));
        while (op != '\0' && ops.find(op) != std::string_view::npos) {
            take();
            node->operators.push_back(op);
            node->operands.push_back(chain(level + 1));
            op = operatorOf(peek().kind);
        }
        return node;
    }

    NodePtr unary() {
        const Token& t = peek();
        if (t.kind == TokenKind::Minus || t.kind == TokenKind::Plus) {
            Nesting nesting(*this, t.position);
            const Token sign = take();
            NodePtr operand = unary();
            if (sign.kind == TokenKind::Plus) return operand;
            NodePtr node = makeNode(NodeKind::Negate, sign.position);
            node->operands.push_back(std::move(operand));
            return node;
        }
        return primary();
    }

    NodePtr primary() {
        const Token t = peek();
        switch (t.kind) {
        case TokenKind::Number: {
            take();
            NodePtr node = makeNode(NodeKind::Number, t.position);
            node->text = t.text;
            return node;
        }
        case TokenKind::Text: {
            take();
            NodePtr node = makeNode(NodeKind::Text, t.position);
            node->text = t.text;
            return node;
        }
        case TokenKind::Variable: {
            take();
            NodePtr node = makeNode(NodeKind::Variable, t.position);
            node->text = t.text;
            return node;
        }
        case TokenKind::LeftParen: {
            take();
            NodePtr inner = expression();
            expectClosing(t, "parenthesis");
            return inner;
        }
        case TokenKind::Name: return nameOrCall();
        default:
            throw SyntaxError(t.position, "expected a value (a number, a text, a name or '('), found " + describe(t));
        }
    }

    void expectClosing(const Token& opener, std::string_view what) {
        if (accept(TokenKind::RightParen)) return;
        throw SyntaxError(peek().position, "expected ')' to close the " + std::string(what) + " opened at " +
                                               app::describe(opener.position) + ", found " + describe(peek()));
    }

    NodePtr nameOrCall() {
        const Token name = take();
        if (peek().kind == TokenKind::DoubleColon) {
            take();
            if (peek().kind != TokenKind::Name)
                throw SyntaxError(peek().position,
                                  "expected a field name after '" + name.text + "::', found " + describe(peek()));
            NodePtr node = makeNode(NodeKind::Field, name.position);
            node->text = name.text;
            node->field = take().text;
            return node;
        }
        if (peek().kind != TokenKind::LeftParen) {
            NodePtr node = makeNode(NodeKind::Name, name.position);
            node->text = name.text;
            return node;
        }
        if (equalsIgnoringCase(name.text, "Let")) return let(name);
        const Token open = take();
        NodePtr node = makeNode(NodeKind::Call, name.position);
        node->text = name.text;
        if (accept(TokenKind::RightParen)) return node;
        for (;;) {
            node->operands.push_back(expression());
            if (accept(TokenKind::Semicolon)) continue;
            if (accept(TokenKind::RightParen)) return node;
            std::string message = "expected ';' or ')' in the call of " + name.text + " opened at " +
                                  app::describe(open.position) + ", found " + describe(peek());
            if (peek().kind == TokenKind::Comma) message += " (arguments are separated by ';')";
            throw SyntaxError(peek().position, message);
        }
    }

    // Let ( name = value ; body ) or Let ( [ name = value ; ... ] ; body )
    NodePtr let(const Token& keyword) {
        const Token open = take();
        NodePtr node = makeNode(NodeKind::Let, keyword.position);
        node->text = keyword.text;
        if (peek().kind == TokenKind::LeftBracket) {
            const Token bracket = take();
            for (;;) {
                binding(*node);
                if (accept(TokenKind::Semicolon)) continue;
                if (accept(TokenKind::RightBracket)) break;
                std::string message = "expected ';' or ']' in the list of Let opened at " +
                                      app::describe(bracket.position) + ", found " + describe(peek());
                if (peek().kind == TokenKind::Comma) message += " (bindings are separated by ';')";
                throw SyntaxError(peek().position, message);
            }
        } else {
            binding(*node);
        }
        if (!accept(TokenKind::Semicolon))
            throw SyntaxError(peek().position, "expected ';' and the result expression of Let, found " +
                                                   describe(peek()));
        node->operands.push_back(expression());
        expectClosing(open, "Let");
        return node;
    }

    void binding(Node& let) {
        const Token name = peek();
        if (name.kind != TokenKind::Name && name.kind != TokenKind::Variable)
            throw SyntaxError(name.position, "expected a name to bind in Let, found " + describe(name));
        take();
        if (!accept(TokenKind::Equals))
            throw SyntaxError(peek().position, "expected '=' after " + name.text + " in Let, found " + describe(peek()));
        let.names.push_back(name.text);
        let.operands.push_back(expression());
    }
};

}  // namespace

NodePtr parseExpression(std::string_view source) { return Parser(tokenize(source)).run(); }

}  // namespace plotwise::app
