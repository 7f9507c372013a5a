#pragma once

#include <cstdio>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

// The text of a model file as the parser reads it: its lines joined, each
// line feed dropped with the carriage return just before it (a carriage
// return that ends the file without a line feed stays). The file is read in
// blocks, so the whole text is never held. A path that is not a regular file
// (a directory, a FIFO, a device) or cannot be opened reads as empty text:
// reading a FIFO could wait forever and a device could never end.
class JoinedLinesBuffer : public std::streambuf {
  public:
    explicit JoinedLinesBuffer(const std::string& path);

  protected:
    // Raises std::ios_base::failure when the file cannot be read to its end,
    // so a model is never read short without anyone knowing.
    int_type underflow() override;

  private:
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
