#include "text_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <stdexcept>

namespace {

// The characters of UTF-8 text, as a terminal gives each a cell: every byte
// but the continuation bytes of a multi-byte character.
std::size_t width_of(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

}  // namespace

TextTable::TextTable(std::vector<Column> columns) {
    for (Column& column : columns) {
        add_column(std::move(column));
    }
}

void TextTable::add_column(Column column) {
    if (row_count_ > 0) {
        throw std::logic_error("a table's columns are set before its rows");
    }
    widths_.push_back(width_of(column.header));
    columns_.push_back(std::move(column));
}

void TextTable::add_row(std::vector<std::string> cells) {
    if (cells.size() != columns_.size()) {
        throw std::logic_error("a table row needs one cell per column");
    }
    for (std::size_t column = 0; column < cells.size(); ++column) {
        widths_[column] = std::max(widths_[column], width_of(cells[column]));
        cells_ += cells[column];
        cell_ends_.push_back(cells_.size());
    }
    ++row_count_;
}

void TextTable::print_row(std::ostream& out, const std::vector<std::string_view>& cells) const {
    std::string line;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        const std::string padding(widths_[column] - width_of(cells[column]), ' ');
        const bool right = columns_[column].align == Align::right;
        line += column == 0 ? "" : "  ";
        if (right) {
            line += padding;
        }
        line += cells[column];
        if (!right) {
            line += padding;
        }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
}

void TextTable::print(std::ostream& out) const {
    std::vector<std::string_view> cells;
    for (const Column& column : columns_) {
        cells.emplace_back(column.header);
    }
    print_row(out, cells);
    std::vector<std::string> rules;
    for (const std::size_t width : widths_) {
        rules.emplace_back(width, '-');
    }
    print_row(out, std::vector<std::string_view>(rules.begin(), rules.end()));
    const std::string_view all(cells_);
    std::size_t begin = 0;
    for (std::size_t row = 0; row < row_count_; ++row) {
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            const std::size_t end = cell_ends_[row * columns_.size() + column];
            cells[column] = all.substr(begin, end - begin);
            begin = end;
        }
        print_row(out, cells);
    }
}

namespace {

// "nan", "inf" or "-inf" for a value that is not finite; otherwise the value
// with ten significant digits (printf's "%.10g"), or in scientific notation
// with four ("%.3e"). std::to_chars writes printf's very characters, correctly
// rounded, in a fraction of its time: a table has a row per unknown.
std::string number_text(double value, bool scientific) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    char buffer[32];
    const std::to_chars_result written =
        scientific ? std::to_chars(std::begin(buffer), std::end(buffer), value,
                                   std::chars_format::scientific, 3)
                   : std::to_chars(std::begin(buffer), std::end(buffer), value,
                                   std::chars_format::general, 10);
    return std::string(std::begin(buffer), written.ptr);
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
