#include "member_values.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <nlohmann/json.hpp>

namespace model_reading {

namespace {

template <typename Number>
std::uint64_t bits_of(Number number) {
    static_assert(sizeof(Number) == sizeof(std::uint64_t));
    std::uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

template <typename Number>
Number number_of(std::uint64_t bits) {
    Number number;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

// The library's name of a kind, as its exceptions write it.
const char* type_name(Kind kind) {
    switch (kind) {
        case Kind::null:
            return "null";
        case Kind::boolean:
            return "boolean";
        case Kind::string:
            return "string";
        case Kind::array:
            return "array";
        case Kind::object:
            return "object";
        default:
            return "number";
    }
}

}  // namespace

MemberValue MemberValue::of_kind(Kind kind) {
    MemberValue value;
    value.kind = kind;
    return value;
}

MemberValue MemberValue::of_integer(std::int64_t number) {
    MemberValue value = of_kind(Kind::integer);
    value.bits = bits_of(number);
    return value;
}

MemberValue MemberValue::of_unsigned(std::uint64_t number) {
    MemberValue value = of_kind(Kind::unsigned_integer);
    value.bits = number;
    return value;
}

MemberValue MemberValue::of_floating(double number) {
    MemberValue value = of_kind(Kind::floating);
    value.bits = bits_of(number);
    return value;
}

MemberValue MemberValue::of_boolean(bool flag) {
    MemberValue value = of_kind(Kind::boolean);
    value.bits = flag ? 1 : 0;
    return value;
}

MemberValue MemberValue::of_text(std::string_view text) {
    MemberValue value = of_kind(Kind::string);
    value.text = text;
    return value;
}

void raise(const Fault& fault) {
    throw nlohmann::json::type_error::create(fault.id, fault.text,
                                             static_cast<const nlohmann::json*>(nullptr));
}

Fault not_a(const char* wanted, Kind kind) {
    return {302, std::string("type must be ") + wanted + ", but is " + type_name(kind), ""};
}

Fault no_lookup_in(Kind kind) {
    return {305,
            std::string("cannot use operator[] with a string argument with ") + type_name(kind),
            ""};
}

bool equals_zero(const MemberValue& value) {
    switch (value.kind) {
        case Kind::integer:
        case Kind::unsigned_integer:
            return value.bits == 0;
        case Kind::floating:
            return number_of<double>(value.bits) == 0.0;
        default:
            return false;
    }
}

bool is_number(Kind kind) {
    return kind == Kind::integer || kind == Kind::unsigned_integer || kind == Kind::floating;
}

double as_double(const MemberValue& number) {
    switch (number.kind) {
        case Kind::integer:
            return static_cast<double>(number_of<std::int64_t>(number.bits));
        case Kind::unsigned_integer:
            return static_cast<double>(number.bits);
        default:
            return number_of<double>(number.bits);
    }
}

std::int32_t as_node_code(const MemberValue& value) {
    switch (value.kind) {
        case Kind::integer:
            return static_cast<std::int32_t>(number_of<std::int64_t>(value.bits));
        case Kind::unsigned_integer:
            return static_cast<std::int32_t>(value.bits);
        case Kind::boolean:
            return value.bits != 0 ? 1 : 0;
        default: {
            // Truncating a float that does not fit 32 bits has no defined
            // result; such a code is simply not one the loader knows.
            const double code = std::trunc(number_of<double>(value.bits));
            const bool fits =
                code >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
                code <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
            return fits ? static_cast<std::int32_t>(code)
                        : std::numeric_limits<std::int32_t>::min();
        }
    }
}

}  // namespace model_reading
