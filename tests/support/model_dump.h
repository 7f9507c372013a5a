#pragma once

// A model written out whole as text, every record and field in file order,
// doubles by their bits, so that two loadings can be compared: equal texts,
// equal models.

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "model_definition.h"

namespace model_dump_detail {

inline void add_number(std::string& out, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    out += std::to_string(bits);
    out += ' ';
}

inline void add_text(std::string& out, std::string_view text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
    out += ' ';
}

// Without recursion: models may nest deeper than a thread's stack.
inline void add_tree(std::string& out, const ExprNode& root) {
    std::vector<const ExprNode*> pending{&root};
    std::vector<const VariableDef*> entries;
    while (!pending.empty()) {
        const ExprNode& node = *pending.back();
        pending.pop_back();
        out += "node " + std::to_string(node.type()) + ' ';
        add_number(out, node.double_value());
        add_text(out, node.string_value());
        add_text(out, node.equation_name());
        add_text(out, node.equation_string());
        out += std::to_string(node.subexpressions().size()) + " children ";
        out += std::to_string(node.variables().size()) + " entries ";
        for (const VariableDef& entry : node.variables()) {
            add_text(out, entry.variable_symbol);
            add_text(out, entry.variable_name);
            add_number(out, entry.min);
            add_number(out, entry.max);
            add_number(out, entry.initial);
            out += entry.differential ? "derivative " : "none ";
            if (entry.differential) {
                add_tree(out, *entry.differential);  // as deep as entries nest
            }
        }
        const Span<const ExprNode> children = node.subexpressions();
        for (std::size_t i = children.size(); i-- > 0;) {
            pending.push_back(&children[i]);
        }
    }
}

}  // namespace model_dump_detail

inline std::string model_dump(const ModelDefinition& model) {
    std::string out;
    for (const ExprNode& equation : model.equations()) {
        out += "equation ";
        model_dump_detail::add_tree(out, equation);
    }
    for (const VariableDef& variable : model.variables()) {
        out += "variable ";
        model_dump_detail::add_text(out, variable.variable_symbol);
        model_dump_detail::add_text(out, variable.variable_name);
        model_dump_detail::add_number(out, variable.min);
        model_dump_detail::add_number(out, variable.max);
        model_dump_detail::add_number(out, variable.initial);
        if (variable.differential) {
            out += "derivative ";
            model_dump_detail::add_tree(out, *variable.differential);
        }
    }
    return out;
}
