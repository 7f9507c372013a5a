#pragma once

#include <cstdint>
#include <string>

// Loading, as the host loads a model: the factory's create with the model
// file (reading, parsing, building the model, freeing what the parse needed),
// against the JSON library's bare parse of the file's text into its document.

// Seconds of one create; the block is destroyed afterwards, untimed.
double create_seconds(const std::string& plugin_path, const std::string& model_path);

// Seconds of one nlohmann::json::parse of the text, already in memory.
double parse_seconds(const std::string& text);

// The most memory (resident bytes) that one create, or one parse of the
// file's text already in memory, adds to this process, which should be
// fresh: `what` is "create" or "parse".
std::int64_t peak_of_load(const std::string& what, const std::string& plugin_path,
                          const std::string& model_path);

// The same, measured in a fresh process running this program with
// --peak-of `what`; -1 when it cannot be measured.
std::int64_t peak_in_fresh_process(const std::string& what, const std::string& plugin_path,
                                   const std::string& model_path);
