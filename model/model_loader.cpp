#include <nlohmann/json.hpp>

#include "file_chunks.h"
#include "joined_lines_text.h"
#include "model_loading.h"
#include "model_reader.h"
#include "strict_json.h"

namespace {

// Feeds the file at `path` to `reader`: false when the strict reader refuses
// the text, which the JSON library must then judge.
bool read_strictly(const std::string& path, ModelReader& reader) {
    FileChunks text(path);
    return read_strict_json(text, reader) == StrictReading::accepted;
}

// Feeds the file's joined lines to `reader` through the JSON library, which
// raises its own fault of the text.
void read_with_json_library(const std::string& path, ModelReader& reader) {
    JoinedLinesText text(path);
    nlohmann::json::sax_parse(text.begin(), text.end(), &reader,
                              nlohmann::json::input_format_t::json, true);
}

// Loads as `load_model_file` does; `with_places` is the reader's.
void load(const std::string& path, ModelDefinition& model, TextReading reading, bool with_places,
          model_reading::Fault* raised) {
    // Valid text, almost every file, is read by the strict reader straight
    // from the file's chunks. Anything it refuses is read again from the
    // start, with a fresh reader, by the JSON library over the joined lines:
    // it raises its own fault at its own place, or reads the text as it reads
    // it. Either way the same events build the same records, and the first
    // fault of the model is raised by `finish` once the whole text is read.
    const auto finish = [&](ModelStorage& storage, ModelReader& reader) {
        // The records' texts and trees are the model's from here, also when
        // `finish` raises after appending some of them.
        model.storage().take_over(storage);
        try {
            reader.finish(model);
        } catch (...) {
            if (raised != nullptr) {
                *raised = reader.raised();
            }
            throw;
        }
    };
    if (reading == TextReading::strict_first) {
        ModelStorage storage;
        ModelReader reader(storage, with_places);
        if (read_strictly(path, reader)) {
            finish(storage, reader);
            return;
        }
    }
    ModelStorage storage;
    ModelReader reader(storage, with_places);
    read_with_json_library(path, reader);
    finish(storage, reader);
}

}  // namespace

void load_model_file(const std::string& path, ModelDefinition& model, TextReading reading) {
    load(path, model, reading, false, nullptr);
}

void ModelDefinition::load_model(const std::string& path) {
    load_model_file(path, *this, TextReading::strict_first);
}

ModelFaultPlace locate_model_fault(const std::string& path) {
    ModelFaultPlace place;
    ModelDefinition model;
    model_reading::Fault raised;
    try {
        load(path, model, TextReading::strict_first, true, &raised);
    } catch (const nlohmann::json::parse_error& fault) {
        place.what = fault.what();
        // The library counts the bytes it read, the one it stopped at included.
        place.joined_offset = static_cast<long long>(fault.byte) - 1;
    } catch (const nlohmann::json::type_error& fault) {
        place.what = fault.what();
        place.has_pointer = true;
        place.pointer = raised.place;
    } catch (const std::exception& fault) {
        place.what = fault.what();
    }
    return place;
}
