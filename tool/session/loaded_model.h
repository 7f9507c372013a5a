#pragma once

#include <memory>
#include <string>
#include <vector>

#include "background_scan.h"
#include "model_extras.h"
#include "model_file_scan.h"
#include "model_options.h"
#include "model_session.h"
#include "variable_symbols.h"
#include "warm_start.h"

// A model as the commands start from it: loaded through the plug-in into the
// host, with the variables' symbols as the block answers them, and the
// --start values, then the --at assignments, applied to the host's values.
struct LoadedModel {
    explicit LoadedModel(const ModelOptions& options);

  private:
    // The scan of options.scan_ahead, started first so that it reads the
    // file while the plug-in loads it; ended (and waited for) last.
    mutable std::unique_ptr<BackgroundScan> scan_ahead_;
    // The --start result, read (and refused under strict_start) before the
    // plug-in loads the model; its values are applied after, then dropped.
    EarlierResult start_;

  public:
    ModelSession session;
    VariableSymbols symbols;
    // The symbols of the --start file that no model variable has.
    std::vector<std::string> unknown_start_symbols;
    // How the solve that wrote the --start file ended, as the file says.
    const ResultStatus& start_status() const { return start_.status; }

    // What the host's lists do not hold, read from the file on first use
    // (commands that print no names never read it) or ahead, as the options
    // asked, and checked against what the block registered; the equations'
    // texts only when asked for, so a command that shows them asks first,
    // and the file is read once (asking later reads it again, and ends what
    // an earlier call returned). By host number (1-based), as the file
    // writes them: an equation's name and text, a variable's description
    // (empty when the file gives none).
    const ModelFileScan& file(ScanTexts texts = ScanTexts::names_only) const;
    const std::string& equation_name(int number) const;
    const std::string& equation_text(int number) const;
    const std::string& description(int variable_number) const;

    // The model's parameters and outputs, read from the file on first use
    // when its scan found the members that hold them.
    const ModelExtras& extras() const;

  private:
    // The ahead scan's result when it has what `texts` asks for (then
    // `texts` becomes what it kept), else a scan now.
    ModelFileScan scanned_file(ScanTexts& texts) const;

    std::string model_path_;
    mutable std::unique_ptr<const ModelFileScan> file_;
    mutable bool file_texts_ = false;
    mutable std::unique_ptr<const ModelExtras> extras_;
};

// The symbol of the variable of nonzero `nonzero_number`; for a nonzero that
// names no model variable, the entry's own symbol marked as such.
std::string nonzero_symbol(const LoadedModel& loaded, int nonzero_number);
