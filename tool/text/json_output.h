#pragma once

#include <ostream>

#include <nlohmann/json.hpp>

// A number as the tool writes it in JSON: finite values as JSON numbers (the
// library writes the shortest text that reads back to the same double), the
// others as the strings "nan", "inf" and "-inf", which JSON cannot hold.
nlohmann::ordered_json json_number(double value);

// Writes `document` on `out` as one JSON document followed by a line end.
void write_json(std::ostream& out, const nlohmann::ordered_json& document);
