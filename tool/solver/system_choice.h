#pragma once

#include <set>
#include <string>
#include <vector>

#include "loaded_model.h"
#include "model_file_scan.h"
#include "starting_point.h"

// Which variables and equations a solve takes: the model's, less the
// variables fixed (--fix, or swept) and the equations freed (--free).
struct SystemChoice {
    std::set<int> fixed;         // host variable numbers
    std::set<int> freed;         // host equation numbers
    std::vector<int> unknowns;   // host variable number of each column
    std::vector<int> equations;  // host equation number of each row
};

// How the caller's options read in messages: the command line's by default.
struct ChoiceWording {
    std::string fix = "--fix";
    std::string fix_usage = "--fix SYMBOL=VALUE";
    std::string vary = "--vary";
    std::string free = "--free";
    std::string free_usage = "--free EQUATION";
};

// Sets each fixed variable's value (`varied`: sweep's, after --fix) and
// takes the freed equations out. Throws UsageError naming a symbol or an
// equation the model does not have.
SystemChoice choose_system(LoadedModel& loaded, const ModelFileScan& scan,
                           const std::vector<Assignment>& fixes,
                           const std::vector<Assignment>& varied,
                           const std::vector<std::string>& free_equations,
                           const ChoiceWording& wording = {});

// Throws UsageError when the chosen system is not square, saying by how much
// and which variables could be fixed or unfixed, or equations freed, to make it so.
void require_square(const LoadedModel& loaded, const ModelFileScan& scan,
                    const SystemChoice& choice, const ChoiceWording& wording = {});
