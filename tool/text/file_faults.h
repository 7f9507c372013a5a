#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// A file that cannot be opened, read or written; the tool exits with code 2.
// The message names the file and the system's reason: "cannot write
// /dev/full: No space left on device", "cannot open m.json: Permission
// denied".
class FileFault : public std::runtime_error {
  public:
    enum class Direction { input, output };

    FileFault(Direction direction, const std::string& message)
        : std::runtime_error(message), direction_(direction) {}

    Direction direction() const { return direction_; }

  private:
    Direction direction_;
};

// "cannot VERB PATH: REASON" for the errno value `error`.
std::string file_fault_text(const std::string& verb, const std::string& path, int error);

// Writes `text` as the whole file at `path`; closes it before answering, so
// that a full disk, which shows only when the last block goes out, is a
// FileFault and not a cut-off file reported as written.
void write_text_file(const std::string& path, std::string_view text);

// Writes all of `text` to the open file `descriptor`, again after a write
// that was interrupted or took only part; false (errno says why) when the
// file takes no more.
bool write_all(int descriptor, std::string_view text);
