#include "module_errors.h"

#include <new>
#include <stdexcept>

#include "plugin_library.h"
#include "usage_error.h"

namespace py = pybind11;

namespace {

PyObject* error_type = nullptr;
PyObject* model_error_type = nullptr;
PyObject* usage_error_type = nullptr;
PyObject* solve_error_type_object = nullptr;

PyObject* new_type(py::module_& module, const char* name, const char* doc, PyObject* base) {
    const std::string qualified = std::string("quillon.") + name;
    PyObject* type = PyErr_NewExceptionWithDoc(qualified.c_str(), doc, base, nullptr);
    if (!type) {
        throw py::error_already_set();
    }
    module.add_object(name, py::reinterpret_borrow<py::object>(type));
    return type;
}

void translate(std::exception_ptr thrown) {
    try {
        std::rethrow_exception(thrown);
    } catch (const py::error_already_set&) {
        throw;
    } catch (const py::builtin_exception&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::logic_error&) {
        // A fault of the module's own code, not of the model or the call:
        // pybind11's own translation (ValueError, IndexError, RuntimeError).
        throw;
    } catch (const UsageError& error) {
        PyErr_SetString(usage_error_type, error.what());
    } catch (const PluginError& error) {
        PyErr_SetString(usage_error_type, error.what());
    } catch (const SolveFailure& error) {
        PyErr_SetString(solve_error_type_object, error.what());
    } catch (const std::exception& error) {
        PyErr_SetString(model_error_type, error.what());
    }
}

}  // namespace

void add_errors(py::module_& module) {
    error_type =
        new_type(module, "Error", "Base of every error quillon raises.", PyExc_RuntimeError);
    model_error_type = new_type(
        module, "ModelError",
        "The model could not be loaded or evaluated: a fault in the model file (with the "
        "plug-in's own text, as `quillon` prints it) or in equation text (with its line and "
        "column).",
        error_type);
    usage_error_type = new_type(
        module, "UsageError",
        "A call that asks for something the model does not have or cannot give: an unknown "
        "symbol, a system that is not square, a missing file or plug-in.",
        error_type);
    solve_error_type_object =
        new_type(module, "SolveError",
                 "A solve that stopped without converging (its `result` attribute holds the "
                 "SolveResult, its text the reason, as `quillon solve` gives it), or a "
                 "solution where a converged one is needed.",
                 error_type);
    py::register_exception_translator(&translate);
}

py::handle solve_error_type() {
    return solve_error_type_object;
}
