#include "loaded_model.h"

#include <stdexcept>
#include <string_view>
#include <system_error>

#include "starting_point.h"
#include "text_table.h"
#include "usage_error.h"
#include "warm_start.h"

namespace {

const std::string& at_number(const std::vector<std::string>& texts, int number, const char* what) {
    if (number < 1 || static_cast<std::size_t>(number) > texts.size()) {
        throw std::out_of_range(std::string("no ") + what + " " + std::to_string(number));
    }
    return texts[static_cast<std::size_t>(number - 1)];
}

// What the host and the block hold of a text from the file: a C string, so
// up to its first NUL byte (JSON lets a name hold one, escaped).
std::string_view as_held(const std::string& text) {
    return std::string_view(text.c_str());
}

// The file is read apart from the plug-in, so it may have been changed in
// between; names from another file would be worse than none.
void require_same_model(const ModelFileScan& file, const LoadedModel& loaded) {
    const ModelSession& session = loaded.session;
    bool same =
        file.variable_symbols.size() == static_cast<std::size_t>(session.variable_count()) &&
        file.equation_names.size() == static_cast<std::size_t>(session.equation_count()) &&
        file.entry_count == static_cast<std::size_t>(session.nonzero_count());
    for (int number = 1; same && number <= session.variable_count(); ++number) {
        same = as_held(file.variable_symbols[static_cast<std::size_t>(number - 1)]) ==
               loaded.symbols.symbol(number);
    }
    if (!same) {
        throw std::runtime_error("the model file changed while it was read");
    }
}

// "a constant of the equations (const k = 2), not a variable; ..."
std::string constant_note(const std::string& symbol, double value) {
    const std::string declared = symbol + " = " + readable_number(value);
    return "a constant of the equations (const " + declared +
           "), not a variable; declare it as a parameter, param " + declared +
           ", to change it without editing them";
}

std::unique_ptr<BackgroundScan> scan_ahead(const ModelOptions& options) {
    if (!options.scan_ahead) {
        return nullptr;
    }
    try {
        return std::make_unique<BackgroundScan>(options.model_path, *options.scan_ahead);
    } catch (const std::system_error&) {
        return nullptr;  // no thread to be had: the scan runs when it is needed
    }
}

EarlierResult read_start(const ModelOptions& options) {
    if (options.start_path.empty()) {
        return {};
    }
    EarlierResult start = read_result(options.start_path);
    if (options.strict_start && start.status.known() && !start.status.converged()) {
        throw UsageError(unconverged_start_text(options.start_path, start.status) +
                         "; --strict refuses it");
    }
    return start;
}

}  // namespace

LoadedModel::LoadedModel(const ModelOptions& options)
    : scan_ahead_(scan_ahead(options)),
      start_(read_start(options)),
      session(options.plugin_path, options.model_path),
      symbols(session),
      model_path_(options.model_path) {
    for (const auto& [symbol, value] : options.constants) {
        symbols.note_other_name(symbol, constant_note(symbol, value));
    }
    unknown_start_symbols = apply_known_assignments(start_.values, symbols, session);
    start_.values = {};
    apply_assignments(parse_assignments(options.at), symbols, session, "--at");
}

const ModelFileScan& LoadedModel::file(ScanTexts texts) const {
    const bool with_texts = texts == ScanTexts::with_equation_texts;
    if (!file_ || (with_texts && !file_texts_)) {
        ScanTexts kept = texts;
        auto scanned = std::make_unique<const ModelFileScan>(scanned_file(kept));
        require_same_model(*scanned, *this);
        file_ = std::move(scanned);
        file_texts_ = kept == ScanTexts::with_equation_texts;
    }
    return *file_;
}

const ModelExtras& LoadedModel::extras() const {
    if (!extras_) {
        const ModelFileScan& scan = file();
        extras_ = scan.has_language_members ? std::make_unique<const ModelExtras>(
                                                  read_language_members(model_path_), symbols, scan)
                                            : std::make_unique<const ModelExtras>();
    }
    return *extras_;
}

ModelFileScan LoadedModel::scanned_file(ScanTexts& texts) const {
    std::unique_ptr<BackgroundScan> ahead = std::move(scan_ahead_);
    if (ahead &&
        (texts == ScanTexts::names_only || ahead->texts() == ScanTexts::with_equation_texts)) {
        texts = ahead->texts();
        return ahead->take();
    }
    return scan_model_file(model_path_, texts);
}

const std::string& LoadedModel::equation_name(int number) const {
    return at_number(file().equation_names, number, "equation");
}

const std::string& LoadedModel::equation_text(int number) const {
    return at_number(file(ScanTexts::with_equation_texts).equation_texts, number, "equation");
}

const std::string& LoadedModel::description(int variable_number) const {
    return at_number(file().variable_descriptions, variable_number, "variable");
}

std::string nonzero_symbol(const LoadedModel& loaded, int nonzero_number) {
    const int variable = loaded.session.nonzero(nonzero_number).variable;
    if (variable == 0) {
        return "(none: " + loaded.session.entry_symbol(nonzero_number) + ")";
    }
    return loaded.symbols.symbol(variable);
}
