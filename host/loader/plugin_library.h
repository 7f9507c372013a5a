#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "zel_factory.h"
#include "zeldll.h"

// A block plug-in loaded the way the host loads one: dlopen, its five entry
// points found by name, and its factories added to the host's registry by
// zeldll_init. Unloading asks zeldll_unload until no factory of the plug-in is
// left, then closes the library; blocks must have been destroyed by then.
class PluginLibrary {
  public:
    // Throws PluginError when the library or one of its entry points is missing.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Calls zeldll_init with `registry` and answers its result; the registry
    // must outlive this object, which takes the factories back on destruction.
    std::int32_t init(ZELFactoryLib& registry);

    zeldll_identity_fn identity = nullptr;
    zeldll_init_fn init_entry = nullptr;
    zeldll_interface_fn interface = nullptr;
    zeldll_unload_fn unload = nullptr;
    zeldll_version_fn version = nullptr;

  private:
    void* handle_ = nullptr;
    ZELFactoryLib* registry_ = nullptr;
};

class PluginError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
