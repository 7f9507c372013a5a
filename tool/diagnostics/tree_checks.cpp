#include "tree_checks.h"

#include <cmath>
#include <cstdlib>
#include <set>

#include "function_table.h"
#include "model_format.h"
#include "numeric_text.h"
#include "text_table.h"
#include "tree_walk.h"

namespace {

class EquationChecker {
  public:
    EquationChecker(const NumberedModel& model, const EquationPlace& place,
                    std::vector<Finding>& findings)
        : model_(model),
          place_(place),
          equation_(model.model().equations()[static_cast<std::size_t>(place.number - 1)]),
          name_(equation_.equation_name()),
          findings_(findings) {}

    EquationScan run() {
        EquationScan scan;
        scan.residual_evaluable = check_tree(equation_, place_.place, "", true);
        for (std::size_t index = 0; index < equation_.variables().size(); ++index) {
            scan.entry_places.push_back(place_.place + record_step(model_format::VARIABLES, index));
            scan.derivative_evaluable.push_back(check_entry(index, scan.entry_places.back()));
        }
        check_references(scan.entry_places);
        return scan;
    }

  private:
    Finding& add(FindingKind kind, const std::string& symbol, const std::string& pointer,
                 const std::string& message) {
        Finding finding(kind, message);
        finding.equation = place_.number;
        const std::vector<int>& numbers = model_.variables_with_symbol(symbol);
        finding.variable = numbers.empty() ? 0 : numbers.front();
        finding.symbol = symbol;
        finding.pointer = pointer;
        findings_.push_back(std::move(finding));
        return findings_.back();
    }

    bool is_model_variable(const std::string& symbol) const {
        return !model_.variables_with_symbol(symbol).empty();
    }

    // Checks every node of one tree; `within` says which tree for messages.
    // False when the tree cannot be evaluated.
    bool check_tree(const ExprNode& root, const std::string& place, const std::string& within,
                    bool is_residual) {
        bool evaluable = true;
        TreeWalk::each_node(root, place, [&](const ExprNode& node, const NodePath& path) {
            // The checks keep texts in maps and give them to strtod, which need
            // strings of their own.
            switch (node.type()) {
                case NODE_VARIABLE:
                    check_reference(std::string(node.string_value()), path, within, is_residual);
                    break;
                case NODE_NUMERIC_TEXT:
                    evaluable =
                        check_numeric_text(std::string(node.string_value()), path, within) &&
                        evaluable;
                    break;
                case NODE_FUNCTION:
                    check_function(std::string(node.string_value()), path, within);
                    break;
                case NODE_UNRECOGNISED:
                    add(FindingKind::unrecognised_node, "", path.place(),
                        "a node" + within + " of equation " + name_ +
                            " has a Type the loader does not know; it is worth 0");
                    break;
                default:
                    break;
            }
        });
        return evaluable;
    }

    void check_reference(const std::string& symbol, const NodePath& path, const std::string& within,
                         bool is_residual) {
        if (!is_model_variable(symbol)) {
            add(FindingKind::unknown_variable, symbol, path.place(),
                "equation " + name_ + within + " refers to '" + symbol +
                    "', which is no model variable; the reference is worth 0");
        } else if (is_residual && first_reference_.count(symbol) == 0) {
            first_reference_.emplace(symbol, path.place());
            referenced_in_order_.push_back(symbol);
        }
    }

    bool check_numeric_text(const std::string& text, const NodePath& path,
                            const std::string& within) {
        double single = 0.0;
        try {
            single = numeric_text_value(text);
        } catch (const std::exception& error) {
            add(FindingKind::invalid_numeric_text, "", path.place(),
                "the numeric text '" + text + "'" + within + " of equation " + name_ +
                    " cannot be read (" + error.what() + "); evaluating the equation fails")
                .detail("text") = text;
            return false;
        }
        const double full = std::strtod(text.c_str(), nullptr);
        if (single != full) {
            Finding& finding = add(FindingKind::single_precision_text, "", path.place(),
                                   "the numeric text '" + text + "'" + within + " of equation " +
                                       name_ + " reads as " + readable_number(single) +
                                       " in single precision; use a "
                                       "number node (Type 2) for its full value");
            finding.detail("text") = text;
            finding.detail("single_precision_value") = single;
            finding.detail("double_precision_value") = full;
        }
        return true;
    }

    void check_function(const std::string& name, const NodePath& path, const std::string& within) {
        if (!function_named(name)) {
            add(FindingKind::unknown_function, "", path.place(),
                "equation " + name_ + within + " calls '" + name + "', which is none of " +
                    function_names(", ") + "; it is worth 0")
                .detail("function") = name;
        }
    }

    bool check_entry(std::size_t index, const std::string& pointer) {
        const VariableDef& entry = equation_.variables()[index];
        const std::string symbol(entry.variable_symbol);
        if (!is_model_variable(symbol)) {
            add(FindingKind::unknown_variable, symbol, pointer,
                "equation " + name_ + " lists an entry for '" + symbol +
                    "', which is no model variable; its nonzero names no variable");
        } else if (!listed_.insert(symbol).second) {
            add(FindingKind::duplicate_entry, symbol, pointer,
                "equation " + name_ + " lists " + symbol +
                    " more than once; the host adds up the derivatives of its entries");
        }
        if (!entry.differential) {
            add(FindingKind::missing_derivative, symbol, pointer,
                "the entry for " + symbol + " in equation " + name_ +
                    " has no derivative tree; its Jacobian value is 0");
            return false;
        }
        return check_tree(*entry.differential, pointer + member_step(model_format::DIFFERENTIAL),
                          " (derivative by " + symbol + ")", false);
    }

    void check_references(const std::vector<std::string>& entry_pointers) {
        for (const std::string& symbol : referenced_in_order_) {
            if (listed_.count(symbol) == 0) {
                add(FindingKind::missing_entry, symbol, first_reference_.at(symbol),
                    "equation " + name_ + " uses " + symbol +
                        " but lists no entry for it, so the Jacobian has no nonzero for it");
            }
        }
        std::set<std::string> reported;
        for (std::size_t index = 0; index < equation_.variables().size(); ++index) {
            const std::string symbol(equation_.variables()[index].variable_symbol);
            if (is_model_variable(symbol) && first_reference_.count(symbol) == 0 &&
                reported.insert(symbol).second) {
                add(FindingKind::unused_entry, symbol, entry_pointers[index],
                    "equation " + name_ + " lists " + symbol +
                        " but its residual never uses it; that Jacobian nonzero is always zero");
            }
        }
    }

    const NumberedModel& model_;
    const EquationPlace& place_;
    const ExprNode& equation_;
    const std::string name_;
    std::vector<Finding>& findings_;
    std::map<std::string, std::string> first_reference_;
    std::vector<std::string> referenced_in_order_;
    std::set<std::string> listed_;
};

}  // namespace

EquationScan check_equation_trees(const NumberedModel& model, const EquationPlace& place,
                                  std::vector<Finding>& findings) {
    return EquationChecker(model, place, findings).run();
}
