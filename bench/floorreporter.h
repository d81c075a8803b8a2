#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// The console report, followed by a table that puts each figure beside its floor (the bare
// cost of the same work without our code around it) with the ratio of the two.
class FloorReporter : public benchmark::ConsoleReporter
{
public:
    // Declares that the benchmark run named tool is to be read against the one named floor.
    // Returns true, so that a file can declare its pairs in a static initializer.
    static bool pair(const std::string &tool, const std::string &floor);

    void ReportRuns(const std::vector<Run> &reports) override;
    void Finalize() override;

private:
    struct Figure
    {
        double nsPerIteration = 0;
        double bytesPerSecond = 0;
    };

    std::map<std::string, Figure> m_figures;
};
