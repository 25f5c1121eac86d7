#ifndef QORX_TESTS_BENCH_RATIOREPORTER_H
#define QORX_TESTS_BENCH_RATIOREPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// The console report, followed by the ratio of each peer's median times (real
// and CPU) to ours for benchmarks named "GROUP/qorx" and "GROUP/PEER" (above
// 1: we are faster). Without repetitions the single run stands in for the
// median. On a busy machine the CPU ratio is the steadier of the two. A
// benchmark that runs other programs reports its CPU time, theirs included,
// in the counter "cpu_ms", which then stands for its CPU time.
//
// Debian's libbenchmark is built without NDEBUG and says so in a warning at
// the top of every report; the warning is left out here (scripts/run-benchmarks
// says once why it does not matter).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::string, Times> medians; // by benchmark name
};

#endif
