#pragma once

#include <stdexcept>

#include <pybind11/pybind11.h>

// A solve, or work that needs one, that did not succeed; quillon.SolveError.
class SolveFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// quillon.Error and its subclasses ModelError, UsageError and SolveError,
// added to `module`, and the translation of the tool's exceptions into them:
// UsageError and a plug-in that cannot be opened into UsageError, a
// SolveFailure into SolveError, anything else the tool or the plug-in throws
// (the model file's faults, with the plug-in's own text; faults in equation
// text) into ModelError. Python's own exceptions pass through.
void add_errors(pybind11::module_& module);

// The Python type of quillon.SolveError, for raising one with a result.
pybind11::handle solve_error_type();
