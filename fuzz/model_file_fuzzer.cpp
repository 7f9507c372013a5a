// Feeds bytes as a model file through everything a host does with a block:
// create through the factory of the dlopen-ed plug-in, registration, pattern,
// residuals, Jacobian, verdict, destroy. The exceptions the plug-in documents
// are expected; anything else (a crash, a sanitizer report, a leak, a hang,
// runaway memory) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "fuzz_input.h"
#include "plugin_library.h"
#include "zel_container.h"
#include "zel_factory.h"

namespace {

struct Host {
    Host() : plugin(QUILLON_PLUGIN_PATH) {
        plugin.init(registry);
        factory = registry.Lookup("QUILLON");
    }
    ZELFactoryLib registry;
    PluginLibrary plugin;
    ZELBlkFactory* factory = nullptr;
    std::string path = fuzz_model_path("fuzz");
};

Host& host() {
    static Host instance;
    return instance;
}

void drive(ZELBlkFactory& factory, const std::string& path) {
    const std::string text = "model=" + path;
    value_t parameter{};
    parameter.type = VALUE_TEXT;
    parameter.text = text.c_str();
    ZELEOCntr container;
    container.add_block(factory.create("FUZZ", &parameter));
    if (container.block_count() == 0) {
        return;
    }
    container.build_structure();
    container.evaluate_residuals();
    container.evaluate_jacobian();
    container.report_solve(RT_CONVERGED);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Host& fuzz_host = host();
    write_fuzz_input(fuzz_host.path, data, size);
    try {
        drive(*fuzz_host.factory, fuzz_host.path);
    } catch (const nlohmann::json::exception&) {
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    return 0;
}
