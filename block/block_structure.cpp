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
        dimensions.nonzeros += static_cast<int>(equation->variables.size());
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

void resolve_variable_numbers(ModelDefinition& model) {
    for (const auto& variable : model.variables()) {
        model.symbol_to_number[variable->variable_symbol] = variable->variable_number;
    }
    for (const auto& equation : model.equations()) {
        for (const auto& entry : equation->variables) {
            entry->variable_number = model.symbol_to_number[entry->variable_symbol];
        }
    }
}

namespace {

void register_variables(const ModelDefinition& model, rtvarlst_t* list, BlockNumbering& numbering) {
    VariableRecord record;
    std::int32_t number = numbering.var_start - 1;
    for (const auto& variable : model.variables()) {
        record.fill(*variable);
        ++number;
        rtovarlst_initialize_var(list, number, &record.fields(), true);
        variable->variable_number = number;
    }
    numbering.var_last = number;
}

void register_equations(const ModelDefinition& model, rtattrdict_t* list, ZELEOBlock* owner,
                        BlockNumbering& numbering) {
    EquationRecord record(owner);
    std::int32_t number = numbering.eqn_start - 1;
    for (const auto& equation : model.equations()) {
        ++number;
        record.fill(*equation, number);
        rtoeqnlst_addeqn(list, number, record.fields().name);
        rtoeqnlst_initialize_eqn(list, number, &record.fields());
        equation->equation_number = number;
    }
    numbering.eqn_last = number;
}

// The same walk as the pattern's, so each entry's nonzero number is the one
// the pattern declares for it.
void number_nonzeros(const ModelDefinition& model, std::int32_t nz_start) {
    std::int32_t next = nz_start;
    for (const auto& equation : model.equations()) {
        for (const auto& entry : equation->variables) {
            entry->nonzero_number = next++;
        }
    }
}

}  // namespace

void register_model(ModelDefinition& model, const HostMatrix& host, ZELEOBlock* owner,
                    BlockNumbering& numbering) {
    register_variables(model, host.variables, numbering);
    register_equations(model, host.equations, owner, numbering);
    resolve_variable_numbers(model);
    number_nonzeros(model, numbering.nz_start);
}
