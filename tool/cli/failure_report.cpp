#include "failure_report.h"

#include <CLI/CLI.hpp>

#include "fault_place.h"
#include "file_faults.h"
#include "json_output.h"
#include "lang_error.h"
#include "model_session.h"
#include "plugin_library.h"
#include "usage_error.h"

namespace {

using ordered_json = nlohmann::ordered_json;

constexpr const char* prefix = "quillon: error: ";

FailureReport plain(const std::string& kind, const std::string& message) {
    return {kind, message, prefix + message, nullptr};
}

FailureReport equations_report(const lang::LangError& fault) {
    ordered_json place = ordered_json::object();
    place["file"] = fault.source();
    place["line"] = fault.line();
    place["column"] = fault.column();
    // The text names the file, line and column as a compiler does.
    return {"equations", fault.message(), fault.what(), place};
}

// The plug-in's text, with the file's own place put before it.
FailureReport model_report(const ModelFault& fault, const FailedModel& model) {
    FailureReport report = plain("model", fault.what());
    if (model.path.empty()) {
        return report;
    }
    const FaultPlace found = model_fault_place(model.path, fault.what());
    ordered_json place = ordered_json::object();
    place["file"] = model.name;
    if (found.line > 0) {
        place["line"] = found.line;
        place["column"] = found.column;
        report.text = prefix + model.name + ":" + std::to_string(found.line) + ":" +
                      std::to_string(found.column) + ": " + fault.what();
    } else if (!found.pointer.empty()) {
        place["pointer"] = found.pointer;
        report.text = prefix + model.name + ": at " + found.pointer + ": " + fault.what();
    } else {
        return report;
    }
    report.place = place;
    return report;
}

}  // namespace

FailureReport report_of(const std::exception& failure, const FailedModel& model) {
    if (const auto* fault = dynamic_cast<const lang::LangError*>(&failure)) {
        return equations_report(*fault);
    }
    if (const auto* fault = dynamic_cast<const ModelFault*>(&failure)) {
        return model_report(*fault, model);
    }
    if (const auto* fault = dynamic_cast<const FileFault*>(&failure)) {
        return plain(fault->direction() == FileFault::Direction::input ? "input" : "output",
                     fault->what());
    }
    if (dynamic_cast<const UsageError*>(&failure) || dynamic_cast<const CLI::Error*>(&failure)) {
        return plain("usage", failure.what());
    }
    if (dynamic_cast<const PluginError*>(&failure)) {
        return plain("plug-in", failure.what());
    }
    return plain("failure", failure.what());
}

void print_failure(const FailureReport& report, bool as_json, std::ostream& out,
                   std::ostream& err) {
    err << report.text << '\n';
    if (as_json) {
        ordered_json error = ordered_json::object();
        error["kind"] = report.kind;
        error["message"] = report.message;
        error["place"] = report.place;
        ordered_json document = ordered_json::object();
        document["error"] = error;
        write_json_replacing_invalid_text(out, document);
    }
}
