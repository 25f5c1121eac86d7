#include "RatioReporter.h"

#include <cstdio>
#include <sstream>
#include <string>

bool RatioReporter::ReportContext(const Context& context)
{
    std::ostream& errors = GetErrorStream();
    std::ostringstream captured;
    SetErrorStream(&captured);
    const bool result = ConsoleReporter::ReportContext(context);
    SetErrorStream(&errors);
    std::istringstream lines(captured.str());
    for (std::string line; std::getline(lines, line);)
        if (line.find("Library was built as DEBUG") == std::string::npos)
            errors << line << '\n';
    return result;
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const std::string& name = run.run_name.function_name;
        if (run.error_occurred)
            continue;
        const auto cpuWithChildren = run.counters.find("cpu_ms");
        const double cpu = cpuWithChildren == run.counters.end()
                               ? run.GetAdjustedCPUTime()
                               : cpuWithChildren->second.value * 1e-3 * benchmark::GetTimeUnitMultiplier(run.time_unit);
        if (run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median" : !medians.count(name))
            medians[name] = {run.GetAdjustedRealTime(), cpu};
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::printf("\nMedian times, peer / qorx (above 1: qorx is faster):\n");
    for (const auto& [name, qorx] : medians) {
        const size_t slash = name.rfind('/');
        if (slash == std::string::npos || name.compare(slash + 1, std::string::npos, "qorx") != 0)
            continue;
        const std::string group = name.substr(0, slash + 1);
        for (const auto& [peerName, peer] : medians) {
            if (peerName != name && peerName.compare(0, group.size(), group) == 0)
                std::printf("  %-24s real %9.1f vs %9.1f ratio %.3f   cpu %9.1f vs %9.1f ratio %.3f\n",
                            peerName.c_str(), peer.real, qorx.real, peer.real / qorx.real, peer.cpu, qorx.cpu,
                            peer.cpu / qorx.cpu);
        }
    }
    std::fflush(stdout);
}
