#pragma once

#include <stdexcept>
#include <string>

namespace lang {

// A fault in equation text: where it lies (line and column count from 1, a
// column counts characters) and what was expected there. what() reads
// "LINE:COLUMN: error: MESSAGE", or "SOURCE:LINE:COLUMN: error: MESSAGE" once
// the source is named, the way compilers report.
class LangError : public std::runtime_error {
  public:
    LangError(int line, int column, std::string message);
    LangError(const std::string& source_name, const LangError& located);

    // The text's name once given: a file name, or <stdin>; else empty.
    const std::string& source() const { return source_; }
    int line() const { return line_; }
    int column() const { return column_; }
    const std::string& message() const { return message_; }

  private:
    std::string source_;
    int line_;
    int column_;
    std::string message_;
};

}  // namespace lang
