#include <nlohmann/json.hpp>

#include "joined_lines_text.h"
#include "model_definition.h"
#include "model_reader.h"

void ModelDefinition::load_model(const std::string& path) {
    ModelReader reader(storage_);
    {
        JoinedLinesText text(path);
        nlohmann::json::sax_parse(text.begin(), text.end(), &reader,
                                  nlohmann::json::input_format_t::json, true);
    }
    reader.finish(*this);
}
