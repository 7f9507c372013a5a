#include "model_document.h"

#include <algorithm>
#include <fstream>

#include "model_format.h"

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

// A place is a run of "/MEMBER" and "/MEMBER#INDEX" steps; member names hold
// neither '/' nor '#'.
std::string ModelDocument::pointer_of(const std::string& place) const {
    std::string pointer;
    const nlohmann::json* at = &root_;
    std::size_t start = 0;
    while (at && start < place.size()) {
        const std::size_t end = std::min(place.find('/', start + 1), place.size());
        const std::string step = place.substr(start + 1, end - start - 1);
        start = end;
        const std::size_t hash = step.find('#');
        if (hash == std::string::npos) {
            if (!at->is_object() || !at->contains(step)) {
                break;
            }
            pointer += model_format::pointer_step(step);
            at = &at->at(step);
            continue;
        }
        const std::vector<ListElement> elements = list_elements(at, step.substr(0, hash));
        const std::size_t index = std::stoul(step.substr(hash + 1));
        if (index >= elements.size()) {
            break;
        }
        pointer += elements[index].steps;
        at = elements[index].value;
    }
    return pointer;
}

std::string record_step(const std::string& member, std::size_t index) {
    return "/" + member + "#" + std::to_string(index);
}

std::string member_step(const std::string& member) {
    return "/" + member;
}

std::vector<ListElement> list_elements(const nlohmann::json* object, const std::string& member) {
    std::vector<ListElement> elements;
    if (!object || !object->is_object() || !object->contains(member)) {
        return elements;
    }
    const nlohmann::json& list = object->at(member);
    const std::string list_steps = model_format::pointer_step(member);
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
                elements.push_back({&element, list_steps + model_format::pointer_step(key)});
            }
        }
    } else if (!list.is_null() && !skipped(list)) {
        elements.push_back({&list, list_steps});
    }
    return elements;
}
