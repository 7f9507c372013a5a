#include "language_members.h"

#include <cstdint>
#include <map>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "joined_lines_text.h"
#include "model_reader.h"

namespace {

using nlohmann::json;

// The document's language members, each written back as JSON text from the
// parse events, so that no document of the whole file is built and nothing
// recurses however deep the members nest.
class MemberTexts {
  public:
    bool null() { return value("null"); }
    bool boolean(bool value_read) { return value(value_read ? "true" : "false"); }
    bool number_integer(std::int64_t number) { return value(std::to_string(number)); }
    bool number_unsigned(std::uint64_t number) { return value(std::to_string(number)); }
    bool number_float(double, const std::string& text) { return value(text); }
    bool string(std::string& text) { return value(json(text).dump()); }
    bool binary(json::binary_t&) { return value("null"); }
    bool start_object(std::size_t) { return open('{'); }
    bool start_array(std::size_t) { return open('['); }
    bool end_object() { return close('}'); }
    bool end_array() { return close(']'); }
    bool key(std::string& name) {
        if (depth_ == 1) {
            // The last of repeated members counts, as in the loader.
            capturing_ = language_members::is_language_member(name) ? &texts[name] : nullptr;
            if (capturing_) {
                capturing_->clear();
            }
        } else if (capturing_) {
            separate();
            *capturing_ += json(name).dump() + ':';
            fresh_ = true;
        }
        return true;
    }
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

    std::map<std::string, std::string, std::less<>> texts;

  private:
    bool open(char bracket) {
        if (in_member()) {
            separate();
            *capturing_ += bracket;
            fresh_ = true;
        }
        ++depth_;
        return true;
    }
    bool close(char bracket) {
        --depth_;
        if (in_member()) {
            *capturing_ += bracket;
            fresh_ = false;
        }
        if (depth_ == 1) {
            capturing_ = nullptr;
        }
        return true;
    }
    bool value(const std::string& text) {
        if (in_member()) {
            separate();
            *capturing_ += text;
            fresh_ = false;
        }
        if (depth_ == 1) {
            capturing_ = nullptr;
        }
        return true;
    }
    bool in_member() const { return capturing_ != nullptr && depth_ >= 1; }
    // A comma before a value or key that is not the first of its container.
    void separate() {
        if (!fresh_ && depth_ > 1) {
            *capturing_ += ',';
        }
    }

    std::size_t depth_ = 0;
    std::string* capturing_ = nullptr;
    bool fresh_ = true;  // nothing written yet in the innermost container
};

[[noreturn]] void not_as_written(std::string_view member, const std::string& what) {
    throw std::runtime_error("the model file's " + std::string(member) + " member " + what);
}

std::string text_member(const json& object, const char* name, std::string_view member) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_string()) {
        not_as_written(member, std::string("has an element without the text \"") + name + "\"");
    }
    return found->get<std::string>();
}

json list_member(const std::string& text, std::string_view member) {
    json list = json::parse(text);
    if (!list.is_array()) {
        not_as_written(member, "is not a list");
    }
    for (const json& element : list) {
        if (!element.is_object()) {
            not_as_written(member, "has an element that is no object");
        }
    }
    return list;
}

std::vector<ParameterRecord> parameters_of(const std::string& text) {
    std::vector<ParameterRecord> parameters;
    for (const json& element : list_member(text, language_members::PARAMETERS)) {
        parameters.push_back({text_member(element, "VariableSymbol", language_members::PARAMETERS),
                              text_member(element, "EquationName", language_members::PARAMETERS)});
    }
    return parameters;
}

// The outputs' trees, by the plug-in's own reader, as the equations of a
// model of their own; their descriptions.
void read_outputs(const std::string& text, LanguageMembers& members) {
    for (const json& element : list_member(text, language_members::OUTPUTS)) {
        const auto description = element.find("VariableName");
        members.output_descriptions.push_back(description != element.end() &&
                                                      description->is_string()
                                                  ? description->get<std::string>()
                                                  : std::string());
    }
    const std::string model = "{\"EquationList\":" + text + "}";
    try {
        ModelReader reader(members.outputs->storage());
        json::sax_parse(model, &reader);
        reader.finish(*members.outputs);
    } catch (const json::exception& fault) {
        not_as_written(language_members::OUTPUTS,
                       std::string("is not as written: ") + fault.what());
    }
    if (members.outputs->equations().size() != members.output_descriptions.size()) {
        not_as_written(language_members::OUTPUTS, "has an element the loader does not keep");
    }
}

}  // namespace

LanguageMembers read_language_members(const std::string& path) {
    MemberTexts found;
    {
        JoinedLinesText text(path);
        json::sax_parse(text.begin(), text.end(), &found, json::input_format_t::json, true);
    }
    LanguageMembers members;
    if (const auto parameters = found.texts.find(language_members::PARAMETERS);
        parameters != found.texts.end()) {
        members.parameters = parameters_of(parameters->second);
    }
    if (const auto outputs = found.texts.find(language_members::OUTPUTS);
        outputs != found.texts.end()) {
        read_outputs(outputs->second, members);
    }
    return members;
}
