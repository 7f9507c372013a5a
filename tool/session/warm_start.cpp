#include "warm_start.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "usage_error.h"

namespace {

[[noreturn]] void unreadable(const std::string& path, const std::string& why) {
    throw UsageError("--start " + path + ": " + why);
}

// A value as the tool writes it: a number in text, as CSV holds every value,
// or one of the texts "nan", "inf", "-inf", which strtod reads as such.
bool read_value(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

// A member of `object` that is a text, else "".
std::string text_member(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : "";
}

EarlierResult from_json(const std::string& path, const std::string& text) {
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& error) {
        unreadable(path, error.what());
    }
    if (!document.is_object() || !document.contains("variables") ||
        !document["variables"].is_array()) {
        unreadable(path, "a JSON result holds a \"variables\" list");
    }
    EarlierResult result{{},
                         {text_member(document, "status"), text_member(document, "stop_reason")}};
    std::vector<Assignment>& assignments = result.values;
    for (const nlohmann::json& variable : document["variables"]) {
        const nlohmann::json* symbol =
            variable.is_object() && variable.contains("symbol") ? &variable["symbol"] : nullptr;
        const nlohmann::json* value =
            variable.is_object() && variable.contains("value") ? &variable["value"] : nullptr;
        double number = 0.0;
        const bool readable =
            value && (value->is_number()   ? (number = value->get<double>(), true)
                      : value->is_string() ? read_value(value->get<std::string>(), number)
                                           : false);
        if (!symbol || !symbol->is_string() || !readable) {
            unreadable(path, "each of \"variables\" needs a \"symbol\" text and a \"value\"");
        }
        assignments.push_back({symbol->get<std::string>(), number});
    }
    return result;
}

// The fields of one CSV line; a quoted field may hold separators and "" for ".
std::vector<std::string> csv_fields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t index = 0; index < line.size(); ++index) {
        const char character = line[index];
        if (quoted && character == '"' && index + 1 < line.size() && line[index + 1] == '"') {
            fields.back() += '"';
            ++index;
        } else if (character == '"') {
            quoted = !quoted;
        } else if (character == ',' && !quoted) {
            fields.emplace_back();
        } else if (character != '\r' || quoted) {
            fields.back() += character;
        }
    }
    return fields;
}

// The column of `name` in `header`; header.size() when there is none.
std::size_t optional_column(const std::vector<std::string>& header, const std::string& name) {
    return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
}

std::size_t column_of(const std::vector<std::string>& header, const std::string& name,
                      const std::string& path) {
    const std::size_t column = optional_column(header, name);
    if (column == header.size()) {
        unreadable(path, "a CSV result has a \"" + name + "\" column");
    }
    return column;
}

EarlierResult from_csv(const std::string& path, const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    const std::vector<std::string> header = csv_fields(line);
    const std::size_t symbol = column_of(header, "symbol", path);
    const std::size_t value = column_of(header, "value", path);
    const std::size_t status = optional_column(header, "status");
    const std::size_t stop_reason = optional_column(header, "stop_reason");
    EarlierResult result;
    std::vector<Assignment>& assignments = result.values;
    for (int number = 2; std::getline(lines, line); ++number) {
        if (line.empty() || line == "\r") {
            continue;
        }
        const std::vector<std::string> fields = csv_fields(line);
        double number_value = 0.0;
        if (fields.size() <= std::max(symbol, value) || !read_value(fields[value], number_value)) {
            unreadable(path, "line " + std::to_string(number) + " has no symbol and value");
        }
        if (assignments.empty() && status < fields.size() && stop_reason < fields.size()) {
            result.status = {fields[status], fields[stop_reason]};
        }
        assignments.push_back({fields[symbol], number_value});
    }
    return result;
}

}  // namespace

std::string ResultStatus::text() const {
    return status.empty() ? stop_reason : status + ", " + stop_reason;
}

std::string unconverged_start_text(const std::string& path, const ResultStatus& status) {
    return "--start " + path + ": the solve that wrote it did not converge (" + status.text() +
           "), so its values are where that solve stopped, not a solution";
}

EarlierResult read_result(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        unreadable(path, "the file cannot be read");
    }
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && text[first] == '{') {
        return from_json(path, text);
    }
    return from_csv(path, text);
}

std::vector<std::string> apply_known_assignments(const std::vector<Assignment>& assignments,
                                                 const VariableSymbols& symbols,
                                                 ModelSession& session) {
    // An index, since a result names every variable of a model that may be large.
    std::unordered_map<std::string, std::vector<int>> numbers;
    for (int number = 1; number <= session.variable_count(); ++number) {
        numbers[symbols.symbol(number)].push_back(number);
    }
    std::vector<std::string> unknown;
    std::set<std::string> reported;
    for (const Assignment& assignment : assignments) {
        const auto targets = numbers.find(assignment.symbol);
        if (targets != numbers.end()) {
            for (const int number : targets->second) {
                session.value(number) = assignment.value;
            }
        } else if (reported.insert(assignment.symbol).second) {
            unknown.push_back(assignment.symbol);
        }
    }
    return unknown;
}
