#include "model_source.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

#include "file_faults.h"
#include "model_language.h"
#include "usage_error.h"

namespace {

// The same texts as the tool's check of its MODEL argument.
void require_readable_file(const std::string& path) {
    std::error_code failure;
    const std::filesystem::file_status status = std::filesystem::status(path, failure);
    if (!std::filesystem::exists(status)) {
        throw UsageError("File does not exist: " + path);
    }
    if (std::filesystem::is_directory(status)) {
        throw UsageError("File is actually a directory: " + path);
    }
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw UsageError("cannot read " + path);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

bool is_equation_file(const std::string& path) {
    return std::filesystem::path(path).extension() == ".eq";
}

ModelSource ModelSource::from_file(const std::string& path) {
    require_readable_file(path);
    if (is_equation_file(path)) {
        return from_equations(read_file(path), path);
    }
    return ModelSource(path, path, -1);
}

ModelSource ModelSource::from_equations(const std::string& text, const std::string& source_name) {
    lang::BuiltModel model = lang::build_model(text, source_name);
    ModelSource source = from_model_text(model.json, source_name);
    source.equations_ = text;
    source.constants_ = std::move(model.constants);
    return source;
}

ModelSource ModelSource::from_model_text(const std::string& text, const std::string& source_name) {
    const int descriptor = ::memfd_create("quillon-model", MFD_CLOEXEC);
    if (descriptor < 0) {
        throw std::system_error(errno, std::generic_category(),
                                "cannot hold the built model in memory");
    }
    ModelSource source("/proc/self/fd/" + std::to_string(descriptor), source_name, descriptor);
    if (!write_all(descriptor, text)) {
        throw std::system_error(errno, std::generic_category(),
                                "cannot hold the built model in memory");
    }
    return source;
}

ModelSource::Origin ModelSource::origin() const {
    if (!equations_.empty()) {
        return {true, equations_};
    }
    return {false, read_file(path_)};
}

ModelSource::ModelSource(ModelSource&& other) noexcept
    : path_(std::move(other.path_)),
      name_(std::move(other.name_)),
      equations_(std::move(other.equations_)),
      descriptor_(std::exchange(other.descriptor_, -1)),
      constants_(std::move(other.constants_)) {}

ModelSource& ModelSource::operator=(ModelSource&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        path_ = std::move(other.path_);
        name_ = std::move(other.name_);
        equations_ = std::move(other.equations_);
        descriptor_ = std::exchange(other.descriptor_, -1);
        constants_ = std::move(other.constants_);
    }
    return *this;
}

ModelSource::~ModelSource() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}
