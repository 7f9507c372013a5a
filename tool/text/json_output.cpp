#include "json_output.h"

#include <algorithm>
#include <cmath>
#include <iomanip>

namespace {

// The indentation of one level, as the documents are written.
constexpr int indent_step = 2;
const std::string member_indent(indent_step, ' ');
const std::string element_indent(2 * indent_step, ' ');

// Writes `text`, a value as dump(indent_step) writes it on its own, where it
// stands one or two levels in: every line after its first is indented by
// `indent` more. A line end in such text always ends a line of structure:
// JSON writes the line ends inside strings as \n.
void write_nested(std::ostream& out, const std::string& text, const std::string& indent) {
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         end = text.find('\n', start)) {
        out.write(text.data() + start, static_cast<std::streamsize>(end + 1 - start));
        out << indent;
        start = end + 1;
    }
    out.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

void write_array(std::ostream& out, const JsonArrayStream& array) {
    if (array.count == 0) {
        out << "[]";
        return;
    }
    out << "[\n";
    for (std::size_t index = 0; index < array.count; ++index) {
        out << element_indent;
        write_nested(out, array.element(index).dump(indent_step), element_indent);
        out << (index + 1 < array.count ? ",\n" : "\n");
    }
    out << member_indent << ']';
}

void write_members(std::ostream& out, const std::vector<JsonMember>& members) {
    if (members.empty()) {
        out << "{}\n";
        return;
    }
    out << "{\n";
    for (std::size_t index = 0; index < members.size(); ++index) {
        const JsonMember& member = members[index];
        out << member_indent << nlohmann::ordered_json(member.key).dump() << ": ";
        if (const auto* array = std::get_if<JsonArrayStream>(&member.value)) {
            write_array(out, *array);
        } else {
            write_nested(out, std::get<nlohmann::ordered_json>(member.value).dump(indent_step),
                         member_indent);
        }
        out << (index + 1 < members.size() ? ",\n" : "\n");
    }
    out << "}\n";
}

// Raises the library's own fault (type_error 316, naming the byte) for text
// that is not UTF-8, as writing it would. Only text with a byte above ASCII
// can be at fault, and that is rare, so the library is asked only then.
void check_text(const std::string& text) {
    const auto above_ascii = [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; };
    if (std::any_of(text.begin(), text.end(), above_ascii)) {
        static_cast<void>(nlohmann::ordered_json(text).dump());
    }
}

void check_texts(const nlohmann::ordered_json& value) {
    if (value.is_string()) {
        check_text(value.get_ref<const std::string&>());
    } else if (value.is_object()) {
        for (auto member = value.begin(); member != value.end(); ++member) {
            check_text(member.key());
            check_texts(member.value());
        }
    } else if (value.is_array()) {
        for (const nlohmann::ordered_json& element : value) {
            check_texts(element);
        }
    }
}

// Makes every element and checks every text, in the order they are written.
void check_members(const std::vector<JsonMember>& members) {
    for (const JsonMember& member : members) {
        check_text(member.key);
        if (const auto* array = std::get_if<JsonArrayStream>(&member.value)) {
            for (std::size_t index = 0; index < array->count; ++index) {
                check_texts(array->element(index));
            }
        } else {
            check_texts(std::get<nlohmann::ordered_json>(member.value));
        }
    }
}

}  // namespace

nlohmann::ordered_json json_number(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    return value;
}

nlohmann::ordered_json json_record(
    std::initializer_list<std::pair<const char*, nlohmann::ordered_json>> fields) {
    nlohmann::ordered_json record = nlohmann::ordered_json::object();
    for (const auto& [key, value] : fields) {
        record[key] = value;
    }
    return record;
}

void write_json(std::ostream& out, const nlohmann::ordered_json& document) {
    check_texts(document);
    out << std::setw(indent_step) << document << '\n';
}

void write_json_replacing_invalid_text(std::ostream& out, const nlohmann::ordered_json& document) {
    out << document.dump(indent_step, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
        << '\n';
}

JsonArrayStream numbered_elements(int count,
                                  std::function<nlohmann::ordered_json(int number)> element) {
    return {static_cast<std::size_t>(std::max(count, 0)),
            [element = std::move(element)](std::size_t index) {
                return element(static_cast<int>(index) + 1);
            }};
}

void write_json_object(std::ostream& out, const std::vector<JsonMember>& members) {
    check_members(members);
    write_members(out, members);
}

nlohmann::ordered_json json_object(const std::vector<JsonMember>& members) {
    nlohmann::ordered_json document = nlohmann::ordered_json::object();
    for (const JsonMember& member : members) {
        if (const auto* array = std::get_if<JsonArrayStream>(&member.value)) {
            nlohmann::ordered_json elements = nlohmann::ordered_json::array();
            for (std::size_t index = 0; index < array->count; ++index) {
                elements.push_back(array->element(index));
            }
            document[member.key] = std::move(elements);
        } else {
            document[member.key] = std::get<nlohmann::ordered_json>(member.value);
        }
    }
    return document;
}
