#include "plugin_location.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr const char* PLUGIN_FILE = "libquillon.so";

std::filesystem::path tool_folder() {
    std::error_code failure;
    const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", failure);
    return failure ? std::filesystem::current_path() : tool.parent_path();
}

}  // namespace

std::string default_plugin_path() {
    const std::filesystem::path folder = tool_folder();
    const std::filesystem::path beside = folder / PLUGIN_FILE;
    const std::filesystem::path installed = folder.parent_path() / "lib" / PLUGIN_FILE;
    std::error_code failure;
    if (!std::filesystem::exists(beside, failure) && std::filesystem::exists(installed, failure)) {
        return installed.string();
    }
    return beside.string();
}
