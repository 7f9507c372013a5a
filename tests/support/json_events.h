#pragma once

// The events a JSON reader gives, written down one after another so that two
// readings of a text can be compared: numbers by kind and bits, texts by
// their bytes.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

class JsonEvents {
  public:
    const std::string& log() const { return log_; }

    bool null() { return add("n"); }
    bool boolean(bool value) { return add(value ? "t" : "f"); }
    bool number_integer(std::int64_t value) { return add("i" + std::to_string(value)); }
    bool number_unsigned(std::uint64_t value) { return add("u" + std::to_string(value)); }
    bool number_float(double value, std::string_view) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return add("d" + std::to_string(bits));
    }
    bool string(std::string_view text) { return add("s" + sized(text)); }
    bool binary(nlohmann::json::binary_t&) { return add("b"); }
    bool key(std::string_view name) { return add("k" + sized(name)); }
    bool start_object(std::size_t) { return add("{"); }
    bool end_object() { return add("}"); }
    bool start_array(std::size_t) { return add("["); }
    bool end_array() { return add("]"); }
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception&) {
        return false;
    }

  private:
    static std::string sized(std::string_view text) {
        return std::to_string(text.size()) + ":" + std::string(text);
    }
    bool add(const std::string& event) {
        log_ += event;
        log_ += ' ';
        return true;
    }

    std::string log_;
};
