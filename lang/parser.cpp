#include "parser.h"

#include <string>
#include <utility>

#include "functions.h"
#include "lowered_functions.h"

namespace lang {

namespace {

constexpr const char* keywords[] = {"const", "var", "param", "eq", "out",
                                    "def",   "for", "in",    "sum"};

// The words that open a statement.
constexpr const char* statement_words[] = {"const", "var", "param", "eq", "out", "def"};

bool is_word(const Token& token, std::string_view word) {
    return token.kind == TokenKind::name && token.spelling == word;
}

bool starts_statement(const Token& token) {
    if (token.kind == TokenKind::end) {
        return true;
    }
    for (const char* word : statement_words) {
        if (is_word(token, word)) {
            return true;
        }
    }
    return false;
}

// Joins alternatives for a message: "a", "a or b", "a, b or c".
std::string one_of(const std::vector<std::string>& alternatives) {
    std::string joined;
    for (std::size_t i = 0; i < alternatives.size(); ++i) {
        if (i > 0) {
            joined += i + 1 == alternatives.size() ? " or " : ", ";
        }
        joined += alternatives[i];
    }
    return joined;
}

class Parser {
  public:
    Parser(const std::vector<Token>& tokens, const DefinedFunction& defined)
        : tokens_(tokens), defined_(defined) {}

    void statements(const std::function<void(const Statement&)>& each) {
        while (peek().kind != TokenKind::end) {
            each(statement());
        }
    }

  private:
    // Counts one level of nesting while it lives.
    class Nesting {
      public:
        Nesting(Parser& parser, const Token& at) : parser_(parser) {
            if (++parser_.depth_ > max_nesting) {
                fail_at(at.position, "the expression nests deeper than " +
                                         std::to_string(max_nesting) + " levels");
            }
        }
        ~Nesting() { --parser_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

      private:
        Parser& parser_;
    };

    const Token& peek(std::size_t ahead = 0) const {
        const std::size_t at = at_ + ahead;
        return at < tokens_.size() ? tokens_[at] : tokens_.back();
    }
    const Token& take() {
        const Token& token = tokens_[at_];
        if (token.kind != TokenKind::end) {
            ++at_;
        }
        return token;
    }
    bool accept(TokenKind kind) {
        if (peek().kind != kind) {
            return false;
        }
        take();
        return true;
    }
    bool accept_word(std::string_view word) {
        if (!is_word(peek(), word)) {
            return false;
        }
        take();
        return true;
    }
    [[noreturn]] void fail_expecting(const std::string& expected) const {
        fail_at(peek().position, "expected " + expected + ", found " + describe(peek()));
    }
    const Token& expect(TokenKind kind, const std::string& expected) {
        if (peek().kind != kind) {
            fail_expecting(expected);
        }
        return take();
    }
    // Expects the bracket that closes `opener`. When no such bracket follows
    // before the next statement, the fault is the opener left open, and is
    // reported there rather than wherever the text happens to go on.
    void expect_closing(const Token& opener, const std::string& expected) {
        const TokenKind closer = opener.kind == TokenKind::left_paren ? TokenKind::right_paren
                                                                      : TokenKind::right_bracket;
        if (peek().kind == closer) {
            take();
            return;
        }
        if (!closed_later(opener.kind, closer)) {
            const Position found = peek().position;
            fail_at(opener.position,
                    "this '" + std::string(opener.spelling) + "' is not closed: expected " +
                        expected + ", found " + describe(peek()) + " at line " +
                        std::to_string(found.line) + ", column " + std::to_string(found.column));
        }
        fail_expecting(expected);
    }
    // Whether a bracket of kind `closer` that matches none opened after here
    // comes before the next statement.
    bool closed_later(TokenKind opener, TokenKind closer) const {
        int open = 0;
        for (std::size_t ahead = 0; !starts_statement(peek(ahead)); ++ahead) {
            const TokenKind kind = peek(ahead).kind;
            if (kind == opener) {
                ++open;
            } else if (kind == closer && open-- == 0) {
                return true;
            }
        }
        return false;
    }
    void expect_word(std::string_view word, const std::string& expected) {
        if (!accept_word(word)) {
            fail_expecting(expected);
        }
    }
    // A statement ends where the next one begins; `continuations` says what
    // else could have followed.
    void end_statement(std::vector<std::string> continuations) {
        if (!starts_statement(peek())) {
            continuations.emplace_back("the next statement");
            fail_expecting(one_of(continuations));
        }
    }

