#pragma once

#include <cstdint>

#include "zel_eo_block_impl.h"

// A small real block: variables x and y (both >= 0, x starting at `start_x`,
// y at the host's default) and the equations x * y = product, x - y = difference.
// It uses the host exactly as a plug-in block does and remembers what the host
// told it after a solve.
class PairBlock : public ZELEOBlockImpl {
  public:
    PairBlock(const char* name, double product, double difference, double start_x = 1.5);
    // Counts the block while it lives, so a test can see it ended.
    PairBlock(const char* name, int& live_count);
    ~PairBlock() override;

    bool solve_flag() const { return solve_flag_; }
    // The convergence summary's "STATUS" as the block read it after the solve.
    int reported_status() const { return reported_status_; }

  protected:
    void user_dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& status) override;
    void user_ini(std::int64_t& status) override;
    void user_pat(rt_jac_t* jac, std::int64_t& status) override;
    void user_solve_flag() override;
    void user_solve_status(std::int64_t& status) override;
    void user_res(std::int64_t& status) override;
    void user_jac(int n, std::int64_t& status) override;
    void user_jac(std::int64_t& status) override;

  private:
    struct Matrix {
        rtvarlst_t* variables = nullptr;
        rtattrdict_t* equations = nullptr;
        rt_jac_t* jacobian = nullptr;
        bool complete() const { return variables && equations && jacobian; }
    };
    Matrix matrix() const;

    double product_ = 2.0;
    double difference_ = 1.0;
    double start_x_ = 1.5;
    int* live_count_ = nullptr;
    bool solve_flag_ = false;
    int reported_status_ = 0;
};
