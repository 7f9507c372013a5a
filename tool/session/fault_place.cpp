#include "fault_place.h"

#include <cstdio>
#include <memory>
#include <regex>
#include <utility>
#include <vector>

#include "model_document.h"

namespace {

using json = nlohmann::json;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool is_continuation_byte(int byte) {
    return (byte & 0xC0) == 0x80;
}

// A fault found in the walk: the member's pointer when its kind is wrong.
class TypeFaultSearch {
  public:
    TypeFaultSearch(std::string wanted, std::string actual)
        : wanted_(std::move(wanted)), actual_(std::move(actual)) {}

    std::string first_in(const json& root) {
        // The last pushed is read first: equations before variables, as the loader reads them.
        push_list(&root, "Variables", "", Role::entry);
        push_list(&root, "EquationList", "", Role::node);
        while (!pending_.empty()) {
            const Pending next = pending_.back();
            pending_.pop_back();
            if (next.role == Role::node ? node(next) : entry(next)) {
                return found_;
            }
        }
        return "";
    }

  private:
    enum class Role { node, entry };
    struct Pending {
        const json* value;
        std::string pointer;
        Role role;
    };

    // Whether `value` at `pointer` is the fault: a `wanted` holding an `actual`.
    bool wrong(const json* value, const std::string& pointer, const char* wanted) {
        const std::string actual = value ? value->type_name() : "null";
        if (wanted_ == wanted && actual_ == actual) {
            found_ = pointer;
            return true;
        }
        return false;
    }

    static const json* member(const json& object, const char* name) {
        const auto found = object.find(name);
        return found == object.end() ? nullptr : &*found;
    }

    static bool is_null(const json* value) { return value == nullptr || value->is_null(); }

    // An optional member: null or of the wanted kind.
    bool optional_wrong(const json& object, const std::string& pointer, const char* name,
                        const char* wanted, bool (json::*is_kind)() const noexcept) {
        const json* value = member(object, name);
        return !is_null(value) && !(value->*is_kind)() &&
               wrong(value, pointer + "/" + name, wanted);
    }

    // A required member of the wanted kind.
    bool required_wrong(const json& object, const std::string& pointer, const char* name,
                        const char* wanted, bool (json::*is_kind)() const noexcept) {
        const json* value = member(object, name);
        return (value == nullptr || !(value->*is_kind)()) &&
               wrong(value, pointer + "/" + name, wanted);
    }

    // The elements of a list member, to be read first to last.
    void push_list(const json* object, const char* name, const std::string& pointer, Role role) {
        const std::vector<ListElement> elements = list_elements(object, name);
        for (auto element = elements.rbegin(); element != elements.rend(); ++element) {
            pending_.push_back({element->value, pointer + element->steps, role});
        }
    }

    bool element_wrong(const Pending& at, const char* wanted) {
        return at.value->is_null() && wrong(at.value, at.pointer, wanted);
    }

    bool node(const Pending& at) {
        if (!at.value->is_object()) {
            return element_wrong(at, "number");
        }
        const json& object = *at.value;
        const json* type = member(object, "Type");
        if ((type == nullptr || !(type->is_number() || type->is_boolean())) &&
            wrong(type, at.pointer + "/Type", "number")) {
            return true;
        }
        if (type == nullptr || !(type->is_number() || type->is_boolean())) {
            return false;
        }
        if (optional_wrong(object, at.pointer, "EquationName", "string", &json::is_string) ||
            optional_wrong(object, at.pointer, "EquationString", "string", &json::is_string)) {
            return true;
        }
        const long long code = type->is_boolean() ? type->get<bool>() : type->get<long long>();
        if (code == 2 &&
            required_wrong(object, at.pointer, "DoubleValue", "number", &json::is_number)) {
            return true;
        }
        if ((code == 3 || code == 4 || code == 6) &&
            required_wrong(object, at.pointer, "StringValue", "string", &json::is_string)) {
            return true;
        }
        // Entries are read after the children: pushed first.
        push_list(&object, "Variables", at.pointer, Role::entry);
        if (code == 0 || code == 1 || code == 5 || code == 6) {
            push_list(&object, "SubExpressions", at.pointer, Role::node);
        }
        return false;
    }

    bool entry(const Pending& at) {
        if (!at.value->is_object()) {
            return element_wrong(at, "string");
        }
        const json& object = *at.value;
        if (optional_wrong(object, at.pointer, "VariableName", "string", &json::is_string) ||
            required_wrong(object, at.pointer, "VariableSymbol", "string", &json::is_string)) {
            return true;
        }
        for (const char* bound : {"Min", "Max", "Initial"}) {
            if (optional_wrong(object, at.pointer, bound, "number", &json::is_number)) {
                return true;
            }
        }
        const json* differential = member(object, "Differential");
        if (differential != nullptr && differential->is_object()) {
            pending_.push_back({differential, at.pointer + "/Differential", Role::node});
        }
        return false;
    }

    std::string wanted_;
    std::string actual_;
    std::vector<Pending> pending_;
    std::string found_;
};

}  // namespace

FaultPlace joined_offset_place(const std::string& path, long long joined_offset) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    FaultPlace place;
    if (!file) {
        return place;
    }
    long long joined = 0;
    int line = 1;
    int column = 0;
    int byte = std::fgetc(file.get());
    while (byte != EOF) {
        const int next = std::fgetc(file.get());
        if (byte == '\n') {
            ++line;
            column = 0;
        } else if (byte != '\r' || next != '\n') {
            if (!is_continuation_byte(byte)) {
                ++column;
            }
            if (joined == joined_offset) {
                place.line = line;
                place.column = column;
                return place;
            }
            ++joined;
        }
        byte = next;
    }
    if (joined == joined_offset) {  // just past the end: where more text was wanted
        place.line = line;
        place.column = column + 1;
    }
    return place;
}

std::string type_fault_pointer(const std::string& path, const std::string& wanted,
                               const std::string& actual) {
    try {
        const ModelDocument document(path);
        return TypeFaultSearch(wanted, actual).first_in(document.root());
    } catch (const std::exception&) {
        return "";
    }
}

FaultPlace model_fault_place(const std::string& path, const std::string& fault_text) {
    static const std::regex parse_place(R"(parse error at line 1, column (\d+))");
    static const std::regex type_fault(R"(type must be (\w+), but is (\w+))");
    std::smatch match;
    if (std::regex_search(fault_text, match, parse_place)) {
        return joined_offset_place(path, std::stoll(match[1].str()) - 1);
    }
    FaultPlace place;
    if (std::regex_search(fault_text, match, type_fault)) {
        place.pointer = type_fault_pointer(path, match[1].str(), match[2].str());
    }
    return place;
}
