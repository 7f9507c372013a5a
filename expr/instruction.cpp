#include "instruction.h"

namespace {

struct Fusion {
    Op base;
    Op combine;
    Op fused;
};

constexpr Fusion FUSIONS[] = {
    {Op::K_MUL_V, Op::ADD_S, Op::K_MUL_V_ADD},
    {Op::MUL_V, Op::ADD_S, Op::MUL_V_ADD},
    {Op::MUL_S, Op::ADD_S, Op::MUL_S_ADD},
    {Op::POW_K, Op::ADD_S, Op::POW_K_ADD},
    {Op::LN, Op::ADD_S, Op::LN_ADD},
    {Op::LOG10, Op::ADD_S, Op::LOG10_ADD},
    {Op::ABS, Op::ADD_S, Op::ABS_ADD},
    {Op::EXP, Op::ADD_S, Op::EXP_ADD},
    {Op::SQRT, Op::ADD_S, Op::SQRT_ADD},
    {Op::PUSH_SLOT, Op::ADD_S, Op::PUSH_SLOT_ADD},
    {Op::POW_K, Op::MUL_S, Op::POW_K_MUL},
    {Op::EXP, Op::MUL_S, Op::EXP_MUL},
    {Op::PUSH_SLOT, Op::MUL_S, Op::PUSH_SLOT_MUL},
};

}  // namespace

Op fused(Op base, Op combine) {
    for (const Fusion& fusion : FUSIONS) {
        if (fusion.base == base && fusion.combine == combine) {
            return fusion.fused;
        }
    }
    return base;
}

FusedParts parts_of(Op op) {
    for (const Fusion& fusion : FUSIONS) {
        if (fusion.fused == op) {
            return FusedParts{fusion.base, fusion.combine};
        }
    }
    return FusedParts{op, Op::END};
}
