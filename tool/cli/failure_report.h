#pragma once

#include <exception>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

// What the model given on the command line turned out to be, as far as the
// command got before it failed: the name messages use and the file the
// plug-in read, if any.
struct FailedModel {
    std::string name;  // as given; <stdin> for "-"
    std::string path;  // the file the plug-in read; empty when built or not yet known
};

// A failure as the tool reports it. `kind` says whose fault it is:
// "usage" (the command line), "equations" (equation text), "model" (the
// model file, as the plug-in reported it), "input" and "output" (a file that
// cannot be opened, read or written), "plug-in" (the library itself) and
// "failure" (anything else). `place` locates it where the tool can tell:
// {"file", "line", "column"} and or {"file", "pointer"}, else null.
struct FailureReport {
    std::string kind;
    std::string message;
    std::string text;  // the line for stderr, without its line end
    nlohmann::ordered_json place;
};

FailureReport report_of(const std::exception& failure, const FailedModel& model);

// The line on `err`, and with `as_json` also {"error": {...}} on `out`.
void print_failure(const FailureReport& report, bool as_json, std::ostream& out, std::ostream& err);
