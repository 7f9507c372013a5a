#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "plugin_library.h"
#include "rt_eqnlist.h"
#include "rt_jacobian.h"
#include "rt_varlist.h"
#include "zel_container.h"
#include "zel_factory.h"

// A fault the plug-in raised while loading or registering a model: the model
// file's, with the plug-in's own text.
class ModelFault : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One model file loaded the way the host loads it: the plug-in opened and
// initialised with a fresh factory registry, a QUILLON block created with the
// parameter "model=" + path and put alone into a fresh container, whose
// structure is then built. Variables, equations and nonzeros are therefore
// numbered from 1. This is the only place where the tool talks to the host.
class ModelSession {
  public:
    // Exceptions of the plug-in (the model file's faults) pass through.
    ModelSession(const std::string& plugin_path, const std::string& model_path);
    ModelSession(const ModelSession&) = delete;
    ModelSession& operator=(const ModelSession&) = delete;

    // The plug-in's identity text.
    std::string identity() const;

    int variable_count() const;
    int equation_count() const;
    int nonzero_count() const;
    // Host records by host number (1-based).
    const rtvar_t& variable(int number) const;
    const rteqn_t& equation(int number) const;
    const rt_nz_t& nonzero(int number) const;
    // Symbols as the model file writes them, which the host's upper-cased
    // names lose, asked of the block: of a variable by host number, and of
    // the equation entry that declared a nonzero (also when it names no model
    // variable). The block alone numbers from 1, so host numbers are its own.
    std::string variable_symbol(int number) const;
    std::string entry_symbol(int nonzero_number) const;
    // Nonzeros the host sets aside: declared with variable (or equation) 0.
    std::vector<int> incomplete_nonzeros() const;
    // Registrations the host's lists refused, oldest first.
    std::vector<std::string> refusals() const;

    // The host's value vector (element number - 1), which the block reads.
    double& value(int number);
    double value(int number) const;
    // Residuals and Jacobian values as the block last wrote them.
    double residual(int equation_number) const;
    double jacobian_value(int nonzero_number) const;
    // The same vectors whole, for a solver's every iteration: the values
    // (variable_count() elements), residuals (equation_count()) and Jacobian
    // values (nonzero_count()), element number - 1.
    double* values();
    const double* residuals() const;
    const double* jacobian_values() const;

    // Runs the block's residual or Jacobian evaluation on the current values.
    void evaluate_residuals();
    void evaluate_jacobian();
    // Sets the convergence summary's "STATUS", lets the block read it, and
    // answers the block's own verdict text.
    std::string report_solve(bool converged);

  private:
    // The block's text attribute `name`; throws `missing` when it has none.
    std::string block_text(const std::string& name, const std::string& missing) const;

    ZELFactoryLib registry_;
    PluginLibrary plugin_;
    // Declared last, so its blocks end before the plug-in is unloaded.
    ZELEOCntr container_;
};

// The identity text of the plug-in at `plugin_path`, without creating a block.
std::string plugin_identity(const std::string& plugin_path);
