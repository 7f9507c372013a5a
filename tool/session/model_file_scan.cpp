#include "model_file_scan.h"

#include <set>
#include <string_view>
#include <unordered_set>

#include "model_definition.h"

namespace {

// Every symbol that `root`'s tree refers to and no model variable has, in
// the order first met; without recursion, since trees nest to any depth.
std::vector<std::string> unknown_symbols_in(const ExprNode& root,
                                            const std::unordered_set<std::string_view>& known) {
    std::vector<std::string> unknown;
    std::set<std::string_view> seen;
    std::vector<const ExprNode*> pending{&root};
    while (!pending.empty()) {
        const ExprNode* node = pending.back();
        pending.pop_back();
        if (node->type() == NODE_VARIABLE) {
            const std::string_view symbol = node->string_value();
            if (known.count(symbol) == 0 && seen.insert(symbol).second) {
                unknown.emplace_back(symbol);
            }
        }
        const Span<const ExprNode> children = node->subexpressions();
        for (std::size_t index = children.size(); index-- > 0;) {
            pending.push_back(&children[index]);
        }
    }
    return unknown;
}

}  // namespace

ModelFileScan scan_model_file(const std::string& model_path) {
    ModelDefinition model;
    model.load_model(model_path);
    std::unordered_set<std::string_view> known;
    for (const VariableDef& variable : model.variables()) {
        known.insert(variable.variable_symbol);
    }
    ModelFileScan scan;
    int number = 0;
    for (const ExprNode& equation : model.equations()) {
        ++number;
        scan.equation_names.emplace_back(equation.equation_name());
        for (std::string& symbol : unknown_symbols_in(equation, known)) {
            scan.unknown_references.push_back({number, std::move(symbol), false});
        }
        std::set<std::string_view> listed;
        for (const VariableDef& entry : equation.variables()) {
            if (known.count(entry.variable_symbol) == 0 &&
                listed.insert(entry.variable_symbol).second) {
                scan.unknown_references.push_back(
                    {number, std::string(entry.variable_symbol), true});
            }
        }
    }
    return scan;
}
