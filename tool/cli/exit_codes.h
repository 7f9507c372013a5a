#pragma once

// The tool's exit codes, which scripts rely on.
namespace exit_code {

// The command did what was asked.
constexpr int success = 0;
// The command ran, but its result is a failure: a solve that did not
// converge, a check that found errors.
constexpr int failure = 1;
// The command could not run: wrong usage, a model or equation text that
// cannot be read, loaded or evaluated, a file that cannot be written.
constexpr int usage_or_model_error = 2;

}  // namespace exit_code
