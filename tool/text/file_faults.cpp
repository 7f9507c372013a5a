#include "file_faults.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

std::string file_fault_text(const std::string& verb, const std::string& path, int error) {
    return "cannot " + verb + " " + path + ": " + std::strerror(error);
}

void write_text_file(const std::string& path, std::string_view text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw FileFault(FileFault::Direction::output, file_fault_text("write", path, errno));
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && !closed) {
        error = errno;
    }
    if (!written || !closed) {
        throw FileFault(FileFault::Direction::output, file_fault_text("write", path, error));
    }
}
