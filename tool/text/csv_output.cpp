#include "csv_output.h"

#include "json_output.h"

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char character : text) {
        quoted += character == '"' ? "\"\"" : std::string(1, character);
    }
    return quoted + "\"";
}

std::string csv_number(double value) {
    const nlohmann::ordered_json number = json_number(value);
    return number.is_string() ? number.get<std::string>() : number.dump();
}
