#include "fault_place.h"

#include <cstdio>
#include <memory>

#include "model_loading.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool is_continuation_byte(int byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

FaultPlace joined_offset_place(const std::string& path, long long joined_offset) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    FaultPlace place;
    if (!file) {
        return place;
    }
    long long joined = 0;
    int line = 1;
    int column = 0;
    int byte = std::fgetc(file.get());
    while (byte != EOF) {
        const int next = std::fgetc(file.get());
        if (byte == '\n') {
            ++line;
            column = 0;
        } else if (byte != '\r' || next != '\n') {
            if (!is_continuation_byte(byte)) {
                ++column;
            }
            if (joined == joined_offset) {
                place.line = line;
                place.column = column;
                return place;
            }
            ++joined;
        }
        byte = next;
    }
    if (joined == joined_offset) {  // just past the end: where more text was wanted
        place.line = line;
        place.column = column + 1;
    }
    return place;
}

FaultPlace model_fault_place(const std::string& path, const std::string& fault_text) {
    const ModelFaultPlace found = locate_model_fault(path);
    if (found.what != fault_text) {
        return {};
    }
    if (found.joined_offset >= 0) {
        return joined_offset_place(path, found.joined_offset);
    }
    FaultPlace place;
    place.pointer = found.pointer;
    return place;
}
