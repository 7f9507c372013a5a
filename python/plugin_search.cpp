#include "plugin_search.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace {

constexpr const char* PLUGIN_FILE = "libquillon.so";

std::filesystem::path module_folder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&module_plugin_path), &info) == 0 || !info.dli_fname) {
        return std::filesystem::current_path();
    }
    std::error_code failure;
    const std::filesystem::path file = std::filesystem::canonical(info.dli_fname, failure);
    return failure ? std::filesystem::path(info.dli_fname).parent_path() : file.parent_path();
}

}  // namespace

std::string module_plugin_path() {
    const std::filesystem::path folder = module_folder();
    const std::filesystem::path candidates[] = {
        folder / PLUGIN_FILE,
        folder.parent_path() / "bin" / PLUGIN_FILE,
        (folder / QUILLON_MODULE_TO_LIB / PLUGIN_FILE).lexically_normal(),
    };
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code failure;
        if (std::filesystem::is_regular_file(candidate, failure)) {
            return candidate.string();
        }
    }
    return candidates[0].string();
}
