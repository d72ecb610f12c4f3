// The lexer: one pass over UTF-8 source bytes, keeping line and column (in characters).
#include "app/lexer.h"

#include "app/text_util.h"
#include "common/utf8.h"

#include <array>
#include <utility>

namespace plotwise::app {

namespace {

constexpr std::string_view kPilcrow = "\xC2\xB6";  // ¶, the host's carriage-return sign
constexpr char kReturn = '\r';

// Single-character tokens.
constexpr std::array<std::pair<char, TokenKind>, 12> kPunctuation{{
    {'(', TokenKind::LeftParen}, {')', TokenKind::RightParen}, {'[', TokenKind::LeftBracket},
    {']', TokenKind::RightBracket}, {';', TokenKind::Semicolon}, {',', TokenKind::Comma},
    {'&', TokenKind::Ampersand}, {'+', TokenKind::Plus}, {'-', TokenKind::Minus},
    {'*', TokenKind::Star}, {'/', TokenKind::Slash}, {'=', TokenKind::Equals},
}};

constexpr std::array<std::pair<TokenKind, std::string_view>, 18> kKindNames{{
    {TokenKind::End, "the end of the expression"}, {TokenKind::Number, "a number"},
    {TokenKind::Text, "a text"}, {TokenKind::Name, "a name"}, {TokenKind::Variable, "a $variable"},
    {TokenKind::LeftParen, "'('"}, {TokenKind::RightParen, "')'"}, {TokenKind::LeftBracket, "'['"},
    {TokenKind::RightBracket, "']'"}, {TokenKind::Semicolon, "';'"}, {TokenKind::Comma, "','"},
    {TokenKind::Ampersand, "'&'"}, {TokenKind::Plus, "'+'"}, {TokenKind::Minus, "'-'"},
    {TokenKind::Star, "'*'"}, {TokenKind::Slash, "'/'"}, {TokenKind::Equals, "'='"},
    {TokenKind::DoubleColon, "'::'"},
}};

// Operators of the host's language that this subset leaves out, named in the message.
constexpr std::array<std::string_view, 9> kUnsupportedOperators{
    "<", ">", "^", "\xE2\x89\xA0" /* ≠ */, "\xE2\x89\xA4" /* ≤ */, "\xE2\x89\xA5" /* ≥ */, "!", "%", "|"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

class Lexer {
public:
    explicit Lexer(std::string_view source) : src_(source) {}

    std::vector<Token> run() {
        checkEncoding();
        std::vector<Token> tokens;
        for (;;) {
            skipBlanksAndComments();
            Token token;
            token.position = here();
            if (atEnd()) {
                tokens.push_back(std::move(token));
                return tokens;
            }
            lexToken(token);
            tokens.push_back(std::move(token));
        }
    }

private:
    std::string_view src_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;

    bool atEnd() const { return pos_ >= src_.size(); }
    char peek(std::size_t ahead = 0) const { return pos_ + ahead < src_.size() ? src_[pos_ + ahead] : '\0'; }
    bool startsWith(std::string_view s) const { return src_.substr(pos_).starts_with(s); }
    SourcePosition here() const { return {line_, column_}; }

    // Moves past one character (a whole UTF-8 sequence, or a whole line break).
    void advance() {
        const char c = src_[pos_];
        if (c == '\n' || c == '\r') {
            pos_ += (c == '\r' && peek(1) == '\n') ? 2 : 1;
            ++line_;
            column_ = 1;
            return;
        }
        pos_ += utf8::sequenceLength(src_, pos_);
        ++column_;
    }

    void checkEncoding() {
        for (std::size_t i = 0; i < src_.size();) {
            const std::size_t n = utf8::sequenceLength(src_, i);
            if (n == 0) {
                while (pos_ < i) advance();
                throw SyntaxError(here(), "the expression is not valid UTF-8 here");
            }
            i += n;
        }
    }

    void skipBlanksAndComments() {
        while (!atEnd()) {
            const char c = peek();
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                advance();
            } else if (startsWith("\xC2\xA0") || startsWith("\xEF\xBB\xBF")) {
                advance();  // no-break and zero-width spaces, as pasted from a layout
            } else if (startsWith("//")) {
                while (!atEnd() && peek() != '\n' && peek() != '\r') advance();
            } else if (startsWith("/*")) {
                const SourcePosition opened = here();
                advance();
                advance();
                while (!atEnd() && !startsWith("*/")) advance();
                if (atEnd()) throw SyntaxError(opened, "comment opened here is not closed with '*/'");
                advance();
                advance();
            } else {
                return;
            }
        }
    }

    void lexToken(Token& token) {
        const char c = peek();
        if (c == '"') return lexText(token);
        if (startsWith(kPilcrow)) {
            advance();
            token.kind = TokenKind::Text;
            token.text = std::string(1, kReturn);
            return;
        }
        if (isDigit(c) || (c == '.' && isDigit(peek(1)))) return lexNumber(token);
        if (c == '$') return lexDollar(token);
        if (startsWith("::")) {
            advance();
            advance();
            token.kind = TokenKind::DoubleColon;
            return;
        }
        for (const auto& [ch, kind] : kPunctuation) {
            if (c == ch) {
                advance();
                token.kind = kind;
                return;
            }
        }
        for (std::string_view op : kUnsupportedOperators) {
            if (startsWith(op))
                throw SyntaxError(here(), "the operator '" + std::string(op) +
                                              "' is not part of plotwise's calculation language");
        }
        if (isNameStart()) {
            token.kind = TokenKind::Name;
            token.text = lexNameCharacters();
            return;
        }
        const std::size_t n = utf8::sequenceLength(src_, pos_);
        throw SyntaxError(here(), "unexpected character '" + std::string(src_.substr(pos_, n)) + "'");
    }

    // Letters, '_' and any non-ASCII character except the pilcrow and the no-break space.
    bool isNameStart() const {
        const char c = peek();
        if (isAsciiLetter(c) || c == '_') return true;
        return static_cast<unsigned char>(c) >= 0x80 && !startsWith(kPilcrow) && !startsWith("\xC2\xA0") &&
               !startsWith("\xEF\xBB\xBF");
    }
    bool isNamePart() const { return isNameStart() || isDigit(peek()); }

    std::string lexNameCharacters() {
        const std::size_t start = pos_;
        while (!atEnd() && isNamePart()) advance();
        return std::string(src_.substr(start, pos_ - start));
    }

    void lexNumber(Token& token) {
        const std::size_t start = pos_;
        while (isDigit(peek())) advance();
        if (peek() == '.') {
            advance();
            while (isDigit(peek())) advance();
        }
        if (peek() == 'e' || peek() == 'E') {
            // An exponent only when digits follow; "2e" is a number and a name ("e").
            std::size_t k = 1;
            if (peek(k) == '+' || peek(k) == '-') ++k;
            if (isDigit(peek(k))) {
                for (std::size_t i = 0; i < k; ++i) advance();
                while (isDigit(peek())) advance();
            }
        }
        if (peek() == '.') throw SyntaxError(here(), "a number has at most one decimal point");
        token.kind = TokenKind::Number;
        token.text = std::string(src_.substr(start, pos_ - start));
    }

    // $name, $$name, and ${any name} (a field or table name that is not a plain word).
    void lexDollar(Token& token) {
        const SourcePosition start = here();
        advance();
        if (peek() == '{') {
            advance();
            const std::size_t from = pos_;
            while (!atEnd() && peek() != '}' && peek() != '\n' && peek() != '\r') advance();
            if (peek() != '}') throw SyntaxError(start, "name opened with '${' here is not closed with '}'");
            token.kind = TokenKind::Name;
            token.text = std::string(src_.substr(from, pos_ - from));
            advance();
            if (token.text.empty()) throw SyntaxError(start, "'${}' names nothing");
            return;
        }
        std::string name = "$";
        if (peek() == '$') {
            advance();
            name += '$';
        }
        if (atEnd() || !isNamePart())
            throw SyntaxError(start, "expected a variable name after '" + name + "'");
        token.kind = TokenKind::Variable;
        token.text = name + lexNameCharacters();
    }

    void lexText(Token& token) {
        const SourcePosition opened = here();
        advance();
        std::string value;
        for (;;) {
            if (atEnd()) throw SyntaxError(opened, "text opened here is not closed with '\"'");
            const char c = peek();
            if (c == '"') {
                advance();
                break;
            }
            if (c == '\\') {
                const char next = peek(1);
                if (next == '"' || next == '\\') {
                    value += next;
                    advance();
                    advance();
                    continue;
                }
                if (src_.substr(pos_ + 1).starts_with(kPilcrow)) {  // \¶ is the sign itself
                    value += kPilcrow;
                    advance();
                    advance();
                    continue;
                }
                // Any other backslash stands for itself, as in the host.
                value += c;
                advance();
                continue;
            }
            if (startsWith(kPilcrow) || c == '\n' || c == '\r') {
                // The host keeps line breaks as carriage returns.
                value += kReturn;
                advance();
                continue;
            }
            const std::size_t n = utf8::sequenceLength(src_, pos_);
            value.append(src_.substr(pos_, n));
            advance();
        }
        token.kind = TokenKind::Text;
        token.text = std::move(value);
    }
};

}  // namespace

std::string_view describe(TokenKind kind) {
    for (const auto& [k, name] : kKindNames)
        if (k == kind) return name;
    return "a token";
}

std::string describe(const Token& token) {
    switch (token.kind) {
    case TokenKind::Number: return "the number " + token.text;
    case TokenKind::Name: return "the name " + token.text;
    case TokenKind::Variable: return "the variable " + token.text;
    case TokenKind::Text: {
        if (token.text == "\r") return "\xC2\xB6";
        std::string shown(utf8::cut(token.text, 20));
        if (shown.size() < token.text.size()) shown += "...";
        for (char& c : shown)
            if (c == '\r') c = ' ';
        return "the text \"" + shown + "\"";
    }
    default: return std::string(describe(token.kind));
    }
}

std::vector<Token> tokenize(std::string_view source) { return Lexer(source).run(); }

}  // namespace plotwise::app
