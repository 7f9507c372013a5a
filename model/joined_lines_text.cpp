#include "joined_lines_text.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <ios>
#include <system_error>

namespace {

constexpr std::size_t BLOCK_BYTES = std::size_t{1} << 18;

bool is_regular_file(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

JoinedLinesText::JoinedLinesText(const std::string& path) {
    if (is_regular_file(path)) {
        file_.reset(std::fopen(path.c_str(), "rb"));
    }
    if (file_) {
        // A small file needs no full block; one byte more sees its end at once.
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        const std::size_t block =
            error ? BLOCK_BYTES
                  : static_cast<std::size_t>(std::min<std::uintmax_t>(size + 1, BLOCK_BYTES));
        raw_.resize(block);
        joined_.resize(block + 1);
    }
}

bool JoinedLinesText::next_block(const char*& begin, const char*& end) {
    std::size_t joined = 0;
    while (joined == 0 && file_) {
        const std::size_t read = std::fread(raw_.data(), 1, raw_.size(), file_.get());
        if (read > 0) {
            joined = join(read);
            continue;
        }
        if (std::ferror(file_.get())) {
            throw std::ios_base::failure("error reading the model file");
        }
        file_.reset();
        if (carriage_return_held_) {
            joined_[joined++] = '\r';
            carriage_return_held_ = false;
        }
    }
    begin = joined_.data();
    end = begin + joined;
    return joined > 0;
}

std::size_t JoinedLinesText::join(std::size_t size) {
    const char* at = raw_.data();
    const char* const end = at + size;
    char* out = joined_.data();
    if (carriage_return_held_) {
        carriage_return_held_ = false;
        if (*at != '\n') {
            *out++ = '\r';
        }
    }
    while (at < end) {
        const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
        const char* line_end = found ? static_cast<const char*>(found) : end;
        std::size_t length = static_cast<std::size_t>(line_end - at);
        if (found && length > 0 && line_end[-1] == '\r') {
            --length;
        }
        std::memcpy(out, at, length);
        out += length;
        at = found ? line_end + 1 : end;
    }
    // A CR at the end of the block may be the first half of a CR LF.
    if (size > 0 && end[-1] == '\r' && out > joined_.data() && out[-1] == '\r') {
        --out;
        carriage_return_held_ = true;
    }
    return static_cast<std::size_t>(out - joined_.data());
}
