#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The numeric texts of a compiled program. A text's value depends only on the
// text and the current locale's decimal separator, so a conversion that
// succeeded is kept until the separator changes; a text that fails is
// converted, and fails, at every evaluation.
class TextConstants {
  public:
    // Adds a text; answers its number.
    std::uint32_t add(std::string text);

    // Forgets every kept value when the decimal separator is not the one they
    // were converted under. Called before each run.
    void check_locale();

    // The value of text `number`, as numeric_text_value gives it.
    double value(std::uint32_t number) {
        return known_[number] ? values_[number] : convert(number);
    }

    std::size_t size() const { return texts_.size(); }

  private:
    double convert(std::uint32_t number);

    std::vector<std::string> texts_;
    std::vector<double> values_;
    std::vector<char> known_;
    std::string decimal_point_;  // the separator the kept values were converted under
};
