#include "model_document.h"

#include <fstream>

namespace {

std::string joined_lines(const std::string& path) {
    std::ifstream file(path);
    std::string text;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        text += line;
    }
    return text;
}

bool skipped(const nlohmann::json& element) {
    return element.is_number() && element == 0;
}

}  // namespace

ModelDocument::ModelDocument(const std::string& path)
    : root_(nlohmann::json::parse(joined_lines(path))) {}

std::string pointer_step(const std::string& key) {
    std::string step = "/";
    for (const char character : key) {
        step += character == '~' ? "~0" : character == '/' ? "~1" : std::string(1, character);
    }
    return step;
}

std::vector<ListElement> list_elements(const nlohmann::json* object, const std::string& member) {
    std::vector<ListElement> elements;
    if (!object || !object->is_object() || !object->contains(member)) {
        return elements;
    }
    const nlohmann::json& list = object->at(member);
    const std::string list_steps = pointer_step(member);
    if (list.is_array()) {
        for (std::size_t index = 0; index < list.size(); ++index) {
            const nlohmann::json& element = list.at(index);
            if (!skipped(element)) {
                elements.push_back({&element, list_steps + "/" + std::to_string(index)});
            }
        }
    } else if (list.is_object()) {
        for (const auto& [key, element] : list.items()) {
            if (!skipped(element)) {
                elements.push_back({&element, list_steps + pointer_step(key)});
            }
        }
    } else if (!list.is_null() && !skipped(list)) {
        elements.push_back({&list, list_steps});
    }
    return elements;
}
