#pragma once

// The host's utility functions through which a block registers its variables
// and equations, declares its Jacobian pattern and reaches the solver's vectors.
// Numbers are the host's, counted from 1. Every function checks its handle and
// numbers: a call with a null handle or a number out of range changes nothing
// and answers -1 (null for the vector accessors); a refused call on a list
// leaves a diagnostic in that list. Inquiries change nothing and note nothing.
// A vector accessor answers null for an empty list as well.

#include <cstdint>

#include "rt_records.h"
#include "vaxo_export.h"

struct rtvarlst_t;    // the host's variable list (rt_varlist.h)
struct rtattrdict_t;  // the host's equation list (rt_eqnlist.h)
struct rt_jac_t;      // the host's Jacobian (rt_jacobian.h)

// Registers variable `number` from `record`; `replace` allows registering a
// number again. Answers 0, or -1 when refused.
VAXO_API int rtovarlst_initialize_var(rtvarlst_t* list, int number, const rtvar_init_t* record,
                                      bool replace);
// Array of the current values, one per variable: element number - 1.
VAXO_API double* rtovarlst_vec_value(rtvarlst_t* list);

// Names equation `number`; answers 0, or -1 when refused.
VAXO_API int rtoeqnlst_addeqn(rtattrdict_t* list, int number, const char* name);
// Takes the attributes of equation `number` from `record`; answers 0 or -1.
VAXO_API int rtoeqnlst_initialize_eqn(rtattrdict_t* list, int number, const rteqn_init_t* record);
// Array of residuals, one per equation: element number - 1.
VAXO_API double* rtoeqnlst_vec_residual(rtattrdict_t* list);
// Array of equation statuses, one per equation (0: ordinary).
VAXO_API int* rtoeqnlst_vec_status(rtattrdict_t* list);

// Array of Jacobian values, one per nonzero: element number - 1.
VAXO_API double* rtojac_vec_bj(rt_jac_t* jac);
// The variable number declared for `nonzero`, 0 when none or out of range.
VAXO_API int rtojac_inq_nz_varnum(rt_jac_t* jac, int nonzero);
// Declares the equation of `nonzero`; answers 0, or -1 when refused.
VAXO_API int rtojac_set_nz_eqnnum(rt_jac_t* jac, int nonzero, int equation);
// Declares the variable of `nonzero`; answers 0, or -1 when refused. Variable
// number 0 (no variable) is kept as declared and set aside by the solver.
VAXO_API int rtojac_set_nz_varnum(rt_jac_t* jac, int nonzero, int variable);
