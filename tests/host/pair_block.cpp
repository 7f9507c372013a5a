#include "pair_block.h"

#include <string>

#include "records.h"
#include "zel_container.h"

PairBlock::PairBlock(const char* name, double product, double difference, double start_x)
    : ZELEOBlockImpl(name), product_(product), difference_(difference), start_x_(start_x) {}

PairBlock::PairBlock(const char* name, int& live_count)
    : ZELEOBlockImpl(name), live_count_(&live_count) {
    ++live_count;
}

PairBlock::~PairBlock() {
    if (live_count_ != nullptr) {
        --*live_count_;
    }
}

PairBlock::Matrix PairBlock::matrix() const {
    Matrix found;
    inq_matrix(found.variables, found.equations, found.jacobian);
    return found;
}

void PairBlock::user_dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& /*status*/) {
    num_var = 2;
    num_eqn = 2;
    num_nz = 4;
}

void PairBlock::user_ini(std::int64_t& status) {
    status = 0;
    const Matrix host = matrix();
    if (!host.complete()) {
        status = 1;
        return;
    }
    const std::string prefix = std::string(name()) + ".";
    const rtvar_init_t x = variable_record((prefix + "X").c_str(), start_x_, 0.0);
    const rtvar_init_t y = variable_record((prefix + "Y").c_str(), RTVAR_NOT_GIVEN, 0.0);
    rtovarlst_initialize_var(host.variables, var_start, &x, true);
    rtovarlst_initialize_var(host.variables, var_start + 1, &y, true);
    var_last = var_start + 1;
    for (int number = eqn_start; number <= eqn_start + 1; ++number) {
        const std::string name = prefix + "E" + std::to_string(number - eqn_start + 1);
        const rteqn_init_t record = equation_record(name.c_str(), number, this);
        rtoeqnlst_addeqn(host.equations, number, record.name);
        rtoeqnlst_initialize_eqn(host.equations, number, &record);
    }
    eqn_last = eqn_start + 1;
}

// Nonzeros in order: (product, x), (product, y), (difference, x), (difference, y).
void PairBlock::user_pat(rt_jac_t* jac, std::int64_t& status) {
    status = 0;
    int nonzero = nz_start;
    for (int equation = eqn_start; equation <= eqn_last; ++equation) {
        for (int variable = var_start; variable <= var_last; ++variable) {
            rtojac_set_nz_eqnnum(jac, nonzero, equation);
            rtojac_set_nz_varnum(jac, nonzero, variable);
            ++nonzero;
        }
    }
    nz_last = nonzero - 1;
}

void PairBlock::user_solve_flag() {
    solve_flag_ = true;
}

void PairBlock::user_solve_status(std::int64_t& status) {
    if (!matrix().complete()) {
        status = 1;
        return;
    }
    ZELEOCntr* container = inq_container(nullptr);
    ZELFrame* frame = container == nullptr ? nullptr : container->container_frame();
    if (frame != nullptr) {
        reported_status_ = rtocvgsum_get_int_item(frame->get_convergence_summary(), "STATUS");
    }
}

void PairBlock::user_res(std::int64_t& status) {
    status = 0;
    const Matrix host = matrix();
    const double* values = rtovarlst_vec_value(host.variables);
    double* residuals = rtoeqnlst_vec_residual(host.equations);
    const double x = values[var_start - 1];
    const double y = values[var_start];
    residuals[eqn_start - 1] = x * y - product_;
    residuals[eqn_start] = x - y - difference_;
}

void PairBlock::user_jac(int /*n*/, std::int64_t& status) {
    user_jac(status);
}

void PairBlock::user_jac(std::int64_t& status) {
    status = 0;
    const Matrix host = matrix();
    const double* values = rtovarlst_vec_value(host.variables);
    double* derivatives = rtojac_vec_bj(host.jacobian) + (nz_start - 1);
    const double x = values[var_start - 1];
    const double y = values[var_start];
    derivatives[0] = y;
    derivatives[1] = x;
    derivatives[2] = 1.0;
    derivatives[3] = -1.0;
}
