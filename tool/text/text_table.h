#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// A table for people: a header row, a rule, then the rows, every column as
// wide as its widest cell (counting characters of UTF-8 text, not bytes);
// text columns aligned left, number columns right.
class TextTable {
  public:
    enum class Align { left, right };
    struct Column {
        std::string header;
        Align align;
    };

    explicit TextTable(std::vector<Column> columns);

    // One more column at the end, before any row is added.
    void add_column(Column column);

    // `cells` must hold one text per column.
    void add_row(std::vector<std::string> cells);
    void print(std::ostream& out) const;

  private:
    void print_row(std::ostream& out, const std::vector<std::string_view>& cells) const;

    std::vector<Column> columns_;
    std::vector<std::size_t> widths_;  // by column: its widest cell so far
    // The rows' cells one after another, in one text with their ends: tables
    // of a large model have a row per variable, and a string each would
    // take several times their text.
    std::string cells_;
    std::vector<std::size_t> cell_ends_;
    std::size_t row_count_ = 0;
};

// A value for people: up to 10 significant digits, "nan", "inf" or "-inf".
std::string readable_number(double value);
// A residual or norm: 3 significant digits in exponent form.
std::string short_number(double value);

// "1 equation", "2 equations": a count with its noun in the right number;
// `plural` defaults to the noun and an "s".
std::string counted(long long count, const std::string& noun, std::string plural = "");

// "A, B and C": at most ten names, then how many more there are.
std::string listed_names(const std::vector<std::string>& names);
