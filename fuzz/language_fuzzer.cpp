// Feeds bytes as equation text to the language: what builds must show as
// text that builds the same model again (show --exact keeps every node), and
// nothing may crash, hang or leak on the way. A fault in the text is
// expected; a rebuild that fails or differs is a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "model_definition.h"
#include "model_language.h"

namespace {

// Small limits, so that no input spends long: the round trip is what is
// tried, not the size.
lang::BuildLimits fuzz_limits() {
    lang::BuildLimits limits;
    limits.instances = 2000;
    limits.terms = 2000;
    limits.equation_nodes = 20000;
    limits.nodes = 100000;
    return limits;
}

// The model file as the plug-in reads it, from a file held in memory.
class MemoryFile {
  public:
    explicit MemoryFile(const std::string& text)
        : descriptor_(::memfd_create("quillon-fuzz", MFD_CLOEXEC)) {
        if (descriptor_ < 0 ||
            ::write(descriptor_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            std::abort();
        }
    }
    ~MemoryFile() { ::close(descriptor_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    std::string path() const { return "/proc/self/fd/" + std::to_string(descriptor_); }

  private:
    int descriptor_;
};

std::string shown(const std::string& model_json) {
    const MemoryFile file(model_json);
    ModelDefinition model;
    model.load_model(file.path());
    return lang::show_model(model, read_language_members(file.path()), lang::Showing::exact);
}

// The file without the texts as written, which show does not keep.
nlohmann::json trees(const std::string& model_json) {
    nlohmann::json file = nlohmann::json::parse(model_json);
    for (const char* list : {"EquationList", "Outputs"}) {
        if (file.contains(list)) {
            for (nlohmann::json& record : file[list]) {
                record.erase("EquationString");
            }
        }
    }
    return file;
}

[[noreturn]] void finding(const std::string& what, const std::string& text) {
    std::fprintf(stderr, "%s\n--- shown:\n%s\n", what.c_str(), text.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string built;
    try {
        built = lang::build_model_json(text, "fuzz", fuzz_limits());
    } catch (const lang::LangError&) {
        return 0;
    }
    const std::string again = shown(built);
    std::string rebuilt;
    try {
        rebuilt = lang::build_model_json(again, "shown", fuzz_limits());
    } catch (const lang::LangError& fault) {
        // Lowered functions print deeper than they were written: a nesting
        // the parser refuses is a limit of the text, not a fault of show.
        if (fault.message().find("nests deeper than") != std::string::npos) {
            return 0;
        }
        finding(std::string("what show printed does not build: ") + fault.what(), again);
    }
    if (trees(rebuilt) != trees(built)) {
        finding("what show printed builds another model", again);
    }
    return 0;
}
