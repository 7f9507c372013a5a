#pragma once

#include <string>

// The model file's text: its lines joined with their line ends (LF, or CR LF)
// dropped. A path that is not a readable regular file gives the empty text,
// which the parser then reports; devices and pipes are never read, since they
// may never end.
std::string read_model_text(const std::string& path);
