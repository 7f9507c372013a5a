#include "model_input.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string_view>

#include "file_faults.h"
#include "model_language.h"
#include "usage_error.h"

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

FileFault input_fault(const std::string& verb, const std::string& path, int error) {
    return FileFault(FileFault::Direction::input, file_fault_text(verb, path, error));
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

OpenFile open_for_reading(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        throw input_fault("open", path, EISDIR);
    }
    OpenFile file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        throw input_fault("open", path, errno);
    }
    return file;
}

// Appends blocks of `file` to `text` until it holds a byte other than white
// space or a byte order mark, or the file ends.
void read_until_significant(std::FILE* file, const std::string& path, std::string& text,
                            bool to_end) {
    char block[65536];
    while (true) {
        const std::string_view body = std::string_view(text).substr(
            std::string_view(text).substr(0, 3) == byte_order_mark ? 3 : 0);
        if (!to_end && body.find_first_not_of(" \t\r\n") != std::string_view::npos) {
            return;
        }
        const std::size_t read = std::fread(block, 1, sizeof block, file);
        text.append(block, read);
        if (read < sizeof block) {
            if (std::ferror(file)) {
                throw input_fault("read", path, errno);
            }
            return;
        }
    }
}

bool is_regular_file(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool has_json_name(const std::string& path) {
    constexpr std::string_view extension = ".json";
    if (path.size() < extension.size()) {
        return false;
    }
    const std::string_view end = std::string_view(path).substr(path.size() - extension.size());
    for (std::size_t i = 0; i < extension.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(end[i])) != extension[i]) {
            return false;
        }
    }
    return true;
}

bool starts_with_word(std::string_view text, std::string_view word) {
    if (text.substr(0, word.size()) != word) {
        return false;
    }
    const std::size_t after = word.size();
    if (after == text.size()) {
        return true;
    }
    const char next = text[after];
    return next != '_' && !std::isalnum(static_cast<unsigned char>(next));
}

// Whether `text` is for the plug-in rather than the equation language: what
// a model file can start with (after white space) is a JSON value's first
// character or literal, and what equation text starts with (a statement or a
// comment) is none of those. Text that opens with a byte order mark's first
// byte but not the whole mark is a model whose fault the plug-in names; blank
// text is no model either way, and the plug-in's own fault says so.
bool is_json_or_blank(std::string_view text) {
    if (text.substr(0, 3) == byte_order_mark) {
        text.remove_prefix(3);
    } else if (text.substr(0, 1) == byte_order_mark.substr(0, 1)) {
        return true;
    }
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return true;
    }
    const std::string_view rest = text.substr(first);
    const char c = rest[0];
    return c == '{' || c == '[' || c == '"' || c == '-' || (c >= '0' && c <= '9') ||
           starts_with_word(rest, "true") || starts_with_word(rest, "false") ||
           starts_with_word(rest, "null");
}

}  // namespace

const std::string& ModelInputs::path_of(const std::string& given) {
    return input_of(given).path();
}

const ModelInput& ModelInputs::input_of(const std::string& given) {
    for (const auto& input : inputs_) {
        if (input->given() == given) {
            last_ = input.get();
            return *input;
        }
    }
    inputs_.push_back(std::make_unique<ModelInput>(given));
    last_ = inputs_.back().get();
    return *last_;
}

void refuse_to_overwrite(const std::string& option, const std::string& output,
                         const std::string& input) {
    std::error_code failure;
    if (!output.empty() && input != "-" && std::filesystem::equivalent(output, input, failure)) {
        throw UsageError(option + " names the input file " + input + " itself");
    }
}

std::string read_input_text(const std::string& path) {
    if (path == "-") {
        std::ostringstream text;
        text << std::cin.rdbuf();
        if (std::cin.bad()) {
            throw input_fault("read", "standard input", errno);
        }
        return text.str();
    }
    const OpenFile file = open_for_reading(path);
    std::string text;
    read_until_significant(file.get(), path, text, true);
    return text;
}

ModelInput::ModelInput(const std::string& given)
    : given_(given), name_(given == "-" ? "<stdin>" : given) {
    std::string text;
    bool model_file = false;
    if (given == "-") {
        text = read_input_text(given);
    } else {
        const OpenFile file = open_for_reading(given);
        read_until_significant(file.get(), given, text, false);
        // The plug-in reads a pipe or a device as an empty model, so only a
        // regular file is left for it to read.
        model_file = has_json_name(given) || is_json_or_blank(text);
        if (model_file && is_regular_file(given)) {
            path_ = given;
            return;
        }
        read_until_significant(file.get(), given, text, true);
    }
    if (model_file || is_json_or_blank(text)) {
        private_file_ = std::make_unique<PrivateFile>(text);
    } else {
        lang::BuiltModel built = lang::build_model(text, name_);
        private_file_ = std::make_unique<PrivateFile>(built.json);
        constants_ = std::move(built.constants);
    }
    path_ = private_file_->path();
}
