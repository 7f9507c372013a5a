#include "json_reading.h"

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace model_json {

namespace {

using Kind = JsonDocument::Kind;

[[noreturn]] void raise_type_error(int id, const std::string& text) {
    throw nlohmann::json::type_error::create(id, text, static_cast<const nlohmann::json*>(nullptr));
}

[[noreturn]] void raise_not_a(const char* wanted, Value value) {
    raise_type_error(302, std::string("type must be ") + wanted + ", but is " + value.type_name());
}

}  // namespace

Value member(Value value, const char* key) {
    if (value.kind() != Kind::object && value.kind() != Kind::null) {
        raise_type_error(305, std::string("cannot use operator[] with a string argument with ") +
                                  value.type_name());
    }
    return value.find(key);
}

bool equals_zero(Value value) {
    switch (value.kind()) {
        case Kind::integer:
            return value.integer() == 0;
        case Kind::unsigned_integer:
            return value.unsigned_integer() == 0;
        case Kind::floating:
            return value.floating() == 0.0;
        default:
            return false;
    }
}

bool guard_says_skip(Value value, const char* key) {
    return equals_zero(member(member(value, "object"), key));
}

double read_double(Value value) {
    switch (value.kind()) {
        case Kind::integer:
            return static_cast<double>(value.integer());
        case Kind::unsigned_integer:
            return static_cast<double>(value.unsigned_integer());
        case Kind::floating:
            return value.floating();
        default:
            raise_not_a("number", value);
    }
}

std::int32_t read_node_code(Value value) {
    switch (value.kind()) {
        case Kind::integer:
            return static_cast<std::int32_t>(value.integer());
        case Kind::unsigned_integer:
            return static_cast<std::int32_t>(value.unsigned_integer());
        case Kind::boolean:
            return value.boolean() ? 1 : 0;
        case Kind::floating: {
            // Truncating a float that does not fit 32 bits has no defined
            // result; such a code is simply not one the loader knows.
            const double code = std::trunc(value.floating());
            const bool fits =
                code >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
                code <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
            return fits ? static_cast<std::int32_t>(code)
                        : std::numeric_limits<std::int32_t>::min();
        }
        default:
            raise_not_a("number", value);
    }
}

std::string read_text(Value value) {
    if (value.kind() != Kind::string) {
        raise_not_a("string", value);
    }
    return std::string(value.string());
}

ListElements::ListElements(Value list)
    : list_(list),
      size_(list.kind() == Kind::array || list.kind() == Kind::object ? list.size()
                                                                      : (list.is_null() ? 0 : 1)),
      single_(list.kind() != Kind::array && list.kind() != Kind::object) {}

Value ListElements::operator[](std::size_t index) const {
    return single_ ? list_ : list_.element(index);
}

}  // namespace model_json
