#pragma once

#include <string>

// The bench model as C++ compiled with g++ -O2 into a shared library at bench
// time, and loaded: the practical limit an interpreter is measured against.
class NativeModel {
  public:
    // Writes the source into `folder`, compiles and loads it; throws
    // std::runtime_error when the compiler fails.
    NativeModel(const std::string& folder, int count);
    ~NativeModel();
    NativeModel(const NativeModel&) = delete;
    NativeModel& operator=(const NativeModel&) = delete;

    void residuals(const double* x, double* out) const { residuals_(x, out); }
    void jacobian(const double* x, double* out) const { jacobian_(x, out); }
    double compile_s() const { return compile_s_; }

  private:
    using Evaluation = void (*)(const double*, double*);
    void* handle_ = nullptr;
    Evaluation residuals_ = nullptr;
    Evaluation jacobian_ = nullptr;
    double compile_s_ = 0.0;
};
