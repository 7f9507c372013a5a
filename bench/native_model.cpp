#include "native_model.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "model_writers.h"

namespace {

// Smaller functions and files keep the compiler's time and memory linear in
// the size.
constexpr int EQUATIONS_PER_FUNCTION = 200;
constexpr int EQUATIONS_PER_FILE = 5000;

// Writes the sources into files beginning with `stem`; answers their paths,
// separated by blanks.
std::string write_sources(const std::string& stem, int count) {
    std::string paths = stem + "_entries.cpp";
    {
        std::ofstream out(paths);
        write_native_entries(out, count, EQUATIONS_PER_FUNCTION);
    }
    for (int first = 0; first < count; first += EQUATIONS_PER_FILE) {
        const std::string path = stem + "_" + std::to_string(first) + ".cpp";
        std::ofstream out(path);
        write_native_part(out, count, first, std::min(count, first + EQUATIONS_PER_FILE),
                          EQUATIONS_PER_FUNCTION);
        paths += " " + path;
    }
    return paths;
}

template <typename Function>
Function symbol(void* handle, const char* name) {
    void* address = dlsym(handle, name);
    if (!address) {
        throw std::runtime_error(std::string("native model lacks ") + name);
    }
    return reinterpret_cast<Function>(address);
}

}  // namespace

NativeModel::NativeModel(const std::string& folder, int count, bool same_bits) {
    const std::string stem =
        folder + "/native_" + std::to_string(count) + (same_bits ? "_same_bits" : "");
    const std::string sources = write_sources(stem, count);
    const std::string library = stem + ".so";
    const auto start = std::chrono::steady_clock::now();
    const std::string command = std::string("g++ -O2 -fPIC -shared ") +
                                (same_bits ? "-fno-builtin-pow " : "") + "-o " + library + " " +
                                sources;
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("could not compile " + sources);
    }
    compile_s_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    handle_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        throw std::runtime_error("could not load " + library);
    }
    residuals_ = symbol<Evaluation>(handle_, "bench_residuals");
    jacobian_ = symbol<Evaluation>(handle_, "bench_jacobian");
}

NativeModel::~NativeModel() {
    dlclose(handle_);
}
