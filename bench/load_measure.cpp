#include "load_measure.h"

#include <unistd.h>

#include <cstdio>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "bench_timing.h"
#include "plugin_library.h"
#include "value_t.h"
#include "zel_block.h"
#include "zel_container.h"

namespace {

// A line of /proc/self/status ("VmRSS:", "VmHWM:") in bytes.
std::int64_t status_bytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stoll(line.substr(key.size())) * 1024;
        }
    }
    return -1;
}

// The peak resident size of this process minus its resident size before
// `work`; the peak is reset first, so only what `work` adds counts as long as
// the process is fresh (a used heap would hand back memory already resident).
std::int64_t peak_added_by(const std::function<void()>& work) {
    const std::int64_t before = status_bytes("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";
    work();
    return status_bytes("VmHWM:") - before;
}

// The plug-in loaded and initialised, and its QUILLON factory.
class QuillonFactory {
  public:
    explicit QuillonFactory(const std::string& plugin_path) : plugin_(plugin_path) {
        plugin_.init(registry_);
        factory_ = registry_.Lookup("QUILLON");
        if (!factory_) {
            throw std::runtime_error("the plug-in registers no QUILLON factory");
        }
    }

    ZELEOBlock* create(const std::string& model_path) {
        const std::string text = "model=" + model_path;
        value_t parameter{};
        parameter.text = text.c_str();
        parameter.type = VALUE_TEXT;
        ZELEOBlock* block = factory_->create("BENCH", &parameter);
        if (!block) {
            throw std::runtime_error("the factory made no block");
        }
        return block;
    }

  private:
    ZELFactoryLib registry_;
    PluginLibrary plugin_;  // after the registry, which it gives its factories back to
    ZELBlkFactory* factory_ = nullptr;
};

std::string file_text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

LoadSeconds load_seconds(const std::string& plugin_path, const std::string& model_path) {
    QuillonFactory factory(plugin_path);
    LoadSeconds seconds;
    ZELEOCntr container;  // ends the block before the factory goes
    const double start_cpu = thread_cpu_seconds();
    seconds.create = seconds_of([&] { container.add_block(factory.create(model_path)); });
    const double created_cpu = thread_cpu_seconds();
    seconds.registration = seconds_of([&] {
        if (container.build_structure() != 0) {
            throw std::runtime_error("the block refused its registration");
        }
    });
    seconds.create_cpu = created_cpu - start_cpu;
    seconds.registration_cpu = thread_cpu_seconds() - created_cpu;
    return seconds;
}

double parse_seconds(const std::string& text) {
    nlohmann::json document;
    return seconds_of([&] { document = nlohmann::json::parse(text); });
}

std::int64_t peak_of_load(const std::string& what, const std::string& plugin_path,
                          const std::string& model_path) {
    if (what == "create" || what == "register") {
        QuillonFactory factory(plugin_path);  // loaded before the measurement starts
        // Destroyed after the peak is read; the leak checker would see the
        // block otherwise.
        ZELEOCntr container;
        return peak_added_by([&] {
            container.add_block(factory.create(model_path));
            if (what == "register") {
                container.build_structure();
            }
        });
    }
    const std::string text = file_text(model_path);
    return peak_added_by(
        [&] { [[maybe_unused]] const nlohmann::json document = nlohmann::json::parse(text); });
}

std::int64_t peak_in_fresh_process(const std::string& what, const std::string& plugin_path,
                                   const std::string& model_path) {
    const std::string command = "/proc/" + std::to_string(getpid()) + "/exe --peak-of " + what +
                                " --plugin '" + plugin_path + "' --peak-model '" + model_path + "'";
    FILE* child = popen(command.c_str(), "r");
    if (!child) {
        return -1;
    }
    long long bytes = -1;
    if (std::fscanf(child, "%lld", &bytes) != 1) {
        bytes = -1;
    }
    return pclose(child) == 0 ? bytes : -1;
}
