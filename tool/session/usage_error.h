#pragma once

#include <stdexcept>

// A command line that names something the model does not have, or asks for
// something the model cannot give; the tool exits with code 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
