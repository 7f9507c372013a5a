#include "spy_plot.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>

#include "svg_document.h"

namespace {

constexpr double PLOT_SIZE = 640;
constexpr double LARGEST_CELL = 18;
constexpr int LABELLED_LIMIT = 60;  // most rows or columns that get their names
constexpr int CELL_LIMIT = 400;     // most cells along an axis before rows share cells
constexpr double LABEL_ROOM = 150;
constexpr double TITLE_ROOM = 40;
const std::string NONZERO_COLOUR = "#1f3f7f";
const std::string FINDING_COLOUR = "#d62020";

using Cell = std::pair<int, int>;  // row, column positions in the drawing

struct Layout {
    std::vector<int> row_position;     // equation -> drawn row
    std::vector<int> column_position;  // variable -> drawn column
    std::vector<int> block_starts;     // drawn positions where diagonal blocks start
    std::vector<int> row_at;           // drawn row -> equation
    std::vector<int> column_at;        // drawn column -> variable
};

std::vector<int> positions_of(const std::vector<int>& order) {
    std::vector<int> position(order.size());
    for (std::size_t index = 0; index < order.size(); ++index) {
        position[static_cast<std::size_t>(order[index])] = static_cast<int>(index);
    }
    return position;
}

Layout layout_of(const BipartiteGraph& structure) {
    Layout layout;
    layout.row_at.resize(static_cast<std::size_t>(structure.rows));
    layout.column_at.resize(static_cast<std::size_t>(structure.columns));
    std::iota(layout.row_at.begin(), layout.row_at.end(), 0);
    std::iota(layout.column_at.begin(), layout.column_at.end(), 0);
    if (structure.rows == structure.columns) {
        const Matching matching = maximum_matching(structure);
        if (matching.size == structure.rows) {
            BlockTriangularOrder order = block_triangular_order(structure, matching);
            layout.row_at = std::move(order.rows);
            layout.column_at = std::move(order.columns);
            layout.block_starts = std::move(order.block_starts);
        }
    }
    layout.row_position = positions_of(layout.row_at);
    layout.column_position = positions_of(layout.column_at);
    return layout;
}

class SpyDrawing {
  public:
    SpyDrawing(const BipartiteGraph& structure, const NumberedModel& model)
        : structure_(structure),
          model_(model),
          layout_(layout_of(structure)),
          labelled_(structure.rows <= LABELLED_LIMIT && structure.columns <= LABELLED_LIMIT),
          per_cell_(std::max(
              1, (std::max(structure.rows, structure.columns) + CELL_LIMIT - 1) / CELL_LIMIT)),
          cell_(std::min(
              LARGEST_CELL,
              PLOT_SIZE / std::max(1, std::max(cells(structure.rows), cells(structure.columns))))),
          left_(labelled_ ? LABEL_ROOM : 60),
          top_(TITLE_ROOM + (labelled_ ? LABEL_ROOM : 30)),
          svg_(left_ + cell_ * cells(structure.columns) + 40,
               top_ + cell_ * cells(structure.rows) + 50) {}

    void draw(const std::vector<Finding>& findings, const std::string& title) {
        svg_.text(10, 24, title, 15);
        svg_.rect(left_, top_, cell_ * cells(structure_.columns), cell_ * cells(structure_.rows),
                  "none", "#888");
        draw_blocks();
        draw_nonzeros(findings);
        draw_labels();
    }

    void save(const std::string& path) const { svg_.save(path); }

  private:
    int cells(int count) const { return (count + per_cell_ - 1) / per_cell_; }
    double x(int column_cell) const { return left_ + cell_ * column_cell; }
    double y(int row_cell) const { return top_ + cell_ * row_cell; }

    Cell cell_of(int row, int column) const {
        return {layout_.row_position[static_cast<std::size_t>(row)] / per_cell_,
                layout_.column_position[static_cast<std::size_t>(column)] / per_cell_};
    }

    void draw_blocks() {
        const int size = structure_.rows;
        for (std::size_t index = 0; index < layout_.block_starts.size(); ++index) {
            const int first = layout_.block_starts[index];
            const int end =
                index + 1 < layout_.block_starts.size() ? layout_.block_starts[index + 1] : size;
            const double from = static_cast<double>(first) / per_cell_;
            const double extent = static_cast<double>(end - first) / per_cell_;
            if (end - first > 1) {
                svg_.rect(x(0) + cell_ * from, y(0) + cell_ * from, cell_ * extent, cell_ * extent,
                          "#eef2fa", "#9aa8c8");
            }
        }
    }

    void draw_nonzeros(const std::vector<Finding>& findings) {
        std::set<Cell> marked;
        std::set<Cell> present;
        for (const Finding& finding : findings) {
            if (finding.equation > 0 && finding.variable > 0) {
                marked.insert(cell_of(finding.equation - 1, finding.variable - 1));
            }
        }
        for (int row = 0; row < structure_.rows; ++row) {
            for (const int column : structure_.row_columns[static_cast<std::size_t>(row)]) {
                present.insert(cell_of(row, column));
            }
        }
        const double inset = cell_ > 4 ? cell_ * 0.1 : 0.0;
        for (const Cell& cell : present) {
            const std::string& colour = marked.count(cell) > 0 ? FINDING_COLOUR : NONZERO_COLOUR;
            svg_.rect(x(cell.second) + inset, y(cell.first) + inset, cell_ - 2 * inset,
                      cell_ - 2 * inset, colour);
        }
        for (const Cell& cell : marked) {
            if (present.count(cell) == 0) {
                svg_.rect(x(cell.second) + inset, y(cell.first) + inset, cell_ - 2 * inset,
                          cell_ - 2 * inset, "none", FINDING_COLOUR);
            }
        }
    }

    void draw_labels() {
        const double size = std::min(12.0, std::max(7.0, cell_ * 0.8));
        if (!labelled_) {
            svg_.text(x(0), y(0) - 10, std::to_string(structure_.columns) + " variables (columns)",
                      12);
            svg_.text(x(0) - 10, y(0), std::to_string(structure_.rows) + " equations (rows)", 12,
                      "end", -90);
            return;
        }
        for (int row = 0; row < structure_.rows; ++row) {
            const int equation = layout_.row_at[static_cast<std::size_t>(row)];
            svg_.text(x(0) - 6, y(row) + cell_ * 0.75, model_.equation_name(equation + 1), size,
                      "end");
        }
        for (int column = 0; column < structure_.columns; ++column) {
            const int variable = layout_.column_at[static_cast<std::size_t>(column)];
            svg_.text(x(column) + cell_ * 0.7, y(0) - 6, model_.symbol(variable + 1), size, "start",
                      -60);
        }
    }

    const BipartiteGraph& structure_;
    const NumberedModel& model_;
    Layout layout_;
    bool labelled_;
    int per_cell_;
    double cell_;
    double left_;
    double top_;
    SvgDocument svg_;
};

}  // namespace

void write_spy_plot(const std::string& path, const BipartiteGraph& structure,
                    const std::vector<Finding>& findings, const NumberedModel& model,
                    const std::string& title) {
    SpyDrawing drawing(structure, model);
    drawing.draw(findings, title);
    drawing.save(path);
}
