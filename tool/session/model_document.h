#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The model file's JSON document, read as the loader reads it (lines joined
// without their line ends), to name the place of a record by JSON pointer.
// Reading it costs several times the file in memory and time, so the checks
// note places as the loader numbers records (see `record_step`) and only a
// finding's place is turned into a pointer, by `pointer_of`, at the end.
class ModelDocument {
  public:
    explicit ModelDocument(const std::string& path);
    const nlohmann::json& root() const { return root_; }

    // The JSON pointer of a place written with `record_step` and
    // `member_step`; steps the document does not hold are left out.
    std::string pointer_of(const std::string& place) const;

  private:
    nlohmann::json root_;
};

// One step of a place: the `index`-th record (from 0) the loader makes of
// the list member `member`, and member `member` itself.
std::string record_step(const std::string& member, std::size_t index);
std::string member_step(const std::string& member);

// One element of a list member that the loader turns into a record, and the
// JSON pointer steps from the object holding the list to the element.
struct ListElement {
    const nlohmann::json* value;
    std::string steps;
};

// The elements of member `member` of `object` by
// the loader's list rule: an array's elements, an object's member values in
// key order, or a single value; elements that are the number 0 are skipped,
// so element n is the loader's n-th record. Empty when `object` is null or
// not an object.
std::vector<ListElement> list_elements(const nlohmann::json* object, const std::string& member);
