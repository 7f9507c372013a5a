#pragma once

#include <string>
#include <string_view>

// A file only this user can read, in the temporary folder, holding `text`,
// removed when the object ends, and also when the process ends on SIGINT,
// SIGTERM, SIGHUP or SIGPIPE: the plug-in takes a model as a path, so a model
// built in memory or read from standard input is handed to it this way. One
// at a time.
class PrivateFile {
  public:
    // Throws std::runtime_error ("cannot write ...") when the file cannot be
    // made or written in full.
    explicit PrivateFile(std::string_view text);
    ~PrivateFile();
    PrivateFile(const PrivateFile&) = delete;
    PrivateFile& operator=(const PrivateFile&) = delete;

    const std::string& path() const { return path_; }

  private:
    void remove();

    std::string path_;
};
