#include "bench/floorreporter.h"

#include <cstdio>
#include <ostream>
#include <utility>

namespace {

std::vector<std::pair<std::string, std::string>> &pairs()
{
    static std::vector<std::pair<std::string, std::string>> list;
    return list;
}

double nanoseconds(double value, benchmark::TimeUnit unit)
{
    switch (unit) {
    case benchmark::kSecond:
        return value * 1e9;
    case benchmark::kMillisecond:
        return value * 1e6;
    case benchmark::kMicrosecond:
        return value * 1e3;
    default:
        return value;
    }
}

std::string readable(double ns)
{
    char text[32];
    if (ns >= 1e6)
        std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
    else if (ns >= 1e3)
        std::snprintf(text, sizeof text, "%.2f us", ns / 1e3);
    else
        std::snprintf(text, sizeof text, "%.0f ns", ns);
    return text;
}

std::string throughput(double bytesPerSecond)
{
    if (bytesPerSecond <= 0)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, " (%.1f MB/s)", bytesPerSecond / 1e6);
    return text;
}

} // namespace

bool FloorReporter::pair(const std::string &tool, const std::string &floor)
{
    pairs().emplace_back(tool, floor);
    return true;
}

void FloorReporter::ReportRuns(const std::vector<Run> &reports)
{
    for (const Run &run : reports) {
        // With repetitions the median stands for the benchmark; it comes after the runs.
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred)
            continue;
        Figure figure;
        figure.nsPerIteration = nanoseconds(run.GetAdjustedRealTime(), run.time_unit);
        // From the bytes of one iteration and the time shown, not from Google Benchmark's
        // rate, which divides by CPU time where the figure is wall time.
        const auto bytes = run.counters.find("bytes");
        if (bytes != run.counters.end() && figure.nsPerIteration > 0)
            figure.bytesPerSecond = bytes->second.value / figure.nsPerIteration * 1e9;
        // By name and arguments alone, so that the pairs hold whatever the iteration count.
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty())
            name += "/" + run.run_name.args;
        m_figures[name] = figure;
    }
    ConsoleReporter::ReportRuns(reports);
}

void FloorReporter::Finalize()
{
    std::FILE *out = stdout;
    std::fflush(out);
    GetOutputStream().flush();
    bool header = false;
    for (const auto &[tool, floor] : pairs()) {
        const auto t = m_figures.find(tool);
        const auto f = m_figures.find(floor);
        if (t == m_figures.end() || f == m_figures.end() || f->second.nsPerIteration <= 0)
            continue;
        if (!header) {
            std::fprintf(out, "\n%-44s %-22s %-42s %-22s %s\n", "figure", "per iteration", "floor",
                         "per iteration", "ratio");
            header = true;
        }
        std::fprintf(out, "%-44s %-22s %-42s %-22s %.2fx\n", tool.c_str(),
                     (readable(t->second.nsPerIteration) + throughput(t->second.bytesPerSecond)).c_str(),
                     floor.c_str(),
                     (readable(f->second.nsPerIteration) + throughput(f->second.bytesPerSecond)).c_str(),
                     t->second.nsPerIteration / f->second.nsPerIteration);
    }
    std::fflush(out);
}
