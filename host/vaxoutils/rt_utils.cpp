#include "rt_utils.h"

#include "rt_eqnlist.h"
#include "rt_jacobian.h"
#include "rt_varlist.h"

// A null handle has no list to keep a diagnostic in: the call is refused silently.

int rtovarlst_initialize_var(rtvarlst_t* list, int number, const rtvar_init_t* record,
                             bool replace) {
    return list == nullptr ? -1 : list->initialize(number, record, replace);
}

double* rtovarlst_vec_value(rtvarlst_t* list) {
    return list == nullptr ? nullptr : list->values();
}

int rtoeqnlst_addeqn(rtattrdict_t* list, int number, const char* name) {
    return list == nullptr ? -1 : list->add(number, name);
}

int rtoeqnlst_initialize_eqn(rtattrdict_t* list, int number, const rteqn_init_t* record) {
    return list == nullptr ? -1 : list->initialize(number, record);
}

double* rtoeqnlst_vec_residual(rtattrdict_t* list) {
    return list == nullptr ? nullptr : list->residuals();
}

int* rtoeqnlst_vec_status(rtattrdict_t* list) {
    return list == nullptr ? nullptr : list->statuses();
}

double* rtojac_vec_bj(rt_jac_t* jac) {
    return jac == nullptr ? nullptr : jac->values();
}

int rtojac_inq_nz_varnum(rt_jac_t* jac, int nonzero) {
    const rt_nz_t* entry = jac == nullptr ? nullptr : jac->find(nonzero);
    return entry == nullptr ? 0 : entry->variable;
}

int rtojac_set_nz_eqnnum(rt_jac_t* jac, int nonzero, int equation) {
    return jac == nullptr ? -1 : jac->set_equation(nonzero, equation);
}

int rtojac_set_nz_varnum(rt_jac_t* jac, int nonzero, int variable) {
    return jac == nullptr ? -1 : jac->set_variable(nonzero, variable);
}
