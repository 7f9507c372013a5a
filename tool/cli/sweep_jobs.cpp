#include "sweep_jobs.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "process_jobs.h"

namespace {

// A job's rows as bytes on the pipe from its process: each field in its
// machine representation (both ends are this very program), texts and
// lists led by their length.
class RowWriter {
  public:
    void rows(const std::vector<SweepRow>& rows) {
        size(rows.size());
        for (const SweepRow& row : rows) {
            plain(row.value);
            plain(row.converged);
            size(row.outputs.size());
            for (const double value : row.outputs) {
                plain(value);
            }
            text(row.verdict);
            text(row.stop_reason);
            text(row.cause);
            text(row.message);
            plain(row.iterations);
            plain(row.solves);
            plain(row.note.has_value());
            if (row.note) {
                plain(row.note->kind);
                plain(row.note->value);
                text(row.note->label);
                text(row.note->message);
            }
        }
    }
    std::string bytes() { return std::move(bytes_); }

  private:
    template <typename Plain>
    void plain(Plain value) {
        bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void size(std::size_t count) { plain(static_cast<std::uint64_t>(count)); }
    void text(const std::string& text) {
        size(text.size());
        bytes_ += text;
    }

    std::string bytes_;
};

class RowReader {
  public:
    explicit RowReader(const std::string& bytes) : bytes_(bytes) {}

    std::vector<SweepRow> rows() {
        std::vector<SweepRow> rows(size());
        for (SweepRow& row : rows) {
            row.value = plain<double>();
            row.converged = plain<bool>();
            row.outputs.resize(size());
            for (double& value : row.outputs) {
                value = plain<double>();
            }
            row.verdict = text();
            row.stop_reason = text();
            row.cause = text();
            row.message = text();
            row.iterations = plain<int>();
            row.solves = plain<int>();
            if (plain<bool>()) {
                SweepNote& note = row.note.emplace();
                note.kind = plain<SweepNote::Kind>();
                note.value = plain<double>();
                note.label = text();
                note.message = text();
            }
        }
        if (at_ != bytes_.size()) {
            throw std::runtime_error("a sweep job's rows are longer than they say");
        }
        return rows;
    }

  private:
    template <typename Plain>
    Plain plain() {
        Plain value;
        std::memcpy(&value, take(sizeof value), sizeof value);
        return value;
    }
    std::size_t size() { return static_cast<std::size_t>(plain<std::uint64_t>()); }
    std::string text() {
        const std::size_t length = size();
        return std::string(take(length), length);
    }
    const char* take(std::size_t count) {
        if (count > bytes_.size() - at_) {
            throw std::runtime_error("a sweep job's rows end early");
        }
        const char* start = bytes_.data() + at_;
        at_ += count;
        return start;
    }

    const std::string& bytes_;
    std::size_t at_ = 0;
};

// The rows of values `first` to `last` (numbered from 0) of `range`,
// continued from `from`; `solved` sees each value solved. The curve is
// watched from the run's first value on: a run knows nothing of the values
// before it.
std::vector<SweepRow> run_rows(PreparedSystem& prepared, const std::vector<int>& varied,
                               const SweepRange& range, const OutputChoice& outputs, int first,
                               int last, const std::optional<SolvedValue>& from,
                               const std::function<void(const SweepRow&)>& each,
                               std::optional<SolvedValue>* solved = nullptr) {
    std::vector<SweepRow> rows;
    const ModelSystem model{prepared.loaded, prepared.choice, prepared.settings};
    SweepWatch watch(model, varied, range);
    run_continuation(model, varied, range, first, last, from, [&](const SweepPoint& point) {
        rows.push_back(row_of(point, outputs, prepared.loaded));
        rows.back().note = watch.observe(point);
        if (solved && rows.back().converged) {
            *solved = SolvedValue{point.value, point.result.outcome.x};
        }
        each(rows.back());
    });
    return rows;
}

}  // namespace

std::vector<SweepRow> sweep_rows(PreparedSystem& prepared, const std::vector<int>& varied,
                                 const SweepRange& range, const OutputChoice& outputs, int jobs,
                                 const std::function<void(const SweepRow&)>& each) {
    const int values = range.steps + 1;
    const int runs = std::min(jobs, values - 1);
    if (runs <= 1) {
        return run_rows(prepared, varied, range, outputs, 0, range.steps, std::nullopt, each);
    }
    // The first value here; every run goes on from its solution, so that
    // each run's first value is reached as one job reaches the values after
    // the first (by steps from a solution, cut where a solve fails).
    std::optional<SolvedValue> first;
    std::vector<SweepRow> rows =
        run_rows(prepared, varied, range, outputs, 0, 0, std::nullopt, each, &first);
    // Run r takes values 1 + [r*rest/runs, (r+1)*rest/runs): sizes differ by one at most.
    const int rest = values - 1;
    const auto first_of = [&](int run) {
        return 1 + static_cast<int>(static_cast<long long>(run) * rest / runs);
    };
    const std::vector<std::string> results = run_in_processes(runs, [&](int run) {
        RowWriter writer;
        writer.rows(run_rows(prepared, varied, range, outputs, first_of(run), first_of(run + 1) - 1,
                             first, [](const SweepRow&) {}));
        return writer.bytes();
    });
    for (const std::string& result : results) {
        for (SweepRow& row : RowReader(result).rows()) {
            rows.push_back(std::move(row));
            each(rows.back());
        }
    }
    return rows;
}
