#include "block_structure.h"

#include <cstdio>

#include "registration_records.h"

BlockDimensions count_dimensions(const ModelDefinition* model) {
    BlockDimensions dimensions;
    if (!model) {
        return dimensions;
    }
    dimensions.variables = static_cast<int>(model->variables().size());
    dimensions.equations = static_cast<int>(model->equations().size());
    for (const auto& equation : model->equations()) {
        dimensions.nonzeros += static_cast<int>(equation.variables().size());
    }
    return dimensions;
}

std::string to_upper_name(std::string_view text) {
    std::string upper(text);
    for (char& byte : upper) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - ('a' - 'A'));
        }
    }
    return upper;
}

namespace {

// The map's operator[] for a symbol in the model's storage: the key is copied
// only when the symbol is new.
std::int32_t& number_of_symbol(ModelDefinition& model, std::string_view symbol) {
    auto found = model.symbol_to_number.find(symbol);
    if (found == model.symbol_to_number.end()) {
        found = model.symbol_to_number.emplace(std::string(symbol), 0).first;
    }
    return found->second;
}

void register_variables(ModelDefinition& model, rtvarlst_t* list, BlockNumbering& numbering) {
    VariableRecord record;
    std::int32_t number = numbering.var_start - 1;
    for (auto& variable : model.variables()) {
        record.fill(variable);
        ++number;
        rtovarlst_initialize_var(list, number, &record.fields(), true);
        variable.variable_number = number;
    }
    numbering.var_last = number;
}

void register_equations(ModelDefinition& model, rtattrdict_t* list, ZELEOBlock* owner,
                        BlockNumbering& numbering) {
    EquationRecord record(owner);
    std::int32_t number = numbering.eqn_start - 1;
    for (auto& equation : model.equations()) {
        ++number;
        record.fill(equation, number);
        rtoeqnlst_addeqn(list, number, record.fields().name);
        rtoeqnlst_initialize_eqn(list, number, &record.fields());
        equation.set_equation_number(number);
    }
    numbering.eqn_last = number;
}

// The same walk as the pattern's, so each entry's nonzero number is the one
// the pattern declares for it.
void number_nonzeros(ModelDefinition& model, std::int32_t nz_start) {
    std::int32_t next = nz_start;
    for (auto& equation : model.equations()) {
        for (auto& entry : equation.variables()) {
            entry.nonzero_number = next++;
        }
    }
}

}  // namespace

void resolve_variable_numbers(ModelDefinition& model) {
    for (const auto& variable : model.variables()) {
        number_of_symbol(model, variable.variable_symbol) = variable.variable_number;
    }
    for (auto& equation : model.equations()) {
        for (auto& entry : equation.variables()) {
            entry.variable_number = number_of_symbol(model, entry.variable_symbol);
        }
    }
}

void register_model(ModelDefinition& model, const HostMatrix& host, ZELEOBlock* owner,
                    BlockNumbering& numbering) {
    register_variables(model, host.variables, numbering);
    register_equations(model, host.equations, owner, numbering);
    resolve_variable_numbers(model);
    number_nonzeros(model, numbering.nz_start);
}
