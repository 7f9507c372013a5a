#pragma once

#include <string>

// The bench model as C++ compiled with g++ -O2 into a shared library at bench
// time, and loaded: the practical limit an interpreter is measured against.
// With `same_bits`, the compiler may not rewrite calls of pow (it turns
// pow(x, 2) into x * x and pow(x, -1) into 1 / x, which differ from the
// library's pow in about one value in a hundred), so the code computes the
// very bits the tree walk does.
class NativeModel {
  public:
    // Writes the source into `folder`, compiles and loads it; throws
    // std::runtime_error when the compiler fails.
    NativeModel(const std::string& folder, int count, bool same_bits);
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
