// Reads bytes as a model file through both of the loader's readings of its
// text: the strict reader (with the JSON library when it refuses the text),
// as every load does, and the JSON library alone. Any difference is a
// finding: in the model built (record for record, bit for bit) or in the
// exception raised (type and text); and, where the strict reader accepts the
// text, in its events against the library's, read in chunks of a size the
// input chooses so that tokens fall across the chunks' ends.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "front_ends.h"
#include "fuzz_input.h"

namespace {

[[noreturn]] void differ(const char* what, const std::string& strict, const std::string& library) {
    std::fprintf(stderr, "the readings differ in %s:\nstrict first:\n%s\nlibrary:\n%s\n", what,
                 strict.c_str(), library.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz_model_path("front-ends");
    write_fuzz_input(path, data, size);
    const std::string strict = load_outcome(path, TextReading::strict_first);
    const std::string library = load_outcome(path, TextReading::json_library);
    if (strict != library) {
        differ("the model or the exception", strict, library);
    }
    const std::size_t chunk_bytes = size == 0 ? 1 : 1 + data[size - 1] % 17;
    std::string events;
    if (strict_events(path, chunk_bytes, events) == StrictReading::accepted) {
        std::string expected;
        if (!library_events(path, expected) || events != expected) {
            differ("the events of a text the strict reader accepts", events, expected);
        }
    }
    return 0;
}
