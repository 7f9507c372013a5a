#pragma once

// The built plug-in loaded the way the host loads it: dlopen-ed from
// QUILLON_PLUGIN_PATH (a compile definition of the test program), initialised
// with a registry of its own. Each object opens the library afresh, so the
// plug-in's counters start at 0 as long as no other object holds it open.

#include <dlfcn.h>

#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "plugin_library.h"
#include "temp_model_file.h"
#include "value_t.h"
#include "zel_block.h"
#include "zel_factory.h"

#ifndef QUILLON_PLUGIN_PATH
#error "QUILLON_PLUGIN_PATH must name the built plug-in"
#endif

// Ends a block the host's way, through destroy().
struct BlockEnder {
    void operator()(ZELEOBlock* block) const { block->destroy(); }
};
using BlockHandle = std::unique_ptr<ZELEOBlock, BlockEnder>;

class LoadedPlugin {
  public:
    LoadedPlugin() : library_(QUILLON_PLUGIN_PATH) { init_result_ = library_.init(registry_); }
    ~LoadedPlugin() {
        // An exception of the plug-in's that leaves a test is reported after
        // this object is gone; its code must still be mapped then.
        if (std::uncaught_exceptions() > 0) {
            dlopen(QUILLON_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD);
        }
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    PluginLibrary& library() { return library_; }
    ZELFactoryLib& registry() { return registry_; }
    std::int32_t init_result() const { return init_result_; }

    ZELBlkFactory& factory() {
        ZELBlkFactory* found = registry_.Lookup("QUILLON");
        if (!found) {
            throw std::logic_error("no QUILLON factory registered");
        }
        return *found;
    }

    // zeldll_unload tests the live-block count before anything else, and
    // without a registry changes nothing.
    bool blocks_alive() { return library_.unload(nullptr, nullptr) == zeldll_result::blocks_alive; }

  private:
    // Declared first: the library takes its factories back from it on closing.
    ZELFactoryLib registry_;
    PluginLibrary library_;
    std::int32_t init_result_ = 0;
};

inline value_t text_parameter(const char* text) {
    value_t parameter{};
    parameter.type = VALUE_TEXT;
    parameter.text = text;
    return parameter;
}

// A block made by `factory` from a model file holding `model_text`.
inline ZELEOBlock* create_from_text(ZELBlkFactory& factory, const char* name,
                                    const std::string& model_text) {
    const TempModelFile file(model_text);
    const std::string parameter_text = "model=" + file.path();
    const value_t parameter = text_parameter(parameter_text.c_str());
    return factory.create(name, &parameter);
}
