#include "json_to_python.h"

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace py = pybind11;

namespace {

// The members of the solve document that hold numbers the tool may write as
// text; any other text, a name "inf" among them, stays text.
bool holds_number(const std::string& key) {
    static const std::set<std::string> keys{
        "value", "residual", "residual_norm", "scaled_residual_norm", "step_norm", "trust_radius"};
    return keys.count(key) > 0;
}

py::object member_to_python(const std::string& key, const nlohmann::ordered_json& value) {
    if (value.is_string() && holds_number(key)) {
        return py::float_(number_of(value));
    }
    return to_python(value);
}

}  // namespace

double number_of(const nlohmann::ordered_json& value) {
    if (value.is_number()) {
        return value.get<double>();
    }
    const std::string& text = value.get_ref<const std::string&>();
    const double infinity = std::numeric_limits<double>::infinity();
    return text == "inf" ? infinity : text == "-inf" ? -infinity : std::nan("");
}

py::object to_python(const nlohmann::ordered_json& value) {
    switch (value.type()) {
        case nlohmann::ordered_json::value_t::null:
            return py::none();
        case nlohmann::ordered_json::value_t::boolean:
            return py::bool_(value.get<bool>());
        case nlohmann::ordered_json::value_t::number_integer:
        case nlohmann::ordered_json::value_t::number_unsigned:
            return py::int_(value.get<long long>());
        case nlohmann::ordered_json::value_t::number_float:
            return py::float_(value.get<double>());
        case nlohmann::ordered_json::value_t::string:
            return py::str(value.get_ref<const std::string&>());
        case nlohmann::ordered_json::value_t::array: {
            py::list list;
            for (const auto& element : value) {
                list.append(to_python(element));
            }
            return std::move(list);
        }
        case nlohmann::ordered_json::value_t::object: {
            py::dict dict;
            for (const auto& [key, member] : value.items()) {
                dict[py::str(key)] = member_to_python(key, member);
            }
            return std::move(dict);
        }
        default:
            return py::none();
    }
}
