#include "followed_sweep.h"

#include "exit_codes.h"
#include "followed_output.h"

void add_follow_options(CLI::App& command, SweepOptions& options) {
    CLI::Option* follow = command.add_flag(
        "--follow", options.follow,
        "follow the curve of solutions by arc length, through turning points, from FROM while "
        "SYMBOL stays within [FROM, TO]; STEPS sets the first step");
    command
        .add_option("--min-step", options.min_step,
                    "--follow: the shortest step along the curve (default: the first step / 1e6)")
        ->check(sign_check(false))
        ->needs(follow);
    command
        .add_option("--max-step", options.max_step,
                    "--follow: the longest step along the curve (default: the first step)")
        ->check(sign_check(false))
        ->needs(follow);
    command
        .add_option("--max-points", options.max_points,
                    "--follow: the most points (default: 10 * STEPS, at least 1000)")
        ->check(sign_check(false))
        ->needs(follow);
}

int run_followed_sweep(const SweepOptions& options, const SweepRange& range,
                       PreparedSystem& prepared, const std::vector<int>& varied,
                       const std::vector<std::string>& output_symbols,
                       const std::function<std::vector<double>()>& outputs_here,
                       const CommandContext& context) {
    const ModelSystem model{prepared.loaded, prepared.choice, prepared.settings};
    const CurveSettings settings =
        follow_settings(model, range, {options.min_step, options.max_step, options.max_points});
    const FollowedCurve curve =
        follow_model_curve(model, varied, range, settings, output_symbols, outputs_here);
    write_followed_curve(curve, options.system.model.format, context.out);
    if (!options.plot_path.empty()) {
        plot_followed_curve(curve, options.plot_path,
                            options.system.model.model_path + ": curve of " + range.symbol);
    }
    if (!curve.complete()) {
        context.err << "quillon: sweep: " << curve.end_message << '\n';
    }
    return curve.complete() ? exit_code::success : exit_code::failure;
}
