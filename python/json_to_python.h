#pragma once

#include <pybind11/pybind11.h>
#include <nlohmann/json.hpp>

// A JSON value of the tool's documents as the Python object it reads as:
// objects as dicts (in their order), arrays as lists. The tool writes the
// numbers NaN and ±infinity as the texts "nan", "inf" and "-inf"; members
// that hold numbers (see json_to_python.cpp) give them back as floats.
pybind11::object to_python(const nlohmann::ordered_json& value);

// A number the tool wrote with json_number: a JSON number, or one of the
// texts "nan", "inf", "-inf".
double number_of(const nlohmann::ordered_json& value);
