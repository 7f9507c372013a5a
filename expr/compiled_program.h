#pragma once

#include <cstddef>
#include <vector>

#include "instruction.h"
#include "text_constants.h"

// Trees compiled into one flat instruction array (see program_builder.h),
// each tree's value stored into an output vector when it is computed. A run
// computes, bit for bit, what the tree walk computes for each tree in turn.
class CompiledProgram {
  public:
    // `code` gets its END appended; room for it saves copying the program.
    CompiledProgram(InstructionVector code, TextConstants texts, std::size_t slots);

    // Runs every instruction in order: reads `values`, which must hold every
    // element the program was compiled to read, and writes each tree's value
    // into `out` at the place given when it was compiled. A numeric-text fault
    // raises std::invalid_argument or std::out_of_range with the values of the
    // trees before it written.
    void run(const double* values, double* out);

    const InstructionVector& code() const { return code_; }

  private:
    InstructionVector code_;
    TextConstants texts_;
    std::vector<double> stack_;  // as deep as the program's deepest point
    std::vector<double> slots_;  // values of repeated subtrees, written before read
};
