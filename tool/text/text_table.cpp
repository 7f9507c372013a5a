#include "text_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

// The characters of UTF-8 text, as a terminal gives each a cell: every byte
// but the continuation bytes of a multi-byte character.
std::size_t width_of(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

}  // namespace

TextTable::TextTable(std::vector<Column> columns) : columns_(std::move(columns)) {}

void TextTable::add_column(Column column) {
    if (!rows_.empty()) {
        throw std::logic_error("a table's columns are set before its rows");
    }
    columns_.push_back(std::move(column));
}

void TextTable::add_row(std::vector<std::string> cells) {
    if (cells.size() != columns_.size()) {
        throw std::logic_error("a table row needs one cell per column");
    }
    rows_.push_back(std::move(cells));
}

std::vector<std::size_t> TextTable::widths() const {
    std::vector<std::size_t> widest;
    for (const Column& column : columns_) {
        widest.push_back(width_of(column.header));
    }
    for (const auto& row : rows_) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widest[column] = std::max(widest[column], width_of(row[column]));
        }
    }
    return widest;
}

void TextTable::print_row(std::ostream& out, const std::vector<std::string>& cells,
                          const std::vector<std::size_t>& widths) const {
    std::string line;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        const std::string padding(widths[column] - width_of(cells[column]), ' ');
        const bool right = columns_[column].align == Align::right;
        line += column == 0 ? "" : "  ";
        line += right ? padding + cells[column] : cells[column] + padding;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
}

void TextTable::print(std::ostream& out) const {
    const std::vector<std::size_t> widest = widths();
    std::vector<std::string> headers;
    std::vector<std::string> rules;
    for (std::size_t column = 0; column < columns_.size(); ++column) {
        headers.push_back(columns_[column].header);
        rules.emplace_back(widest[column], '-');
    }
    print_row(out, headers, widest);
    print_row(out, rules, widest);
    for (const auto& row : rows_) {
        print_row(out, row, widest);
    }
}

namespace {

// "nan", "inf" or "-inf" for a value that is not finite; otherwise the value
// with ten significant digits, or in scientific notation with four.
std::string number_text(double value, bool scientific) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    char buffer[32];
    if (scientific) {
        std::snprintf(buffer, sizeof buffer, "%.3e", value);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.10g", value);
    }
    return buffer;
}

}  // namespace

std::string readable_number(double value) {
    return number_text(value, false);
}

std::string short_number(double value) {
    return number_text(value, true);
}

std::string counted(long long count, const std::string& noun, std::string plural) {
    if (plural.empty()) {
        plural = noun + "s";
    }
    return std::to_string(count) + " " + (count == 1 || count == -1 ? noun : plural);
}

std::string listed_names(const std::vector<std::string>& names) {
    constexpr std::size_t most = 10;
    const std::size_t shown = std::min(names.size(), most);
    std::string text;
    for (std::size_t index = 0; index < shown; ++index) {
        const bool last = index + 1 == shown && names.size() <= most;
        text += index == 0 ? "" : last ? " and " : ", ";
        text += names[index];
    }
    if (names.size() > most) {
        text += " and " + std::to_string(names.size() - most) + " more";
    }
    return text;
}
