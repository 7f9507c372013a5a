#include "json_reading.h"

#include <cmath>
#include <limits>

namespace model_json {

namespace {

const json& null_value() {
    static const json null;
    return null;
}

}  // namespace

const json& member(const json& value, const char* key) {
    if (value.is_object()) {
        auto found = value.find(key);
        return found == value.end() ? null_value() : *found;
    }
    if (value.is_null()) {
        return null_value();
    }
    // The library's own message for a key lookup on a value of another kind.
    throw json::type_error::create(
        305, std::string("cannot use operator[] with a string argument with ") + value.type_name(),
        &value);
}

bool equals_zero(const json& value) {
    return value.is_number() && value == 0;
}

bool guard_says_skip(const json& value, const char* key) {
    return equals_zero(member(member(value, "object"), key));
}

double read_double(const json& value) {
    return value.get<double>();
}

std::int32_t read_node_code(const json& value) {
    if (!value.is_number_float()) {
        return value.get<std::int32_t>();
    }
    // Truncation of a float that does not fit 32 bits has no defined result;
    // such a code is simply not one the loader knows.
    const double code = std::trunc(value.get<double>());
    if (code < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        code > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(code);
}

std::string read_text(const json& value) {
    return value.get<std::string>();
}

}  // namespace model_json
