#pragma once

#include <cstddef>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// The text of a model file as the parser reads it: its lines joined, each
// line feed dropped with the carriage return just before it (a carriage
// return that ends the file without a line feed stays). The file is read in
// blocks, so the whole text is never held. A path that is not a regular file
// (a directory, a FIFO, a device) or cannot be opened reads as empty text:
// reading a FIFO could wait forever and a device could never end.
//
// The parser takes the text through `begin()` and `end()`: a character is a
// pointer's step within a block, with no call through a stream buffer, and
// the next block is read when the parser asks whether the text goes on past
// the last one, as a stream would read it.
class JoinedLinesText {
  public:
    explicit JoinedLinesText(const std::string& path);

    class Iterator {
      public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char*;
        using reference = const char&;

        Iterator() = default;  // the end
        explicit Iterator(JoinedLinesText* text) : text_(text) {}

        const char& operator*() const { return *at_; }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        // Iterators are equal only at the end: the parser compares the one
        // it reads with the end, before each character.
        friend bool operator==(const Iterator& left, const Iterator& right) {
            return left.at_end() && right.at_end();
        }
        friend bool operator!=(const Iterator& left, const Iterator& right) {
            return !(left == right);
        }

      private:
        // Reads the next block when this one is used up.
        bool at_end() const {
            return at_ == block_end_ && (text_ == nullptr || !text_->next_block(at_, block_end_));
        }

        JoinedLinesText* text_ = nullptr;
        // The rest of the current block; mutable since asking for the end
        // reads on, as a stream does when asked for its next character.
        mutable const char* at_ = nullptr;
        mutable const char* block_end_ = nullptr;
    };

    // Once only: the text is read as the iterator goes.
    Iterator begin() { return Iterator(this); }
    static Iterator end() { return Iterator(); }

  private:
    // Reads and joins the next block into [begin, end); false at the end of
    // the file. Raises
    // std::ios_base::failure when the file cannot be read to its end, so a
    // model is never read short without anyone knowing.
    bool next_block(const char*& begin, const char*& end);
    // Joins `size` bytes of `raw_` into `joined_`; returns the bytes written.
    std::size_t join(std::size_t size);

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::vector<char> raw_;              // bytes as read from the file
    std::vector<char> joined_;           // the bytes the parser gets; one more for a held CR
    bool carriage_return_held_ = false;  // the last block ended with a CR
};
