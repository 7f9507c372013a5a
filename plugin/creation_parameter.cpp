#include "creation_parameter.h"

#include <strings.h>
#include <cstdio>

void copy_parameter_text(char (&buffer)[PARAMETER_TEXT_SIZE], const char* text) {
    std::snprintf(buffer, sizeof buffer, "%s", text);
}

std::string model_path(const char* text) {
    static constexpr char prefix[] = "model=";
    static constexpr std::size_t prefix_length = sizeof prefix - 1;
    const std::string whole(text);
    if (whole.size() > prefix_length && strncasecmp(text, prefix, prefix_length) == 0) {
        return whole.substr(prefix_length);
    }
    return whole;
}
