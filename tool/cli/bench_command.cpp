#include "bench_command.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "bench_timing.h"
#include "exit_codes.h"
#include "json_output.h"
#include "model_definition.h"
#include "model_session.h"

namespace {

std::int64_t tree_nodes(const ExprNode& root) {
    std::int64_t count = 0;
    std::vector<const ExprNode*> pending{&root};
    while (!pending.empty()) {
        const ExprNode* node = pending.back();
        pending.pop_back();
        ++count;
        for (const auto& child : node->subexpressions()) {
            pending.push_back(&child);
        }
    }
    return count;
}

std::int64_t model_nodes(const std::string& model_path) {
    ModelDefinition model;
    model.load_model(model_path);
    std::int64_t count = 0;
    for (const auto& equation : model.equations()) {
        count += tree_nodes(equation);
        for (const auto& entry : equation.variables()) {
            count += entry.differential ? tree_nodes(*entry.differential) : 0;
        }
    }
    return count;
}

}  // namespace

BenchFigures measure_bench(const std::string& plugin_path, const std::string& model_path,
                           int repeat) {
    BenchFigures figures;
    std::vector<double> loads;
    std::unique_ptr<ModelSession> session;
    for (int r = 0; r < repeat; ++r) {
        session.reset();
        loads.push_back(
            seconds_of([&] { session = std::make_unique<ModelSession>(plugin_path, model_path); }));
    }
    figures.load_s = median(loads);
    const auto residuals = [&] { session->evaluate_residuals(); };
    const auto jacobian = [&] { session->evaluate_jacobian(); };
    figures.evaluations = std::max(calls_per_sample(residuals), calls_per_sample(jacobian));
    figures.residual_s = median_per_call(residuals, figures.evaluations, repeat);
    figures.jacobian_s = median_per_call(jacobian, figures.evaluations, repeat);
    figures.equations = session->equation_count();
    figures.nonzeros = session->nonzero_count();
    figures.nodes = model_nodes(model_path);
    return figures;
}

void add_bench_options(CLI::App& command, BenchOptions& options) {
    add_model_options(command, options.model, false);
    command.add_option("--repeat", options.repeat, "timed repeats; medians are printed")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
}

int run_bench(const BenchOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    const BenchFigures figures = measure_bench(
        context.plugin_path, context.models.path_of(options.model.model_path), options.repeat);
    if (options.model.format == OutputFormat::json) {
        write_json(out, {{"load_s", json_number(figures.load_s)},
                         {"evaluations", figures.evaluations},
                         {"residual_s", json_number(figures.residual_s)},
                         {"jacobian_s", json_number(figures.jacobian_s)},
                         {"nodes", figures.nodes},
                         {"equations", figures.equations},
                         {"nonzeros", figures.nonzeros}});
        return exit_code::success;
    }
    out << "load_s       " << figures.load_s << '\n'
        << "evaluations  " << figures.evaluations << '\n'
        << "residual_s   " << figures.residual_s << '\n'
        << "jacobian_s   " << figures.jacobian_s << '\n'
        << "nodes        " << figures.nodes << '\n'
        << "equations    " << figures.equations << '\n'
        << "nonzeros     " << figures.nonzeros << '\n';
    return exit_code::success;
}
