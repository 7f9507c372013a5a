#pragma once

#include <cstring>

#include "rt_records.h"

// Registration records as a block fills them: the name copied in, every
// field the block has no value for left RTVAR_NOT_GIVEN.
inline rtvar_init_t variable_record(const char* name, double initial = RTVAR_NOT_GIVEN,
                                    double lower = RTVAR_NOT_GIVEN,
                                    double upper = RTVAR_NOT_GIVEN) {
    rtvar_init_t record{};
    record.kind = 14;
    std::strncpy(record.name, name, RT_NAME_FIELD - 1);
    record.initial = initial;
    record.lower = lower;
    record.upper = upper;
    return record;
}

inline rteqn_init_t equation_record(const char* name, int number, ZELEOBlock* owner = nullptr) {
    rteqn_init_t record{};
    record.kind = 255;
    std::strncpy(record.name, name, RT_NAME_FIELD - 1);
    record.residual_limit = 1e35;
    record.equation_class = 2.0;
    record.number = number;
    record.owner = owner;
    return record;
}
