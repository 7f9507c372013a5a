#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "build_limits.h"
#include "symbol_table.h"
#include "syntax.h"

namespace lang {

// What names mean while a statement is expanded: the indices bound by its
// ranges and by enclosing sums, innermost last, and the declarations so far.
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

    // Raises LangError at `where`, naming the values of the bound indices so
    // that a fault in one instance of a family can be found.
    [[noreturn]] void fail(Position where, const std::string& message) const;

  private:
    struct Binding {
        std::string_view name;
        std::int64_t value;
    };

    const SymbolTable& symbols_;
    const BuildLimits& limits_;
    std::vector<Binding> bindings_;
};

}  // namespace lang
