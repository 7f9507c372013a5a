#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "build_limits.h"
#include "symbol_table.h"
#include "symbolic.h"
#include "syntax.h"

namespace lang {

// What names mean while a statement is expanded: the indices bound by its
// ranges and by enclosing sums, innermost last, the arguments of the
// functions being expanded, and the declarations so far.
class Scope {
  public:
    Scope(const SymbolTable& symbols, const BuildLimits& limits)
        : symbols_(symbols), limits_(limits) {}

    const SymbolTable& symbols() const { return symbols_; }
    const BuildLimits& limits() const { return limits_; }

    // Binds the range's index to `value`. Raises LangError when a declaration
    // or an enclosing range already uses the name.
    void bind(const LoopRange& range, std::int64_t value);
    void unbind();
    std::int64_t innermost() const { return bindings_.back().value; }
    void step_innermost() { ++bindings_.back().value; }

    std::optional<std::int64_t> index(std::string_view name) const;

    // The value of argument `name` of the function being expanded; null when
    // it has none of that name, or none is being expanded.
    const Expr* argument(std::string_view name) const;

    // A function's body being expanded, while it lives: its parameters stand
    // for `arguments`, and the indices bound before are hidden, since a body
    // sees its arguments and its own sums' indices, not those of the
    // statement that calls it.
    class Expansion {
      public:
        Expansion(Scope& scope, const FunctionDefinition& function, std::vector<Expr> arguments);
        ~Expansion();
        Expansion(const Expansion&) = delete;
        Expansion& operator=(const Expansion&) = delete;

      private:
        Scope& scope_;
        std::size_t hidden_;
    };

    // One level of an expression being lowered, while it lives; raises
    // LangError at `where` beyond `most` levels, counted over every function
    // being expanded, so that functions nested in functions cannot run the
    // walks over the trees out of stack.
    class Level {
      public:
        Level(Scope& scope, Position where, int most);
        ~Level() { --scope_.depth_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;

      private:
        Scope& scope_;
    };

    // Raises LangError at `where`, naming the values of the bound indices so
    // that a fault in one instance of a family can be found.
    [[noreturn]] void fail(Position where, const std::string& message) const;

  private:
    struct Binding {
        std::string_view name;
        std::int64_t value;
    };
    struct Arguments {
        const FunctionDefinition* function;
        std::vector<Expr> values;
    };

    const SymbolTable& symbols_;
    const BuildLimits& limits_;
    std::vector<Binding> bindings_;
    std::size_t visible_from_ = 0;      // bindings below are hidden by an expansion
    std::vector<Arguments> arguments_;  // innermost last
    int depth_ = 0;
};

}  // namespace lang
