#include "text_constants.h"

#include <clocale>

#include "numeric_text.h"

std::uint32_t TextConstants::add(std::string text) {
    texts_.push_back(std::move(text));
    values_.push_back(0.0);
    known_.push_back(0);
    return static_cast<std::uint32_t>(texts_.size() - 1);
}

void TextConstants::check_locale() {
    const char* point = std::localeconv()->decimal_point;
    if (decimal_point_ != point) {
        decimal_point_ = point;
        known_.assign(known_.size(), 0);
    }
}

double TextConstants::convert(std::uint32_t number) {
    const double value = numeric_text_value(texts_[number]);
    values_[number] = value;
    known_[number] = 1;
    return value;
}
