#pragma once

// The two readings of a model file's text, side by side: the loader's (the
// strict reader first) and the JSON library's alone must build the same
// model or raise the same exception; where the strict reader accepts a text,
// its events must be the library's, one for one.

#include <exception>
#include <string>
#include <typeinfo>

#include <nlohmann/json.hpp>

#include "file_chunks.h"
#include "joined_lines_text.h"
#include "json_events.h"
#include "model_dump.h"
#include "model_loading.h"
#include "strict_json.h"

// What loading the file at `path` the way `reading` says comes to: the
// exception's type and text, if any, and the model as it stands afterwards.
inline std::string load_outcome(const std::string& path, TextReading reading) {
    ModelDefinition model;
    std::string outcome = "loaded";
    try {
        load_model_file(path, model, reading);
    } catch (const std::exception& fault) {
        outcome = std::string(typeid(fault).name()) + ": " + fault.what();
    }
    return outcome + "\n" + model_dump(model);
}

// The strict reader's verdict on the file at `path`, read in chunks of
// `chunk_bytes`, and its events.
inline StrictReading strict_events(const std::string& path, std::size_t chunk_bytes,
                                   std::string& events) {
    FileChunks text(path, chunk_bytes);
    JsonEvents recorder;
    const StrictReading verdict = read_strict_json(text, recorder);
    events = recorder.log();
    return verdict;
}

// The JSON library's events for the file's joined lines; false when it
// found a fault.
inline bool library_events(const std::string& path, std::string& events) {
    JsonEvents recorder;
    bool whole = false;
    try {
        JoinedLinesText text(path);
        whole = nlohmann::json::sax_parse(text.begin(), text.end(), &recorder,
                                          nlohmann::json::input_format_t::json, true);
    } catch (const nlohmann::json::exception&) {
        whole = false;
    }
    events = recorder.log();
    return whole;
}
