#include "check_command.h"

#include "exit_codes.h"
#include "json_output.h"
#include "loaded_model.h"
#include "model_doctor.h"
#include "model_input.h"
#include "numbered_model.h"
#include "spy_plot.h"
#include "structure_checks.h"
#include "text_table.h"

namespace {

struct Counts {
    int errors = 0;
    int warnings = 0;
};

Counts count(const std::vector<Finding>& findings) {
    Counts counts;
    for (const Finding& finding : findings) {
        ++(finding.severity() == Severity::error ? counts.errors : counts.warnings);
    }
    return counts;
}

const char* severity_text(Severity severity) {
    return severity == Severity::error ? "error" : "warning";
}

std::string equation_text(const NumberedModel& model, const Finding& finding) {
    return finding.equation > 0 ? model.equation_name(finding.equation) : "";
}

nlohmann::ordered_json finding_document(const NumberedModel& model, const Finding& finding) {
    nlohmann::ordered_json document{{"severity", severity_text(finding.severity())},
                                    {"kind", finding.kind().name}};
    document["equation"] = finding.equation > 0
                               ? nlohmann::ordered_json(equation_text(model, finding))
                               : nlohmann::ordered_json(nullptr);
    document["variable"] = finding.symbol.empty() ? nlohmann::ordered_json(nullptr)
                                                  : nlohmann::ordered_json(finding.symbol);
    document["message"] = finding.message;
    if (!finding.pointer.empty()) {
        document["pointer"] = finding.pointer;
    }
    for (const auto& [key, value] : finding.details().items()) {
        document[key] = value;
    }
    return document;
}

void write_findings_json(const NumberedModel& model, const std::vector<Finding>& findings,
                         std::ostream& out) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Finding& finding : findings) {
        list.push_back(finding_document(model, finding));
    }
    const Counts counts = count(findings);
    write_json(
        out,
        {{"findings", std::move(list)}, {"errors", counts.errors}, {"warnings", counts.warnings}});
}

void print_findings(const ModelSession& session, const NumberedModel& model,
                    const std::string& path, const std::vector<Finding>& findings,
                    std::ostream& out) {
    out << "Checked " << path << ": " << counted(session.equation_count(), "equation") << ", "
        << counted(session.variable_count(), "variable") << ", "
        << counted(session.nonzero_count(), "nonzero") << "\n\n";
    if (!findings.empty()) {
        using Align = TextTable::Align;
        TextTable table({{"severity", Align::left},
                         {"kind", Align::left},
                         {"equation", Align::left},
                         {"variable", Align::left},
                         {"place", Align::left},
                         {"finding", Align::left}});
        for (const Finding& finding : findings) {
            table.add_row({severity_text(finding.severity()), finding.kind().name,
                           equation_text(model, finding), finding.symbol, finding.pointer,
                           finding.message});
        }
        table.print(out);
        out << '\n';
    }
    const Counts counts = count(findings);
    out << counts.errors << (counts.errors == 1 ? " error, " : " errors, ") << counts.warnings
        << (counts.warnings == 1 ? " warning\n" : " warnings\n");
}

}  // namespace

void add_check_options(CLI::App& command, CheckOptions& options) {
    add_model_options(command, options.model, false);
    add_at_option(command, options.model);
    command.add_option("--spy", options.spy_path, "write the Jacobian's pattern as SVG");
}

namespace {

// The Jacobian at the starting point, for the numeric checks of the system;
// when it cannot be evaluated (a numeric text that is no number, which the
// tree checks report), those checks are left out.
JacobianValues starting_jacobian(ModelSession& session) {
    try {
        return jacobian_values(session);
    } catch (const std::exception&) {
        JacobianValues none;
        none.finite = false;
        return none;
    }
}

}  // namespace

int run_check(const CheckOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    refuse_to_overwrite("--spy", options.spy_path, options.model.model_path);
    LoadedModel loaded = load_model(options.model, context);
    // check alone reads the file besides the plug-in: the host cannot show
    // which variables a tree references, nor where in the file a node lies.
    const std::string& model_file = context.models.path_of(options.model.model_path);
    const NumberedModel model(model_file, loaded.session);
    const BipartiteGraph structure = host_structure(loaded.session);
    std::vector<Finding> findings =
        examine_model(loaded.session, model, structure, starting_jacobian(loaded.session));
    place_findings(model_file, findings);
    if (options.model.format == OutputFormat::json) {
        write_findings_json(model, findings, out);
    } else {
        print_findings(loaded.session, model, options.model.model_path, findings, out);
    }
    if (!options.spy_path.empty()) {
        write_spy_plot(options.spy_path, structure, findings, model,
                       options.model.model_path + ": Jacobian pattern");
    }
    return count(findings).errors > 0 ? exit_code::failure : exit_code::success;
}
