#include "lang_error.h"

#include <utility>

namespace lang {

namespace {

std::string located_text(int line, int column, const std::string& message) {
    return std::to_string(line) + ":" + std::to_string(column) + ": error: " + message;
}

}  // namespace

LangError::LangError(int line, int column, std::string message)
    : std::runtime_error(located_text(line, column, message)),
      line_(line),
      column_(column),
      message_(std::move(message)) {}

LangError::LangError(const std::string& source_name, const LangError& located)
    : std::runtime_error(source_name + ":" +
                         located_text(located.line_, located.column_, located.message_)),
      source_(source_name),
      line_(located.line_),
      column_(located.column_),
      message_(located.message_) {}

}  // namespace lang
