#pragma once

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

// A model file holding `text`, removed again when the object goes.
class TempModelFile {
  public:
    explicit TempModelFile(const std::string& text) {
        char name[] = "/tmp/quillon-test-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) {
            close(fd);
        }
        path_ = name;
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~TempModelFile() { std::remove(path_.c_str()); }
    TempModelFile(const TempModelFile&) = delete;
    TempModelFile& operator=(const TempModelFile&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};
