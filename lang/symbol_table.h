#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "symbolic.h"
#include "syntax.h"
#include "token.h"

namespace lang {

struct Declaration {
    enum class Kind { constant, variable, parameter, output };

    Kind kind = Kind::constant;
    double value = 0.0;                      // of a constant
    std::shared_ptr<const Expr> expression;  // of an output
    Position position;
};

// "constant", "variable", "parameter", "output"; with its article, "a
// constant", "an output".
const char* kind_noun(Declaration::Kind kind);
std::string kind_text(Declaration::Kind kind);

// A function defined with def: its arguments' names and its body, expanded
// where it is called.
struct FunctionDefinition {
    std::vector<std::string> parameters;
    Syntax body;
    Position position;
};

// The constants, variables, parameters and outputs declared so far, by full
// symbol (x[3] for a member of a family), found by hash, and the functions
// defined so far, by name.
class SymbolTable {
  public:
    const Declaration* find(const std::string& symbol) const;
    const FunctionDefinition* find_function(std::string_view name) const;

    // All raise LangError at `where` when the name is taken. A variable,
    // parameter or output is also refused when it differs from another of
    // them only in letter case, since the plug-in hands the host upper-cased
    // names and the tool takes names in any case.
    void declare_constant(const std::string& symbol, double value, Position where);
    void declare_variable(const std::string& symbol, Position where, bool parameter = false);
    void declare_output(const std::string& symbol, Expr expression, Position where);
    void define_function(const FunctionStatement& statement);

    // The constants in the order declared, with their values.
    const std::vector<std::pair<std::string, double>>& constants() const { return constants_; }

  private:
    void refuse_taken(const std::string& symbol, Position where) const;
    void refuse_case_twin(const std::string& symbol, Position where);

    std::unordered_map<std::string, Declaration> declared_;
    std::unordered_map<std::string, std::string> named_by_host_name_;
    std::unordered_map<std::string, FunctionDefinition> functions_;
    std::vector<std::pair<std::string, double>> constants_;
};

// A name as the plug-in hands it to the host: a to z upper-cased.
std::string host_name(const std::string& name);

}  // namespace lang
