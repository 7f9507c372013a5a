#pragma once

// How the model file's members are read. Every fault is raised as the JSON
// library's own exception, with the texts its own accessors would give.

#include <cstddef>
#include <cstdint>
#include <string>

#include "json_document.h"

namespace model_json {

using Value = JsonDocument::Value;

// Member `key` of `value`. An absent member, or any member of null, reads as
// null; a value that is neither an object nor null raises type error 305.
Value member(Value value, const char* key);

// The zero test of the file format: a number equal to 0 (also -0.0). Null,
// false and empty texts or containers are not 0.
bool equals_zero(Value value);

// True when member "object" of `value` is an object whose member `key` is 0:
// the record is then left with its defaults.
bool guard_says_skip(Value value, const char* key);

// A number of any JSON kind as a double (unsigned values stay positive); type
// error 302 otherwise.
double read_double(Value value);

// The node code: integers taken to 32 bits, floats truncated toward zero,
// booleans as 0 or 1; type error 302 otherwise.
std::int32_t read_node_code(Value value);

// A JSON string's bytes; type error 302 otherwise.
std::string read_text(Value value);

// The elements of a list member: an array's elements, an object's member
// values in key order, nothing for null, and any other value alone.
class ListElements {
  public:
    explicit ListElements(Value list);
    std::size_t size() const { return size_; }
    Value operator[](std::size_t index) const;

  private:
    Value list_;
    std::size_t size_;
    bool single_;
};

}  // namespace model_json
