#include "muparser_model.h"

#include <muParser.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {

// Muparser refuses expressions of 20000 characters or more.
constexpr std::size_t LONGEST_GROUP = 19000;

// Binds "x<i>" to element i of the value vector.
double* bind_variable(const char* name, void* values) {
    auto& vector = *static_cast<std::vector<double>*>(values);
    return &vector.at(static_cast<std::size_t>(std::strtol(name + 1, nullptr, 10)));
}

// A parser holding `formulas` in bytecode; muparser's own errors become
// standard ones.
std::unique_ptr<mu::Parser> parsed(const std::string& formulas, std::vector<double>& values) {
    auto parser = std::make_unique<mu::Parser>();
    try {
        parser->SetVarFactory(bind_variable, &values);
        parser->SetExpr(formulas);
        int results = 0;
        parser->Eval(results);  // parses into bytecode once
    } catch (const mu::ParserError& error) {
        throw std::runtime_error("muparser: " + error.GetMsg());
    }
    return parser;
}

}  // namespace

MuparserModel::MuparserModel(const std::vector<std::string>& formulas,
                             std::vector<double>& values) {
    std::string group;
    for (const std::string& formula : formulas) {
        if (!group.empty() && group.size() + 1 + formula.size() >= LONGEST_GROUP) {
            parsers_.push_back(parsed(group, values));
            group.clear();
        }
        group += (group.empty() ? "" : ",") + formula;
    }
    if (!group.empty()) {
        parsers_.push_back(parsed(group, values));
    }
}

MuparserModel::~MuparserModel() = default;

void MuparserModel::evaluate(double* out) const {
    for (const auto& parser : parsers_) {
        int results = 0;
        const double* values = parser->Eval(results);
        out = std::copy(values, values + results, out);
    }
}
