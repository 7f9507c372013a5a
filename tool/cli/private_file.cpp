#include "private_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace {

// The path a signal handler removes; async-signal-safe to read.
char pending_removal[4096];
volatile std::sig_atomic_t removal_pending = 0;

constexpr int removal_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void remove_and_reraise(int signal_number) {
    if (removal_pending != 0) {
        unlink(pending_removal);
    }
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void write_all(int descriptor, std::string_view text, const std::string& path) {
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw std::runtime_error("cannot write the temporary model file " + path + ": " +
                                     std::strerror(errno));
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace

PrivateFile::PrivateFile(std::string_view text) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-XXXXXX.json").string();
    if (pattern.size() >= sizeof pending_removal) {
        throw std::runtime_error(
            "cannot write a temporary model file: the folder's path is too long");
    }
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemps(name.data(), 5);  // mode 0600
    if (descriptor < 0) {
        throw std::runtime_error("cannot write a temporary model file in " + pattern + ": " +
                                 std::strerror(errno));
    }
    path_ = name.data();
    std::memcpy(pending_removal, name.data(), name.size());
    removal_pending = 1;
    for (const int signal_number : removal_signals) {
        std::signal(signal_number, remove_and_reraise);
    }
    try {
        write_all(descriptor, text, path_);
    } catch (...) {
        ::close(descriptor);
        remove();
        throw;
    }
    if (::close(descriptor) != 0) {
        const int error = errno;
        remove();
        throw std::runtime_error("cannot write the temporary model file " + path_ + ": " +
                                 std::strerror(error));
    }
}

PrivateFile::~PrivateFile() {
    remove();
}

void PrivateFile::remove() {
    removal_pending = 0;
    for (const int signal_number : removal_signals) {
        std::signal(signal_number, SIG_DFL);
    }
    ::unlink(path_.c_str());
}
