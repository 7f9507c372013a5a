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
    {Op::LN_V, Op::ADD_S, Op::LN_V_ADD},
    {Op::LOG10_V, Op::ADD_S, Op::LOG10_V_ADD},
    {Op::ABS_V, Op::ADD_S, Op::ABS_V_ADD},
    {Op::EXP_V, Op::ADD_S, Op::EXP_V_ADD},
    {Op::SQRT_V, Op::ADD_S, Op::SQRT_V_ADD},
    {Op::V_POW_K, Op::ADD_S, Op::V_POW_K_ADD},
    {Op::EXP_V, Op::MUL_S, Op::EXP_V_MUL},
    {Op::V_POW_K, Op::MUL_S, Op::V_POW_K_MUL},
};

struct OfValue {
    Op op;
    Op of_value;
};

constexpr OfValue OF_VALUES[] = {
    {Op::LN, Op::LN_V},   {Op::LOG10, Op::LOG10_V}, {Op::ABS, Op::ABS_V},
    {Op::EXP, Op::EXP_V}, {Op::SQRT, Op::SQRT_V},   {Op::POW_K, Op::V_POW_K},
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

Op of_value(Op op) {
    for (const OfValue& each : OF_VALUES) {
        if (each.op == op) {
            return each.of_value;
        }
    }
    return op;
}

FusedParts parts_of(Op op) {
    for (const Fusion& fusion : FUSIONS) {
        if (fusion.fused == op) {
            return FusedParts{fusion.base, fusion.combine};
        }
    }
    return FusedParts{op, Op::END};
}
