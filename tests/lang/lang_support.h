#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "case_names.h"
#include "evaluate_expression.h"
#include "language_members.h"
#include "model_definition.h"
#include "model_language.h"
#include "temp_model_file.h"

// A model file loaded as the plug-in loads it, with every model variable at
// its initial value (0 where it has none), ready to evaluate trees.
class LoadedModel {
  public:
    explicit LoadedModel(const std::string& json) {
        TempModelFile file(json);
        model_.load_model(file.path());
        members_ = read_language_members(file.path());
        std::int32_t number = 0;
        for (auto& variable : model_.variables()) {
            variable.variable_number = ++number;
            values_.push_back(variable.initial == VALUE_NOT_GIVEN ? 0.0 : variable.initial);
        }
    }

    const ModelDefinition& model() const { return model_; }
    const LanguageMembers& members() const { return members_; }

    // The model as show prints it.
    std::string shown(lang::Showing showing) const {
        return lang::show_model(model_, members_, showing);
    }

    // The value of output `symbol` at the variables' current values.
    double output(const std::string& symbol) const {
        for (const auto& output : members_.outputs->equations()) {
            if (output.equation_name() == symbol) {
                return evaluate_expression(OneBasedValues(values_.data(), values_.size()), output,
                                           model_);
            }
        }
        throw std::runtime_error("no output " + symbol);
    }

    const ExprNode& equation(const std::string& name) const {
        for (const auto& equation : model_.equations()) {
            if (equation.equation_name() == name) {
                return equation;
            }
        }
        throw std::runtime_error("no equation " + name);
    }

    void set(const std::string& symbol, double value) {
        const VariableDef* variable = model_.find_variable(symbol);
        if (variable == nullptr) {
            throw std::runtime_error("no variable " + symbol);
        }
        values_[static_cast<std::size_t>(variable->variable_number - 1)] = value;
    }

    double value(const ExprNode& tree) const {
        return evaluate_expression(OneBasedValues(values_.data(), values_.size()), tree, model_);
    }

  private:
    ModelDefinition model_;
    LanguageMembers members_;
    std::vector<double> values_;
};

inline std::unique_ptr<LoadedModel> build_and_load(const std::string& text) {
    return std::make_unique<LoadedModel>(lang::build_model_json(text, "test.eqs"));
}

// The derivative tree of `equation`'s entry for `symbol`.
inline const ExprNode& derivative_of(const ExprNode& equation, const std::string& symbol) {
    for (const auto& entry : equation.variables()) {
        if (entry.variable_symbol == symbol) {
            return *entry.differential;
        }
    }
    throw std::runtime_error("no entry " + symbol);
}

// The entries' symbols, in order.
inline std::vector<std::string> entry_symbols(const ExprNode& equation) {
    std::vector<std::string> symbols;
    for (const auto& entry : equation.variables()) {
        symbols.emplace_back(entry.variable_symbol);
    }
    return symbols;
}

// The model file without the texts as written ("EquationString"), which show
// does not keep: what a round trip through show must give again.
inline nlohmann::json trees(const std::string& model) {
    nlohmann::json file = nlohmann::json::parse(model);
    for (const char* list : {"EquationList", "Outputs"}) {
        if (file.contains(list)) {
            for (nlohmann::json& record : file[list]) {
                record.erase("EquationString");
            }
        }
    }
    return file;
}

// The fault that building `text` raises.
inline lang::LangError build_fault(const std::string& text) {
    try {
        lang::build_model_json(text, "test.eqs");
    } catch (const lang::LangError& fault) {
        return fault;
    }
    throw std::runtime_error("built without a fault: " + text);
}

// A text fault where it is expected, by line, column and message.
struct Fault {
    std::string text;
    int line;
    int column;
    std::string message;
};

inline void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.text;
}

inline void expect_fault(const Fault& expected) {
    const lang::LangError fault = build_fault(expected.text);
    EXPECT_EQ(fault.message(), expected.message);
    EXPECT_EQ(fault.line(), expected.line);
    EXPECT_EQ(fault.column(), expected.column);
}
