#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A regular file read in chunks into one buffer, for a lexer that walks the
// text with a pointer. What lies before the token being read is released as
// the next chunk comes in, so the buffer stays one chunk long unless a single
// token is longer: the whole text is never held. A NUL byte always follows the
// text read so far, so a lexer's loops stop at the buffer's end without a
// bounds test of their own; a NUL byte before `end()` is the file's own. A
// lexer may read PADDING bytes past `end()`, a word at a time.
// A path that is not a regular file, or cannot be opened, reads as no text
// (`is_open()` is false), as does a file the system refuses to read.
class FileChunks {
  public:
    // Chunks small enough to stay in the processor's cache while a lexer
    // reads them.
    static constexpr std::size_t CHUNK_BYTES = std::size_t{1} << 18;
    static constexpr std::size_t PADDING = 8;

    explicit FileChunks(const std::string& path, std::size_t chunk_bytes = CHUNK_BYTES);
    ~FileChunks();
    FileChunks(const FileChunks&) = delete;
    FileChunks& operator=(const FileChunks&) = delete;

    bool is_open() const { return descriptor_ >= 0; }

    // The text read and not yet released: [begin(), end()), *end() == '\0'.
    const char* begin() const { return buffer_.data(); }
    const char* end() const { return buffer_.data() + size_; }

    // Releases the text before `keep` (a place in [begin(), end()]), moves the
    // rest to the front and reads the next chunk after it. `keep` is set to
    // the kept text's new place whether or not more came. False at the end
    // of the file, or when reading fails (then `failed()` too).
    bool read_more(const char*& keep);
    bool failed() const { return failed_; }

  private:
    // Frees room after the kept text: the buffer doubles (up to what the
    // file still holds) when the text kept is more than half of it, so a
    // token of any length is read again only a few times.
    void make_room();
    // The bytes of text the buffer has room for.
    std::size_t room() const { return buffer_.size() - 1 - PADDING; }

    int descriptor_ = -1;
    std::size_t unread_ = 0;  // the file's bytes not yet read, by its size when opened
    // The text, the NUL, free room, then PADDING bytes: its size is the
    // room for text + 1 + PADDING.
    std::vector<char> buffer_;
    std::size_t size_ = 0;  // text bytes in `buffer_`
    bool at_end_ = false;
    bool failed_ = false;
};
