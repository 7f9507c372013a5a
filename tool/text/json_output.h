#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

// A number as the tool writes it in JSON: finite values as JSON numbers (the
// library writes the shortest text that reads back to the same double), the
// others as the strings "nan", "inf" and "-inf", which JSON cannot hold.
nlohmann::ordered_json json_number(double value);

// An object of `fields` in their order. Quicker to build than with the
// library's braces, which make each {key, value} an array first: it counts
// for the elements made for every variable, equation and nonzero.
nlohmann::ordered_json json_record(
    std::initializer_list<std::pair<const char*, nlohmann::ordered_json>> fields);

// Writes `document` on `out` as one JSON document indented by two spaces,
// followed by a line end, through the stream without a copy of its text.
// Text that is not UTF-8 is refused (the library's type_error 316) before
// the first byte is written.
void write_json(std::ostream& out, const nlohmann::ordered_json& document);

// As write_json, but with text that is not UTF-8 written as U+FFFD: for the
// report of a failure, which must reach its reader whatever the failure
// quotes (a file name is bytes, not text).
void write_json_replacing_invalid_text(std::ostream& out, const nlohmann::ordered_json& document);

// An array made one element at a time as it is written: `count` elements,
// element i (from 0) made by `element(i)`. Results that grow with the model
// go out this way, so that only one element is held at a time.
struct JsonArrayStream {
    std::size_t count = 0;
    std::function<nlohmann::ordered_json(std::size_t index)> element;
};

// The elements 1..count, numbered as the host numbers variables, equations
// and nonzeros.
JsonArrayStream numbered_elements(int count,
                                  std::function<nlohmann::ordered_json(int number)> element);

// The elements made by `make` from each of `items`, which must outlive the
// writing.
template <typename Item, typename Make>
JsonArrayStream elements_of(const std::vector<Item>& items, Make make) {
    return {items.size(), [&items, make = std::move(make)](std::size_t index) {
                return nlohmann::ordered_json(make(items[index]));
            }};
}

// One member of an object written as it goes: a ready value, or an array
// made as it is written.
struct JsonMember {
    JsonMember(std::string member_key, nlohmann::ordered_json ready)
        : key(std::move(member_key)), value(std::move(ready)) {}
    JsonMember(std::string member_key, JsonArrayStream array)
        : key(std::move(member_key)), value(std::move(array)) {}

    std::string key;
    std::variant<nlohmann::ordered_json, JsonArrayStream> value;
};

// Writes the object of `members`, in their order, with the very bytes that
// write_json gives for the whole document, while holding one element of a
// streamed array at a time. Every element is made and checked once before
// the first byte is written, so that a fault in any (text that is not UTF-8,
// an exception of its maker) is raised with nothing written, as when the
// whole document was built first.
void write_json_object(std::ostream& out, const std::vector<JsonMember>& members);

// The whole object of `members` in memory, for a caller that wants the
// document itself rather than its text.
nlohmann::ordered_json json_object(const std::vector<JsonMember>& members);
