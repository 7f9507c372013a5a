#pragma once

// Drives a model file through everything the host does with a block, and
// describes what happened in one short line, so that tables of hostile inputs
// can state the outcome they expect and print the outcome they got.

#include <chrono>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "loaded_plugin.h"
#include "zel_container.h"

struct HostOutcome {
    std::string text;    // "loaded 2 variables, 1 equations" or "json 101: ..."
    double seconds = 0;  // the whole path: create to destroy
};

// What the host's lists hold once the block has been run, for the checks a
// case needs beyond its outcome.
struct HostLists {
    std::string first_variable_name;
    std::string first_equation_name;
    double first_residual = 0.0;
};

// create with `parameter`, registration, pattern, residuals, Jacobian,
// verdict, destroy. Exceptions are described, never passed on.
inline HostOutcome run_host_path(ZELBlkFactory& factory, const value_t* parameter,
                                 HostLists* lists = nullptr) {
    const auto start = std::chrono::steady_clock::now();
    HostOutcome outcome;
    try {
        ZELEOCntr container;
        container.add_block(factory.create("HOSTILE", parameter));
        if (container.block_count() == 0) {
            outcome.text = std::string("no block: ") + factory.error_message();
        } else {
            container.build_structure();
            container.evaluate_residuals();
            container.evaluate_jacobian();
            container.report_solve(RT_CONVERGED);
            outcome.text = "loaded " + std::to_string(container.variables()->size()) +
                           " variables, " + std::to_string(container.equations()->size()) +
                           " equations";
            if (lists) {
                const auto* variable = container.variables()->find(1);
                const auto* equation = container.equations()->find(1);
                lists->first_variable_name = variable ? variable->name : "";
                lists->first_equation_name = equation ? equation->name : "";
                lists->first_residual = equation ? container.equations()->residuals()[0] : 0.0;
            }
        }
    } catch (const nlohmann::json::exception& error) {
        outcome.text = "json " + std::to_string(error.id);
    } catch (const std::exception& error) {
        outcome.text = std::string("error: ") + error.what();
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

// The same with the text parameter "model=" + `path`.
inline HostOutcome run_model_file(ZELBlkFactory& factory, const std::string& path,
                                  HostLists* lists = nullptr) {
    const std::string text = "model=" + path;
    const value_t parameter = text_parameter(text.c_str());
    return run_host_path(factory, &parameter, lists);
}
