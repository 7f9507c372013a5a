#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The model file's JSON document, read as the loader reads it (lines joined
// without their line ends), to name the place of a record by JSON pointer.
class ModelDocument {
  public:
    explicit ModelDocument(const std::string& path);
    const nlohmann::json& root() const { return root_; }

  private:
    nlohmann::json root_;
};

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

// `key` as one JSON pointer step: "/" followed by the key, with "~" and "/"
// escaped.
std::string pointer_step(const std::string& key);
