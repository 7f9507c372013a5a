#include "instruction.h"

Op fused(Op base, Op combine) {
    const auto at = static_cast<std::size_t>(base);
    if (combine == Op::ADD_S) {
        return OP_FACTS.then_add[at];
    }
    return combine == Op::MUL_S ? OP_FACTS.then_multiply[at] : base;
}

Op of_value(Op op) {
    return OP_FACTS.on_value[static_cast<std::size_t>(op)];
}

FusedParts parts_of(Op op) {
    const OpRow& row = row_of(op);
    return row.base != Op::END ? FusedParts{row.base, row.combine} : FusedParts{op, Op::END};
}
