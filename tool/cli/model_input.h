#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "private_file.h"

// What a command was given as its model, as a path the plug-in can read. A
// JSON model file is read by the plug-in where it lies; equation text, from a
// file or standard input ("-"), is built in memory, and a JSON model from
// standard input or a pipe copied, into a PrivateFile. A file named *.json is
// always a model file; otherwise the text says which it is: equation text
// opens with a statement or a comment, which no JSON value can open with (a
// model opens, after white space and a byte order mark, with a value's first
// character or literal, or with a broken mark). Blank text goes to the
// plug-in, whose fault says it holds no model.
// Faults in equation text raise lang::LangError; a file that cannot be opened
// or read raises FileFault with the system's reason.
class ModelInput {
  public:
    explicit ModelInput(const std::string& given);

    // The file to load.
    const std::string& path() const { return path_; }
    // The MODEL argument: a path, or "-".
    const std::string& given() const { return given_; }
    // The model as messages name it: the path given, or <stdin>.
    const std::string& name() const { return name_; }
    // Whether path() is the file given, whose lines and columns a fault can name.
    bool read_in_place() const { return !private_file_; }
    // The constants of the equations, with their values; none for a model file.
    const std::vector<std::pair<std::string, double>>& constants() const { return constants_; }

  private:
    std::string given_;
    std::string name_;
    std::unique_ptr<PrivateFile> private_file_;
    std::string path_;
    std::vector<std::pair<std::string, double>> constants_;
};

// The models of one run of the tool, each read once and kept, with its
// private file, until the run ends.
class ModelInputs {
  public:
    // The file to load for the MODEL argument `given`.
    const std::string& path_of(const std::string& given);
    // The input of the MODEL argument `given`, read now if it was not yet.
    const ModelInput& input_of(const std::string& given);
    // The model last asked for, for the report of a failure; null before any.
    const ModelInput* last() const { return last_; }

  private:
    std::vector<std::unique_ptr<ModelInput>> inputs_;
    const ModelInput* last_ = nullptr;
};

// Raises UsageError when `output`, the file that `option` writes, is the
// file `input` (by any path or link): writing it would destroy what the
// command reads. Standard input ("-") and files that do not exist yet are no
// such file.
void refuse_to_overwrite(const std::string& option, const std::string& output,
                         const std::string& input);

// The text of `path`, or of standard input for "-"; raises FileFault when it
// cannot be opened or read to its end, naming the system's reason.
std::string read_input_text(const std::string& path);
