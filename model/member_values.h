#pragma once

// How the values of the model file's members are read, and the faults their
// reading raises: the JSON library's own exceptions, with the texts that its
// document's accessors would give for the same value.

#include <cstdint>
#include <string>
#include <string_view>

namespace model_reading {

// The JSON kind of a value; numbers keep the kind the parser gave them.
enum class Kind : std::uint8_t {
    null,
    boolean,
    integer,
    unsigned_integer,
    floating,
    string,
    array,
    object
};

// A value as far as the loader reads it: its kind, a number's or boolean's
// bits, and a kept text. A member the file does not give reads as null.
struct MemberValue {
    Kind kind = Kind::null;
    std::uint64_t bits = 0;
    std::string_view text;

    static MemberValue of_kind(Kind kind);
    static MemberValue of_integer(std::int64_t value);
    static MemberValue of_unsigned(std::uint64_t value);
    static MemberValue of_floating(double value);
    static MemberValue of_boolean(bool value);
    static MemberValue of_text(std::string_view text);
};

// A fault found while reading, raised once the whole file has parsed, and
// where it lies when the reader was asked to note it (a JSON pointer).
struct Fault {
    int id = 0;
    std::string text;
    std::string place;
};

[[noreturn]] void raise(const Fault& fault);

// Type error 302: a value of the wrong kind where `wanted` was read.
Fault not_a(const char* wanted, Kind kind);
// Type error 305: a member looked up in a value that is not an object.
Fault no_lookup_in(Kind kind);

// The zero test of the file format: a number equal to 0 (also -0.0). Null,
// false and empty texts or containers are not 0.
bool equals_zero(const MemberValue& value);
bool is_number(Kind kind);

// A number of any JSON kind as a double (unsigned values stay positive).
double as_double(const MemberValue& number);
// The node code of a number or boolean: integers taken to 32 bits, floats
// truncated toward zero (one that does not fit is no known code), booleans as
// 0 or 1.
std::int32_t as_node_code(const MemberValue& value);

}  // namespace model_reading