    // A name that the author chooses: not a keyword or function.
    const Token& new_name(const std::string& what) {
        const Token& token = peek();
        if (token.kind == TokenKind::name && is_reserved(token.spelling)) {
            const char* role = is_builtin_function(token.spelling) ? "a function" : "a keyword";
            fail_at(token.position, "'" + std::string(token.spelling) + "' is " + role +
                                        " and cannot name " + what);
        }
        return expect(TokenKind::name, "the name of " + what);
    }

    Statement statement() {
        if (accept_word("const")) {
            return constant();
        }
        if (accept_word("var")) {
            return variable(false);
        }
        if (accept_word("param")) {
            return variable(true);
        }
        if (is_word(peek(), "eq")) {
            return equation();
        }
        if (accept_word("out")) {
            return output();
        }
        if (accept_word("def")) {
            return definition();
        }
        fail_expecting("a statement: const, var, param, eq, out or def");
    }

    ConstantStatement constant() {
        ConstantStatement result;
        const Token& name = new_name("a constant");
        result.target.name = std::string(name.spelling);
        result.target.position = name.position;
        if (peek().kind == TokenKind::left_bracket) {
            constant_indices(result);
        }
        expect(TokenKind::equals, "'=' and the value of " + result.target.name);
        if (!result.extents.empty()) {
            result.value = list(result.extents.size(), result.target.name);
            end_statement({});
            return result;
        }
        result.value = expression();
        result.ranges = optional_ranges();
        end_statement({"an operator", result.ranges.empty() ? "'for'" : "','"});
        return result;
    }

    // [index, ...] of a constant, or [first..last, ...] of an array constant;
    // one range makes them all ranges.
    void constant_indices(ConstantStatement& constant) {
        const std::string& name = constant.target.name;
        const Token& opener = peek();
        const Nesting level(*this, opener);
        take();
        std::vector<Syntax> indices;
        std::vector<Extent> extents;
        do {
            const Position at = peek().position;
            Syntax first = expression();
            if (accept(TokenKind::range)) {
                extents.push_back({at, std::move(first), expression()});
            } else {
                indices.push_back(std::move(first));
            }
            if (!indices.empty() && !extents.empty()) {
                fail_at(at, "the indices of " + name +
                                " are either all ranges first..last (an array constant) or "
                                "none");
            }
        } while (accept(TokenKind::comma));
        expect_closing(opener, "']' after the indices of " + name);
        constant.target.indices = std::move(indices);
        constant.extents = std::move(extents);
    }

    // [element, ...], `levels` deep: the values of an array constant.
    Syntax list(std::size_t levels, const std::string& name) {
        const Token& opener = peek();
        const Nesting level(*this, opener);
        const std::size_t first_token = at_;
        const std::string what = levels > 1 ? "a list of values of " : "a list of the values of ";
        expect(TokenKind::left_bracket, "'[' and " + what + name);
        Syntax result = starting(Syntax::Kind::list, opener, first_token);
        do {
            result.operands.push_back(levels > 1 ? list(levels - 1, name) : expression());
        } while (accept(TokenKind::comma));
        expect_closing(opener, levels > 1 ? "',' or ']' after the lists of " + name
                                          : "an operator, ',' or ']' after the values of " + name);
        result.end_token = at_;
        return result;
    }

