#pragma once

#include <string>

// Where in a model file a fault that the plug-in reported lies, as far as the
// tool can tell by reading the file again. The plug-in reads the file with
// its lines joined, so its "line 1, column 10200" is a place in that joined
// text; `line` and `column` (from 1, a column counting characters) are the
// same place in the file as an editor shows it. A type fault ("type must be
// number, but is string") names no place at all; `pointer` is the JSON
// pointer of the first member, in the order the loader reads them, whose
// value has the kind the fault names.
struct FaultPlace {
    int line = 0;  // 0: unknown
    int column = 0;
    std::string pointer;  // empty: unknown
};

FaultPlace model_fault_place(const std::string& path, const std::string& fault_text);

// The file's line and column of the byte at `joined_offset` (from 0) of its
// text with the lines joined as the loader joins them; line 0 when the file
// is shorter.
FaultPlace joined_offset_place(const std::string& path, long long joined_offset);

// The JSON pointer of the first member, in the loader's order, that should
// hold a `wanted` ("number", "string") but holds an `actual`; empty when none
// does.
std::string type_fault_pointer(const std::string& path, const std::string& wanted,
                               const std::string& actual);
