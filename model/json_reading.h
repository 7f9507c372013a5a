#pragma once

// How the model file's members are read. Every fault is raised as the JSON
// library's own exception, with the texts its own accessors would give.

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

namespace model_json {

using json = nlohmann::json;

// Member `key` of `value`. An absent member, or any member of null, reads as
// null; a value that is neither an object nor null raises type error 305.
const json& member(const json& value, const char* key);

// The zero test of the file format: a number equal to 0 (also -0.0). Null,
// false and empty texts or containers are not 0.
bool equals_zero(const json& value);

// True when member "object" of `value` is an object whose member `key` is 0:
// the record is then left with its defaults.
bool guard_says_skip(const json& value, const char* key);

// A number of any JSON kind as a double (unsigned values stay positive); type
// error 302 otherwise.
double read_double(const json& value);

// The node code: integers taken to 32 bits, floats truncated toward zero,
// booleans as 0 or 1; type error 302 otherwise.
std::int32_t read_node_code(const json& value);

// A JSON string's bytes; type error 302 otherwise.
std::string read_text(const json& value);

}  // namespace model_json