    VariableStatement variable(bool parameter) {
        VariableStatement result;
        result.parameter = parameter;
        result.target = declarator(parameter ? "a parameter" : "a variable");
        std::vector<std::string> continuations = {"'='", "'in'", "a description in quotes",
                                                  "'for'"};
        if (parameter) {
            expect(TokenKind::equals, "'=' and the value of the parameter " + result.target.name);
            result.initial = expression();
            continuations = {"an operator", "'in'", "a description in quotes", "'for'"};
        } else if (accept(TokenKind::equals)) {
            result.initial = expression();
            continuations = {"an operator", "'in'", "a description in quotes", "'for'"};
        }
        if (accept_word("in")) {
            bounds(result);
            continuations = {"a description in quotes", "'for'"};
        }
        end_described(result, std::move(continuations));
        return result;
    }

    // An optional description in quotes, optional ranges, and the end of the
    // statement; `continuations` says what could have followed so far.
    template <typename Described>
    void end_described(Described& result, std::vector<std::string> continuations) {
        if (peek().kind == TokenKind::text) {
            result.description = take().text;
            continuations = {"'for'"};
        }
        result.ranges = optional_ranges();
        if (!result.ranges.empty()) {
            continuations = {"an operator", "','"};
        }
        end_statement(continuations);
    }

    // [lower, upper], either of them left out when the variable has no such bound.
    void bounds(VariableStatement& variable) {
        const std::string& name = variable.target.name;
        const Token& opener = expect(TokenKind::left_bracket, "'[' and the bounds of " + name);
        if (peek().kind != TokenKind::comma) {
            variable.lower = expression();
        }
        expect(TokenKind::comma, "',' between the bounds of " + name);
        if (peek().kind != TokenKind::right_bracket) {
            variable.upper = expression();
        }
        expect_closing(opener, "']' after the bounds of " + name);
    }

    EquationStatement equation() {
        EquationStatement result;
        result.position = take().position;
        if (label_ahead()) {
            result.label = declarator("an equation");
            expect(TokenKind::colon, "':' after the label of the equation");
        }
        result.first_token = at_;
        result.lhs = expression();
        expect(TokenKind::equals, "an operator or '=' between the two sides of the equation");
        result.rhs = expression();
        result.end_token = at_;
        result.ranges = optional_ranges();
        end_statement({"an operator", result.ranges.empty() ? "'for'" : "','"});
        return result;
    }

    OutputStatement output() {
        OutputStatement result;
        result.target = declarator("an output");
        expect(TokenKind::equals, "'=' and the expression of " + result.target.name);
        result.first_token = at_;
        result.value = expression();
        result.end_token = at_;
        end_described(result, {"an operator", "a description in quotes", "'for'"});
        return result;
    }

    // def NAME(PARAMETER, ...) = BODY
    FunctionStatement definition() {
        FunctionStatement result;
        const Token& name = new_name("a function");
        result.name = std::string(name.spelling);
        result.position = name.position;
        const Token& opener =
            expect(TokenKind::left_paren, "'(' and the arguments of " + result.name);
        do {
            const Token& parameter = new_name("an argument");
            result.parameters.emplace_back(parameter.spelling);
            result.parameter_positions.push_back(parameter.position);
        } while (accept(TokenKind::comma));
        expect_closing(opener, "',' or ')' after the arguments of " + result.name);
        expect(TokenKind::equals, "'=' and the expression of " + result.name);
        defining_ = &result.name;
        result.body = expression();
        defining_ = nullptr;
        end_statement({"an operator"});
        return result;
    }

    // After eq: a name, with indices or not, followed by ':'.
    bool label_ahead() const {
        if (peek().kind != TokenKind::name) {
            return false;
        }
        if (peek(1).kind == TokenKind::colon) {
            return true;
        }
        if (peek(1).kind != TokenKind::left_bracket) {
            return false;
        }
        int open = 0;
        for (std::size_t ahead = 1;; ++ahead) {
            const Token& token = peek(ahead);
            if (token.kind == TokenKind::left_bracket) {
                ++open;
            } else if (token.kind == TokenKind::right_bracket && --open == 0) {
                return peek(ahead + 1).kind == TokenKind::colon;
            } else if (starts_statement(token)) {
                return false;
            }
        }
    }

