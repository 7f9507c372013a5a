#pragma once

#include <map>
#include <string>
#include <vector>

#include "model_session.h"
#include "name_resolver.h"

// The model variables' symbols as the model file writes them, by host number,
// asked of the block once after registration: the host's list holds only the
// upper-cased names, and the tool does not read the file behind the plug-in.
class VariableSymbols {
  public:
    explicit VariableSymbols(const ModelSession& session);

    // By host number (1-based).
    const std::string& symbol(int number) const;
    // Every host number of the variables that `typed` names (see
    // NameResolver: the file's spelling, or any letter case when unique), in
    // order. Throws UsageError starting with `option` when it names none,
    // saying what the name is when a note tells.
    std::vector<int> numbers_named(const std::string& typed, const std::string& option) const;

    // What a name that is no variable's is, for the message of a miss: `what`
    // follows "SYMBOL is " ("a constant of the equations (250), not a
    // variable; ...").
    void note_other_name(std::string symbol, std::string what);

  private:
    std::vector<std::string> symbols_;
    NameResolver resolver_;
    std::map<std::string, std::string> notes_;  // by symbol; the first note stays
};
