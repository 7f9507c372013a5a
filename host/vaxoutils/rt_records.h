#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "vaxo_export.h"

class ZELEOBlock;

// Written into a bound or initial-value field of rtvar_init_t when the block
// has no value for it; the host then applies its own default (see rt_varlist.h).
// A quiet NaN, because no real bound or starting value is ever NaN.
inline constexpr double RTVAR_NOT_GIVEN = std::numeric_limits<double>::quiet_NaN();

inline constexpr std::size_t RT_NAME_FIELD = 1032;

// Registration record of one variable, passed to rtovarlst_initialize_var.
// Its byte layout is fixed by the host; offsets are asserted below.
struct rtvar_init_t {
    std::int64_t kind;            // 14: a plain variable
    char name[RT_NAME_FIELD];     // NUL-terminated
    double initial;               // starting value, or RTVAR_NOT_GIVEN
    unsigned char reserved1[8];   // not read
    double lower;                 // lower bound, or RTVAR_NOT_GIVEN
    double upper;                 // upper bound, or RTVAR_NOT_GIVEN
    unsigned char reserved2[60];  // not read
    unsigned char zero[8];        // all zero
    unsigned char reserved3[4];   // not read
};

// Registration record of one equation, passed to rtoeqnlst_initialize_eqn.
struct rteqn_init_t {
    std::int64_t kind;           // 255: an algebraic equation of a block
    char name[RT_NAME_FIELD];    // NUL-terminated
    double residual_limit;       // 1e35: no limit on the residual's size
    double equation_class;       // 2.0: a block equation
    unsigned char zero[8];       // all zero
    std::int32_t number;         // the equation's host number
    unsigned char reserved[12];  // not read
    ZELEOBlock* owner;           // the block that evaluates the equation
};

static_assert(offsetof(rtvar_init_t, name) == 8);
static_assert(offsetof(rtvar_init_t, initial) == 1040);
static_assert(offsetof(rtvar_init_t, lower) == 1056);
static_assert(offsetof(rtvar_init_t, upper) == 1064);
static_assert(offsetof(rtvar_init_t, zero) == 1132);
static_assert(sizeof(rtvar_init_t) == 1144);
static_assert(offsetof(rteqn_init_t, name) == 8);
static_assert(offsetof(rteqn_init_t, residual_limit) == 1040);
static_assert(offsetof(rteqn_init_t, equation_class) == 1048);
static_assert(offsetof(rteqn_init_t, zero) == 1056);
static_assert(offsetof(rteqn_init_t, number) == 1064);
static_assert(offsetof(rteqn_init_t, owner) == 1080);
static_assert(sizeof(rteqn_init_t) == 1088);
