#pragma once

#include <pybind11/pybind11.h>

// Model.sweep and its quillon.SweepResult, added to `module` once Model is.
void add_sweep(pybind11::module_& module);
