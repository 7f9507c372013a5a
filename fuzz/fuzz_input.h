#pragma once

// The fuzzers' input as the model file that the plug-in or the loader reads:
// a file of this process's own, written anew for each input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

inline std::string fuzz_model_path(const char* name) {
    return "/tmp/quillon-" + std::string(name) + "-" + std::to_string(getpid()) + ".json";
}

inline void write_fuzz_input(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::abort();
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}
