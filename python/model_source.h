#pragma once

#include <string>
#include <utility>
#include <vector>

// The model a load names, as a file the plug-in can read: a model file as it
// is, or equations (a file ending in .eq, or text) built into a model file
// held in memory, which the plug-in reads through /proc/self/fd like any path.
class ModelSource {
  public:
    // Throws UsageError when the file does not exist or cannot be read, and
    // lang::LangError for a fault in the equations.
    static ModelSource from_file(const std::string& path);
    static ModelSource from_equations(const std::string& text, const std::string& source_name);
    // A model file's text, held in memory as a file the plug-in reads;
    // `source_name` is what name() says.
    static ModelSource from_model_text(const std::string& text, const std::string& source_name);

    ModelSource(ModelSource&& other) noexcept;
    ModelSource& operator=(ModelSource&& other) noexcept;
    ModelSource(const ModelSource&) = delete;
    ModelSource& operator=(const ModelSource&) = delete;
    ~ModelSource();

    // What the plug-in reads.
    const std::string& path() const { return path_; }
    // What the user named: the file, or "<text>".
    const std::string& name() const { return name_; }
    // The constants of the equations, with their values; none for a model file.
    const std::vector<std::pair<std::string, double>>& constants() const { return constants_; }

    // What the model is made from, so that another process can make it
    // again without the file: the equations' text, or the model file's
    // (read now; a model file changed since it was loaded gives the new text).
    struct Origin {
        bool equations = false;
        std::string text;
    };
    Origin origin() const;

  private:
    ModelSource(std::string path, std::string name, int descriptor)
        : path_(std::move(path)), name_(std::move(name)), descriptor_(descriptor) {}

    std::string path_;
    std::string name_;
    std::string equations_;  // the text built into the model, if it was built
    int descriptor_ = -1;    // the in-memory file, when there is one
    std::vector<std::pair<std::string, double>> constants_;
};

// Whether `path` names an equation file rather than a model file.
bool is_equation_file(const std::string& path);
