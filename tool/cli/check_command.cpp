#include "check_command.h"

#include "exit_codes.h"
#include "json_output.h"
#include "loaded_model.h"
#include "model_check.h"
#include "model_input.h"
#include "spy_plot.h"
#include "text_table.h"

namespace {

void print_findings(const ModelSession& session, const ModelCheck& check, const std::string& path,
                    std::ostream& out) {
    out << "Checked " << path << ": " << counted(session.equation_count(), "equation") << ", "
        << counted(session.variable_count(), "variable") << ", "
        << counted(session.nonzero_count(), "nonzero") << "\n\n";
    if (!check.findings().empty()) {
        using Align = TextTable::Align;
        TextTable table({{"severity", Align::left},
                         {"kind", Align::left},
                         {"equation", Align::left},
                         {"variable", Align::left},
                         {"place", Align::left},
                         {"finding", Align::left}});
        for (const Finding& finding : check.findings()) {
            table.add_row({severity_text(finding.severity()), finding.kind().name,
                           check.equation_text(finding), finding.symbol, finding.pointer,
                           finding.message});
        }
        table.print(out);
        out << '\n';
    }
    out << check.errors() << (check.errors() == 1 ? " error, " : " errors, ") << check.warnings()
        << (check.warnings() == 1 ? " warning\n" : " warnings\n");
}

}  // namespace

void add_check_options(CLI::App& command, CheckOptions& options) {
    add_model_options(command, options.model, false);
    add_start_options(command, options.model);
    command.add_option("--spy", options.spy_path, "write the Jacobian's pattern as SVG");
}

int run_check(const CheckOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    refuse_to_overwrite("--spy", options.spy_path, options.model.model_path);
    LoadedModel loaded = load_model(options.model, context);
    warn_about_start(loaded, options.model.start_path, context.err);
    const ModelCheck check(loaded.session, context.models.path_of(options.model.model_path));
    if (options.model.format == OutputFormat::json) {
        write_json_object(out, check.members());
    } else {
        print_findings(loaded.session, check, options.model.model_path, out);
    }
    if (!options.spy_path.empty()) {
        write_spy_plot(options.spy_path, check.structure(), check.findings(), check.model(),
                       options.model.model_path + ": Jacobian pattern");
    }
    return check.errors() > 0 ? exit_code::failure : exit_code::success;
}