    Declarator declarator(const std::string& what) {
        Declarator result;
        const Token& name = new_name(what);
        result.name = std::string(name.spelling);
        result.position = name.position;
        if (peek().kind == TokenKind::left_bracket) {
            result.indices = indices(result.name);
        }
        return result;
    }

    // '[' expression (',' expression)* ']'
    std::vector<Syntax> indices(const std::string& name) {
        const Token& opener = peek();
        const Nesting level(*this, opener);
        take();
        std::vector<Syntax> result;
        do {
            result.push_back(expression());
        } while (accept(TokenKind::comma));
        expect_closing(opener, "']' after the indices of " + name);
        return result;
    }

    std::vector<LoopRange> optional_ranges() {
        std::vector<LoopRange> result;
        if (accept_word("for")) {
            result = ranges();
        }
        return result;
    }

    // index 'in' first '..' last (',' ...)*
    std::vector<LoopRange> ranges() {
        std::vector<LoopRange> result;
        do {
            LoopRange range;
            const Token& index = new_name("an index");
            range.index = std::string(index.spelling);
            range.position = index.position;
            expect_word("in", "'in' after the index " + range.index);
            range.first = expression();
            expect(TokenKind::range, "'..' in the range of " + range.index);
            range.last = expression();
            result.push_back(std::move(range));
        } while (accept(TokenKind::comma));
        return result;
    }

    // Terms joined by + and -.
    Syntax expression() {
        Syntax first = term();
        if (peek().kind != TokenKind::plus && peek().kind != TokenKind::minus) {
            return first;
        }
        return joined(Syntax::Kind::terms, std::move(first), TokenKind::plus, TokenKind::minus,
                      &Parser::term);
    }

    // Factors joined by * and /.
    Syntax term() {
        Syntax first = unary();
        if (peek().kind != TokenKind::star && peek().kind != TokenKind::slash) {
            return first;
        }
        return joined(Syntax::Kind::factors, std::move(first), TokenKind::star, TokenKind::slash,
                      &Parser::unary);
    }

    Syntax joined(Syntax::Kind kind, Syntax first, TokenKind one, TokenKind other,
                  Syntax (Parser::*operand)()) {
        Syntax result;
        result.kind = kind;
        result.position = first.position;
        result.first_token = first.first_token;
        result.operands.push_back(std::move(first));
        while (peek().kind == one || peek().kind == other) {
            result.operators.push_back(take().kind);
            result.operands.push_back((this->*operand)());
        }
        result.end_token = result.operands.back().end_token;
        return result;
    }

    Syntax unary() {
        const Token& sign = peek();
        if (sign.kind != TokenKind::minus && sign.kind != TokenKind::plus) {
            return power();
        }
        const Nesting level(*this, sign);
        const std::size_t first_token = at_;
        take();
        Syntax operand = unary();
        if (sign.kind == TokenKind::plus) {
            return operand;
        }
        Syntax result = starting(Syntax::Kind::negate, sign, first_token);
        result.end_token = operand.end_token;
        result.operands.push_back(std::move(operand));
        return result;
    }

    // primary ['^' unary]: right-associative, and -x^2 is -(x^2).
    Syntax power() {
        Syntax base = primary();
        if (peek().kind != TokenKind::caret) {
            return base;
        }
        const Nesting level(*this, peek());
        take();
        Syntax result;
        result.kind = Syntax::Kind::power;
        result.position = base.position;
        result.first_token = base.first_token;
        result.operands.push_back(std::move(base));
        result.operands.push_back(unary());
        result.end_token = result.operands.back().end_token;
        return result;
    }

    Syntax starting(Syntax::Kind kind, const Token& token, std::size_t first_token) const {
        Syntax result;
        result.kind = kind;
        result.position = token.position;
        result.first_token = first_token;
        return result;
    }

