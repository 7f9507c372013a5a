#include <istream>

#include <nlohmann/json.hpp>

#include "joined_lines_buffer.h"
#include "model_definition.h"
#include "model_reader.h"

void ModelDefinition::load_model(const std::string& path) {
    ModelReader reader(storage_);
    {
        JoinedLinesBuffer text(path);
        std::istream stream(&text);
        nlohmann::json::sax_parse(stream, &reader, nlohmann::json::input_format_t::json, true);
    }
    reader.finish(*this);
}
