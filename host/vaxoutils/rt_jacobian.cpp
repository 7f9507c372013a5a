#include "rt_jacobian.h"

#include "rt_numbering.h"

rt_jac_t::rt_jac_t(int nonzeros, int equations, int variables)
    : nonzeros_(rt_numbering::checked_count("nonzeros", nonzeros)),
      values_(nonzeros_.size(), 0.0),
      equation_count_(static_cast<int>(rt_numbering::checked_count("equations", equations))),
      variable_count_(static_cast<int>(rt_numbering::checked_count("variables", variables))) {}

const rt_nz_t* rt_jac_t::find(int number) const {
    if (!rt_numbering::in_range(number, 1, size())) {
        return nullptr;
    }
    return &nonzeros_[rt_numbering::index_of(number)];
}

std::vector<int> rt_jac_t::incomplete_nonzeros() const {
    std::vector<int> incomplete;
    for (int number = 1; number <= size(); ++number) {
        const rt_nz_t* nonzero = find(number);
        if (nonzero->equation == 0 || nonzero->variable == 0) {
            incomplete.push_back(number);
        }
    }
    return incomplete;
}

rt_nz_t* rt_jac_t::nonzero_at(int nonzero) {
    return &nonzeros_[rt_numbering::index_of(nonzero)];
}

int rt_jac_t::set_equation(int nonzero, int equation) {
    if (!rt_numbering::in_range(nonzero, 1, size())) {
        return refuse(nonzero, rt_numbering::range_fault(1, size()));
    }
    if (!rt_numbering::in_range(equation, 1, equation_count_)) {
        return refuse(nonzero, "equation " + std::to_string(equation) + " " +
                                   rt_numbering::range_fault(1, equation_count_));
    }
    nonzero_at(nonzero)->equation = equation;
    return 0;
}

int rt_jac_t::set_variable(int nonzero, int variable) {
    if (!rt_numbering::in_range(nonzero, 1, size())) {
        return refuse(nonzero, rt_numbering::range_fault(1, size()));
    }
    if (!rt_numbering::in_range(variable, 0, variable_count_)) {
        return refuse(nonzero, "variable " + std::to_string(variable) + " " +
                                   rt_numbering::range_fault(0, variable_count_));
    }
    if (variable == 0) {
        diagnostics_.push_back("nonzero " + std::to_string(nonzero) +
                               " declares no variable (variable number 0); the solver sets it "
                               "aside");
    }
    nonzero_at(nonzero)->variable = variable;
    return 0;
}

int rt_jac_t::refuse(int nonzero, const std::string& reason) {
    diagnostics_.push_back("nonzero " + std::to_string(nonzero) + " refused: " + reason);
    return -1;
}
