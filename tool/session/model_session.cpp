#include "model_session.h"

#include <stdexcept>

#include "value_t.h"
#include "zel_block.h"

namespace {

constexpr const char* BLOCK_TYPE = "QUILLON";
constexpr const char* BLOCK_NAME = "MODEL";

ZELEOBlock* create_block(const ZELFactoryLib& registry, const std::string& model_path) {
    ZELBlkFactory* factory = registry.Lookup(BLOCK_TYPE);
    if (!factory) {
        throw PluginError(std::string("the plug-in registers no ") + BLOCK_TYPE + " factory");
    }
    const std::string text = "model=" + model_path;
    value_t parameter{};
    parameter.text = text.c_str();
    parameter.type = VALUE_TEXT;
    ZELEOBlock* block = factory->create(BLOCK_NAME, &parameter);
    if (!block) {
        const char* reason = factory->error_message();
        throw std::runtime_error(reason ? reason : "the factory made no block");
    }
    return block;
}

void require_success(std::int64_t status, const char* operation) {
    if (status != 0) {
        throw std::runtime_error(std::string("the block answered status ") +
                                 std::to_string(status) + " to " + operation);
    }
}

template <typename Record>
const Record& found(const Record* record, const char* what, int number) {
    if (!record) {
        throw std::out_of_range(std::string("no ") + what + " " + std::to_string(number));
    }
    return *record;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

// An exception thrown inside the plug-in (a model file's fault) keeps its
// what() and destructor in the plug-in's code, which is unloaded while the
// exception unwinds past the session; its text is copied into one of the
// tool's own while the plug-in is still loaded.
template <typename Operation>
void inside_plugin(Operation operation) {
    try {
        operation();
    } catch (const std::exception& error) {
        throw ModelFault(error.what());
    }
}

}  // namespace

ModelSession::ModelSession(const std::string& plugin_path, const std::string& model_path)
    : plugin_(plugin_path) {
    if (plugin_.init(registry_) != zeldll_result::success) {
        throw PluginError("the plug-in " + plugin_path + " refused to initialise");
    }
    inside_plugin([&] {
        container_.add_block(create_block(registry_, model_path));
        require_success(container_.build_structure(), "registration");
    });
}

std::string ModelSession::identity() const {
    const char* text = plugin_.identity();
    return text ? text : "";
}

int ModelSession::variable_count() const {
    return container_.variables()->size();
}

int ModelSession::equation_count() const {
    return container_.equations()->size();
}

int ModelSession::nonzero_count() const {
    return container_.jacobian()->size();
}

const rtvar_t& ModelSession::variable(int number) const {
    return found(container_.variables()->find(number), "variable", number);
}

const rteqn_t& ModelSession::equation(int number) const {
    return found(container_.equations()->find(number), "equation", number);
}

const rt_nz_t& ModelSession::nonzero(int number) const {
    return found(container_.jacobian()->find(number), "nonzero", number);
}

std::string ModelSession::variable_symbol(int number) const {
    variable(number);
    const std::string name = "VARIABLE_SYMBOL " + std::to_string(number);
    return block_text(name, "the block does not answer " + name);
}

std::string ModelSession::entry_symbol(int nonzero_number) const {
    nonzero(nonzero_number);
    const std::string name = "ENTRY_SYMBOL " + std::to_string(nonzero_number);
    return block_text(name, "the block does not answer " + name);
}

std::string ModelSession::block_text(const std::string& name, const std::string& missing) const {
    value_t answer{};
    const ZELEOBlock* block = container_.block(0);
    if (!block->attr_lookup(name.c_str(), answer) || answer.type != VALUE_TEXT || !answer.text) {
        throw std::runtime_error(missing);
    }
    return answer.text;
}

std::vector<int> ModelSession::incomplete_nonzeros() const {
    return container_.jacobian()->incomplete_nonzeros();
}

std::vector<std::string> ModelSession::refusals() const {
    std::vector<std::string> all;
    append(all, container_.variables()->diagnostics());
    append(all, container_.equations()->diagnostics());
    return all;
}

double& ModelSession::value(int number) {
    variable(number);
    return container_.variables()->values()[number - 1];
}

double ModelSession::value(int number) const {
    variable(number);
    return container_.variables()->values()[number - 1];
}

double ModelSession::residual(int equation_number) const {
    equation(equation_number);
    return container_.equations()->residuals()[equation_number - 1];
}

double ModelSession::jacobian_value(int nonzero_number) const {
    nonzero(nonzero_number);
    return container_.jacobian()->values()[nonzero_number - 1];
}

double* ModelSession::values() {
    return container_.variables()->values();
}

const double* ModelSession::residuals() const {
    return container_.equations()->residuals();
}

const double* ModelSession::jacobian_values() const {
    return container_.jacobian()->values();
}

void ModelSession::evaluate_residuals() {
    inside_plugin(
        [&] { require_success(container_.evaluate_residuals(), "the residual evaluation"); });
}

void ModelSession::evaluate_jacobian() {
    inside_plugin(
        [&] { require_success(container_.evaluate_jacobian(), "the Jacobian evaluation"); });
}

std::string ModelSession::report_solve(bool converged) {
    inside_plugin([&] {
        require_success(container_.report_solve(converged ? RT_CONVERGED : RT_NOT_CONVERGED),
                        "the solve report");
    });
    return block_text("STATUS_TEXT", "the block keeps no verdict after the solve report");
}

std::string plugin_identity(const std::string& plugin_path) {
    const PluginLibrary plugin(plugin_path);
    const char* text = plugin.identity();
    return text ? text : "";
}
