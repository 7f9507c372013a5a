#include "instruction.h"

Op fused(Op base, Op combine) {
    if (combine == Op::END) {
        return base;
    }
    for (const OpRow& row : OP_ROWS) {
        if (row.base == base && row.combine == combine) {
            return row.op;
        }
    }
    return base;
}

Op of_value(Op op) {
    if (op == Op::END) {
        return op;
    }
    for (const OpRow& row : OP_ROWS) {
        if (row.of_value == op) {
            return row.op;
        }
    }
    return op;
}

FusedParts parts_of(Op op) {
    const OpRow& row = row_of(op);
    return row.base != Op::END ? FusedParts{row.base, row.combine} : FusedParts{op, Op::END};
}
