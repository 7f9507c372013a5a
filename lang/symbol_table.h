#pragma once

#include <string>
#include <unordered_map>

#include "token.h"

namespace lang {

struct Declaration {
    enum class Kind { constant, variable };

    Kind kind = Kind::constant;
    double value = 0.0;  // of a constant
    Position position;
};

// The constants and variables declared so far, by full symbol (x[3] for a
// member of a family), found by hash.
class SymbolTable {
  public:
    const Declaration* find(const std::string& symbol) const;

    // Both raise LangError at `where` when the symbol is taken. A variable is
    // also refused when it differs from another only in letter case, since
    // the plug-in hands the host upper-cased names.
    void declare_constant(const std::string& symbol, double value, Position where);
    void declare_variable(const std::string& symbol, Position where);

  private:
    void refuse_taken(const std::string& symbol, Position where) const;

    std::unordered_map<std::string, Declaration> declared_;
    std::unordered_map<std::string, std::string> variable_by_host_name_;
};

// A name as the plug-in hands it to the host: a to z upper-cased.
std::string host_name(const std::string& name);

}  // namespace lang
