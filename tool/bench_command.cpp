#include "bench_command.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "json_output.h"
#include "model_definition.h"
#include "model_session.h"

namespace {

using Clock = std::chrono::steady_clock;

// Each timed repeat lasts about this long, so short evaluations are timed
// over many calls.
constexpr double SAMPLE_S = 0.2;

double seconds_of(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle]
                                   : (samples[middle - 1] + samples[middle]) / 2.0;
}

// How many calls of `work` fill a sample: one untimed call, then doubling.
std::int64_t calls_per_sample(const std::function<void()>& work) {
    work();
    std::int64_t calls = 1;
    while (seconds_of([&] {
               for (std::int64_t i = 0; i < calls; ++i) {
                   work();
               }
           }) < SAMPLE_S / 4) {
        calls *= 2;
    }
    return calls * 4;
}

double median_per_call(const std::function<void()>& work, std::int64_t calls, int repeat) {
    std::vector<double> samples;
    for (int r = 0; r < repeat; ++r) {
        samples.push_back(seconds_of([&] {
                              for (std::int64_t i = 0; i < calls; ++i) {
                                  work();
                              }
                          }) /
                          static_cast<double>(calls));
    }
    return median(samples);
}

std::int64_t tree_nodes(const ExprNode& root) {
    std::int64_t count = 0;
    std::vector<const ExprNode*> pending{&root};
    while (!pending.empty()) {
        const ExprNode* node = pending.back();
        pending.pop_back();
        ++count;
        for (const auto& child : node->subexpressions) {
            pending.push_back(child.get());
        }
    }
    return count;
}

std::int64_t model_nodes(const std::string& model_path) {
    ModelDefinition model;
    model.load_model(model_path);
    std::int64_t count = 0;
    for (const auto& equation : model.equations()) {
        count += tree_nodes(*equation);
        for (const auto& entry : equation->variables) {
            count += entry->differential ? tree_nodes(*entry->differential) : 0;
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

int run_bench(const BenchOptions& options, std::ostream& out) {
    const BenchFigures figures =
        measure_bench(options.model.plugin_path, options.model.model_path, options.repeat);
    if (options.model.format == OutputFormat::json) {
        write_json(out, {{"load_s", json_number(figures.load_s)},
                         {"evaluations", figures.evaluations},
                         {"residual_s", json_number(figures.residual_s)},
                         {"jacobian_s", json_number(figures.jacobian_s)},
                         {"nodes", figures.nodes},
                         {"equations", figures.equations},
                         {"nonzeros", figures.nonzeros}});
        return 0;
    }
    out << "load_s       " << figures.load_s << '\n'
        << "evaluations  " << figures.evaluations << '\n'
        << "residual_s   " << figures.residual_s << '\n'
        << "jacobian_s   " << figures.jacobian_s << '\n'
        << "nodes        " << figures.nodes << '\n'
        << "equations    " << figures.equations << '\n'
        << "nonzeros     " << figures.nonzeros << '\n';
    return 0;
}
