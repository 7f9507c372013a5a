#pragma once

// The module's docstrings, kept apart from the bindings so both stay short.

constexpr const char* MODULE_DOC = R"(Quillon equation models from Python.

Models are loaded through the QUILLON plug-in into the stand-in host, exactly
as the `quillon` tool loads them, and handed back as NumPy arrays and SciPy
sparse matrices:

    import quillon
    model = quillon.load("examples/flash_drum/model.json")
    result = model.solve()
    print(result["V"], result.status)

Errors are quillon.Error: ModelError (the model file or equation text),
UsageError (an unknown symbol, a system that is not square, a missing file)
and SolveError (a solve that did not converge).)";

constexpr const char* LOAD_DOC = R"(load(path_or_text, plugin=None) -> Model

Loads a model through the plug-in, as `quillon` does. `path_or_text` is
- a model file (JSON), read by the plug-in itself;
- an equation file (a name ending in .eq), built into a model in memory;
- equation text: a str holding an '=' or a line break, built likewise.
A str without either, or a path-like object, is a file name.

`plugin` is the plug-in library; by default libquillon.so beside the module,
in the build's bin/ folder beside the module's folder, or in the lib/ folder
of the installation (see quillon.default_plugin()).

Raises ModelError with the plug-in's own text for a faulty model file, or the
line and column of a fault in equation text; UsageError for a missing file or
a plug-in that cannot be opened. Loading releases the GIL.)";

constexpr const char* MODEL_DOC = R"(A model loaded through the plug-in into the stand-in host.

Variables, equations and nonzeros are in the host's order (the file's order);
arrays index them from 0. Symbols are spelt as the file spells them; names are
the host's (upper-cased). A Model may be shared between threads: calls on it
take turns. It pickles as what it was made from (the equations' or the model
file's text) and the plug-in it was given, so process pools and Dask ship it
to workers, which make it again in their own process.)";

constexpr const char* VARIABLES_DOC = R"(The model variables, in host order:
symbols (the file's spelling), names (the host's), descriptions (the file's
"VariableName"), as lists; lower, upper and start (the value after
registration: the file's "Initial" or the host's default) as NumPy arrays;
parameters, True for each variable an equation of its own holds at its value
(a param statement), which solve(fix=...) changes without editing the model.)";

constexpr const char* OUTPUTS_DOC = R"(The model's outputs (out statements):
symbols and descriptions, as lists. Each solve computes them from its solution
(SolveResult.outputs); they are no variables and no equations.)";

constexpr const char* EQUATIONS_DOC = R"(The equations, in host order: labels
(the file's "EquationName", as `quillon check` names them), names (the
host's), texts (the file's "EquationString", empty when it has none).)";

constexpr const char* PATTERN_DOC = R"((rows, cols): the Jacobian's nonzeros as
two int arrays, row-major, one entry per (equation, variable) however often
the file lists it; exactly the structure of jacobian(x).)";

constexpr const char* RESIDUALS_DOC = R"(residuals(x) -> numpy.ndarray

The residuals as the block computes them with the variables at x (one value
per variable, host order), one per equation.)";

constexpr const char* JACOBIAN_DOC = R"(jacobian(x) -> scipy.sparse.csr_matrix

The Jacobian at x, equations by variables, with the derivatives of an
equation that lists a variable twice summed, as the solver sums them.
Nonzeros that name no model variable are left out.)";

constexpr const char* SOLVE_DOC =
    R"(solve(fix=None, free=None, start=None, tol=1e-9, abs_tol=None, max_iter=100, strict=True, force=False) -> SolveResult

Solves the model by the same solver and options as `quillon solve`:
- fix: {symbol: value}; each variable of that symbol is set and is no
  longer an unknown (--fix); a parameter's own equation is left out then;
  a symbol may be a pattern over a family's indices, as on the command
  line (`{"Q[*]": 0.01}`, `x[*,2]`, `T[2..5]`), and so may the symbols of
  start and the equations of free;
- start: where to start instead of the file's starting point: {symbol:
  value} (like --at), an array with every variable's value, or an earlier
  SolveResult of this model (a warm start);
- tol: converged when every residual is at most tol times its equation's
  scale and the last step is small against the unknowns (--tol);
- abs_tol: the largest absolute residual accepted as well; None: no
  absolute test (--abs-tol);
- max_iter: at most this many steps (--max-iter);
- free: [equation name]; each equation so named is left out of the
  system, to be balanced by a fixed variable (--free);
- force: solve a model whose registration the host refused in part or whose
  equations name symbols no variable has; its faults become warnings
  (--force).
Raises SolveError (with .result) when the solve stops without converging,
unless strict=False, and UsageError for an unknown symbol or equation, a
model with faults (unless force=True) or a system that is not square, saying
what to fix or free. Solving releases the GIL.)";

constexpr const char* SOLVE_RESULT_DOC = R"(The outcome of Model.solve: x (every
variable, host order), result[symbol] (a variable's or an output's value),
outputs ({symbol: value} of the model's outputs), status (the block's verdict),
stop_reason, message, iterations, residual_norm, scaled_residual_norm,
largest_residual, largest_scaled_residual, at_bounds, bound (per variable),
timing, residuals, history (one dict per iteration), fixed (a bool array),
converged, warnings: converted from the document `quillon solve --format
json` writes. result["x[*]"] gives an array of a family's values. A result
pickles as its members; once unpickled it belongs to no model (start= takes
it by symbol).)";

constexpr const char* CHECK_DOC = R"(check(at=None) -> list of dict

The model doctor of `quillon check`: one dict per finding with the same
members as `quillon check --format json` (severity, kind, equation,
variable, message, pointer and the kind's own). `at` ({symbol: value})
changes the starting point, like --at. Checking releases the GIL.)";

constexpr const char* SENSITIVITY_DOC = R"(sensitivity(result, outputs, inputs) -> numpy.ndarray

d(output)/d(input) at the converged solution `result`, for inputs that were
fixed in that solve, taken as parameters: the Jacobian of the unknowns is
factored once by the sparse LU and solved once per input with the input's
column of the Jacobian. outputs and inputs are symbols (a str for one); the
answer has one row per output and one column per input. Raises SolveError
for a result that did not converge or a singular Jacobian, UsageError for an
input that was not fixed.)";

constexpr const char* BUILD_DOC = R"(build(text) -> str

The model file (JSON) that `quillon build` writes from the equation text.
Raises ModelError with the line and column of the first fault.)";

constexpr const char* SHOW_DOC = R"(show(path, equation=None, exact=False) -> str

The model file printed as equations, as `quillon show` prints it; only the
equations named `equation` when given (any letter case when unique); every
node as the file holds it, numbers unfolded, with exact=True (--exact).)";
