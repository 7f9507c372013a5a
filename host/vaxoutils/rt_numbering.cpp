#include "rt_numbering.h"

#include <cstring>
#include <sstream>
#include <stdexcept>

#include "rt_records.h"

namespace rt_numbering {

std::string range_fault(int first, int last) {
    if (last < first) {
        return "outside the list, which is empty";
    }
    return "outside " + std::to_string(first) + ".." + std::to_string(last);
}

std::string bounded_name(const char* field) {
    return {field, strnlen(field, RT_NAME_FIELD)};
}

std::string number_text(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

std::size_t checked_count(const char* what, int count) {
    if (count < 0) {
        throw std::invalid_argument(std::string("a host list cannot hold ") +
                                    std::to_string(count) + " " + what);
    }
    return static_cast<std::size_t>(count);
}

}  // namespace rt_numbering
