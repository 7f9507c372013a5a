#pragma once

#include <string>

// Where in a model file a fault that the plug-in reported lies. The loader
// says where (see `locate_model_fault`): a parse fault at a byte of the text
// with its lines joined, which `line` and `column` (from 1, a column counting
// characters) turn into the place an editor shows; a fault of a member's
// value at the member's JSON pointer.
struct FaultPlace {
    int line = 0;  // 0: unknown
    int column = 0;
    std::string pointer;  // empty: unknown
};

// The place of the fault `fault_text` that loading the file at `path`
// raised; unknown when loading it again raises another fault (the file
// changed in between).
FaultPlace model_fault_place(const std::string& path, const std::string& fault_text);

// The file's line and column of the byte at `joined_offset` (from 0) of its
// text with the lines joined as the loader joins them; line 0 when the file
// is shorter.
FaultPlace joined_offset_place(const std::string& path, long long joined_offset);
