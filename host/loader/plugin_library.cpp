#include "plugin_library.h"

#include <dlfcn.h>

namespace {

template <typename Function>
Function entry_point(void* handle, const char* name, const std::string& path) {
    void* symbol = dlsym(handle, name);
    if (!symbol) {
        throw PluginError("plug-in " + path + " has no entry point " + name);
    }
    return reinterpret_cast<Function>(symbol);
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = dlerror();
        throw PluginError("cannot load plug-in " + path + ": " + (reason ? reason : "unknown"));
    }
    try {
        identity = entry_point<zeldll_identity_fn>(handle_, "zeldll_identity", path);
        init_entry = entry_point<zeldll_init_fn>(handle_, "zeldll_init", path);
        interface = entry_point<zeldll_interface_fn>(handle_, "zeldll_interface", path);
        unload = entry_point<zeldll_unload_fn>(handle_, "zeldll_unload", path);
        version = entry_point<zeldll_version_fn>(handle_, "zeldll_version", path);
    } catch (...) {
        dlclose(handle_);
        throw;
    }
}

std::int32_t PluginLibrary::init(ZELFactoryLib& registry) {
    registry_ = &registry;
    return init_entry(nullptr, &registry);
}

PluginLibrary::~PluginLibrary() {
    if (registry_) {
        while (unload(nullptr, registry_) == zeldll_result::factories_remain) {
        }
    }
    dlclose(handle_);
}
