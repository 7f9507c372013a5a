#include "model_text.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

bool is_regular_file(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string read_model_text(const std::string& path) {
    std::string text;
    if (!is_regular_file(path)) {
        return text;
    }
    std::ifstream file(path, std::ios::binary);
    // Streams swallow what goes wrong while reading, out of memory included;
    // a model must never be read short without anyone knowing.
    file.exceptions(std::ios::badbit);
    std::string line;
    while (std::getline(file, line)) {
        // getline drops the LF; the CR of a CR LF goes too, but not a CR that
        // ends the file without a line feed after it.
        const bool ended_by_line_feed = !file.eof();
        if (ended_by_line_feed && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        text += line;
    }
    return text;
}
