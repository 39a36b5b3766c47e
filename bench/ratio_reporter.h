#pragma once

// Prints the benchmarks as usual, then how many times faster each indexed
// operation ran than its baseline (the literal port, the obvious proxy model,
// or another baseline), how its time grew with the list, and, where the list
// alone did the same work, how many times the list's own time it took. Benchmarks are named
// "Operation/way/members", and may carry more after that, such as a fixed number of iterations.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration || failedOrSkipped(run)) {
                continue;
            }
            const std::string name = run.benchmark_name();
            const auto firstSlash = name.find('/');
            const auto secondSlash = name.find('/', firstSlash + 1);
            if (firstSlash == std::string::npos || secondSlash == std::string::npos) {
                continue;
            }
            const std::string operation = name.substr(0, firstSlash);
            const std::string way = name.substr(firstSlash + 1, secondSlash - firstSlash - 1);
            const long members = std::atol(name.c_str() + secondSlash + 1);
            nanoseconds_[{operation, members}][way] =
                run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-28s %8s %14s %14s %10s %14s %12s\n", "operation", "members", "indexed ns/op",
                    "baseline ns/op", "speed-up", "vs smallest", "vs list");
        std::map<std::string, double> smallest;
        for (const auto& [key, ways] : nanoseconds_) {
            const auto& [operation, members] = key;
            const auto indexed = ways.find("indexed");
            auto literal = ways.find("literal");
            for (const char* other : {"proxy", "baseline"}) { // where there is no literal port
                if (literal == ways.end()) {
                    literal = ways.find(other);
                }
            }
            const auto core = ways.find("core");
            if (indexed == ways.end()) {
                continue;
            }
            smallest.try_emplace(operation, indexed->second);
            const double literalTime = literal == ways.end() ? 0.0 : literal->second;
            std::printf("%-28s %8ld %14.1f %14.1f %9.2fx %13.2fx", operation.c_str(), members,
                        indexed->second, literalTime, literalTime / indexed->second,
                        indexed->second / smallest[operation]);
            if (core != ways.end()) {
                std::printf(" %11.2fx", indexed->second / core->second);
            }
            std::printf("\n");
        }
    }

private:
    // Google Benchmark 1.8 replaced a run's error_occurred with skipped.
    template <typename FinishedRun> static bool failedOrSkipped(const FinishedRun& run) {
        if constexpr (requires { run.skipped; }) {
            return static_cast<bool>(run.skipped);
        } else {
            return run.error_occurred;
        }
    }

    std::map<std::tuple<std::string, long>, std::map<std::string, double>> nanoseconds_;
};
