#pragma once

#include "rt_utils.h"

// The host's structures a block works on, as inq_matrix gives them.
struct HostMatrix {
    rtvarlst_t* variables = nullptr;
    rtattrdict_t* equations = nullptr;
    rt_jac_t* jacobian = nullptr;

    bool complete() const { return variables && equations && jacobian; }
};

// The block's numbers in the host's lists: the host sets the starts, the
// block's registration and pattern set the lasts.
struct BlockNumbering {
    std::int32_t var_start;
    std::int32_t var_last;
    std::int32_t eqn_start;
    std::int32_t eqn_last;
    std::int32_t nz_start;
    std::int32_t nz_last;
};