    Syntax primary() {
        const std::size_t first_token = at_;
        const Token& token = peek();
        if (token.kind == TokenKind::number) {
            take();
            Syntax result = starting(Syntax::Kind::number, token, first_token);
            result.number = token.number;
            result.end_token = at_;
            return result;
        }
        if (token.kind == TokenKind::left_paren) {
            const Nesting level(*this, token);
            take();
            Syntax inner = expression();
            expect_closing(token, "an operator or ')'");
            return inner;
        }
        if (token.kind == TokenKind::name && !is_word(token, "for") && !is_word(token, "in") &&
            !starts_statement(token)) {
            take();
            Syntax result = named(token, first_token);
            result.end_token = at_;
            return result;
        }
        fail_expecting("a number, a name or '('");
    }

    // Whether `name` can be called here: a function of the language's, or one
    // the model defined before this statement (not the one being defined).
    bool callable(std::string_view name) const {
        return is_builtin_function(name) ||
               ((defining_ == nullptr || *defining_ != name) && defined_ && defined_(name));
    }

    // What follows a name: a call, a sum, indices or nothing.
    Syntax named(const Token& name, std::size_t first_token) {
        if (name.spelling == "sum") {
            return sum(name, first_token);
        }
        if (callable(name.spelling)) {
            Syntax result = starting(Syntax::Kind::call, name, first_token);
            result.name = std::string(name.spelling);
            result.operands = arguments(name);
            return result;
        }
        if (peek().kind == TokenKind::left_paren) {
            if (defining_ != nullptr && *defining_ == name.spelling) {
                fail_at(name.position, *defining_ +
                                           " cannot call itself: a function is "
                                           "expanded where it is called");
            }
            fail_at(name.position, "unknown function " + std::string(name.spelling) +
                                       "; the functions are " + function_list());
        }
        Syntax result = starting(Syntax::Kind::name, name, first_token);
        result.name = std::string(name.spelling);
        if (peek().kind == TokenKind::left_bracket) {
            result.kind = Syntax::Kind::indexed;
            result.operands = indices(result.name);
        }
        return result;
    }

    // One argument of a function the language has that takes one; one or
    // more, separated by commas, of any other.
    std::vector<Syntax> arguments(const Token& function) {
        const std::string name(function.spelling);
        const Nesting level(*this, peek());
        const Token& opener = expect(TokenKind::left_paren, "'(' after " + name);
        std::vector<Syntax> result;
        if (function_named(name) || takes_one_argument(name)) {
            result.push_back(expression());
            expect_closing(opener, "')' after the argument of " + name);
            return result;
        }
        do {
            result.push_back(expression());
        } while (accept(TokenKind::comma));
        expect_closing(opener, "an operator, ',' or ')' after the arguments of " + name);
        return result;
    }

    static bool takes_one_argument(const std::string& name) {
        const LoweredFunction* lowered = lowered_function_named(name);
        return lowered != nullptr && lowered->most_arguments == 1;
    }

    // sum(summand for i in first..last, ...)
    Syntax sum(const Token& name, std::size_t first_token) {
        Syntax result = starting(Syntax::Kind::sum_over, name, first_token);
        const Nesting level(*this, peek());
        const Token& opener = expect(TokenKind::left_paren, "'(' after sum");
        result.operands.push_back(expression());
        expect_word("for", "an operator or 'for' and the ranges of the sum");
        result.ranges = ranges();
        expect_closing(opener, "an operator, ',' or ')' after the ranges of the sum");
        return result;
    }

    const std::vector<Token>& tokens_;
    const DefinedFunction& defined_;
    const std::string* defining_ = nullptr;  // the function whose body is read
    std::size_t at_ = 0;
    int depth_ = 0;
};

}  // namespace

bool is_reserved(std::string_view word) {
    for (const char* keyword : keywords) {
        if (word == keyword) {
            return true;
        }
    }
    return is_builtin_function(word);
}

void parse_statements(const std::vector<Token>& tokens,
                      const std::function<void(const Statement&)>& each,
                      const DefinedFunction& defined) {
    Parser(tokens, defined).statements(each);
}

}  // namespace lang
