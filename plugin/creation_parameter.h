#pragma once

#include <cstddef>
#include <string>

inline constexpr std::size_t PARAMETER_TEXT_SIZE = 1024;

// Copies `text` into `buffer` as far as it fits, always NUL-terminated.
void copy_parameter_text(char (&buffer)[PARAMETER_TEXT_SIZE], const char* text);

// The model file's path in a creation parameter: the text after a leading
// "model=" in any letter case, when something follows it; else the whole text.
std::string model_path(const char* text);
