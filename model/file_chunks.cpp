#include "file_chunks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

bool is_regular(int descriptor, std::size_t& size) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    size = static_cast<std::size_t>(status.st_size);
    return true;
}

}  // namespace

FileChunks::FileChunks(const std::string& path, std::size_t chunk_bytes)
    : buffer_(1 + PADDING, '\0') {
    // Not opened unless regular: opening a FIFO waits for a writer.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return;
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return;
    }
    if (!is_regular(descriptor, unread_)) {
        ::close(descriptor);
        return;
    }
    descriptor_ = descriptor;
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(descriptor_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    buffer_.resize(std::min(unread_, std::max<std::size_t>(chunk_bytes, 1)) + 2 + PADDING);
}

FileChunks::~FileChunks() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

void FileChunks::make_room() {
    const std::size_t capacity = room();
    if (size_ <= capacity / 2) {
        return;
    }
    // At least a byte more, so that a file that grew is still read on.
    const std::size_t needed = size_ + std::max<std::size_t>(unread_, 1);
    buffer_.resize(std::max(capacity, std::min(2 * capacity, needed)) + 1 + PADDING);
}

bool FileChunks::read_more(const char*& keep) {
    const std::size_t kept = static_cast<std::size_t>(end() - keep);
    if (keep != begin()) {
        std::memmove(buffer_.data(), keep, kept);
        size_ = kept;
        buffer_[size_] = '\0';
    }
    keep = begin();
    if (descriptor_ < 0 || at_end_ || failed_) {
        return false;
    }
    make_room();
    ssize_t read = 0;
    do {
        read = ::read(descriptor_, buffer_.data() + size_, room() - size_);
    } while (read < 0 && errno == EINTR);
    keep = begin();
    if (read <= 0) {
        failed_ = read < 0;
        at_end_ = true;
        return false;
    }
    const auto bytes = static_cast<std::size_t>(read);
    size_ += bytes;
    buffer_[size_] = '\0';
    unread_ -= std::min(unread_, bytes);
    return true;
}
