#pragma once

#include <string>

#include "model_definition.h"

// How a model file's text is read into the model. `load_model` reads it
// strictly first; the JSON library alone is the reading the strict one must
// agree with, event for event, and is what any text the strict reader
// refuses is read by.
enum class TextReading {
    strict_first,  // the strict reader, and the JSON library when it refuses
    json_library,  // the JSON library over the file's joined lines alone
};

// Appends the equations and model variables of the file at `path` to
// `model`, as `load_model` does, reading the text as `reading` says.
void load_model_file(const std::string& path, ModelDefinition& model, TextReading reading);

// The first fault of a model file, as loading it raises it, and where it lies.
struct ModelFaultPlace {
    std::string what;  // the exception's text; empty when the file loads
    // A parse fault: the byte (from 0) of the text with its lines joined at
    // which the JSON library stopped; -1 for other faults.
    long long joined_offset = -1;
    // A fault of a member's value (a type fault): the JSON pointer of the
    // member or list element that holds the value ("" is the document).
    bool has_pointer = false;
    std::string pointer;
};

// Loads the file at `path` into a model of its own, noting the places of
// faults, and says what its first fault is and where it lies.
ModelFaultPlace locate_model_fault(const std::string& path);
