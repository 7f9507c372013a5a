#include "solve_verdict.h"

const char* solve_verdict(int status_item) {
    return status_item == RT_CONVERGED ? "Converged" : "Not converged";
}
