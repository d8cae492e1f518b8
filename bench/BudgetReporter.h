#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velka {

// Prints the console table as usual, keeps each action's mean wall time per iteration, and
// afterwards holds every action against the budget that budgetFor gives its name.
class BudgetReporter final : public benchmark::ConsoleReporter {
public:
    explicit BudgetReporter(std::function<double(const std::string& name)> budgetFor)
        : budgetFor_(std::move(budgetFor))
    {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred)
                milliseconds_[run.benchmark_name()] =
                    run.real_accumulated_time * 1e3 / static_cast<double>(run.iterations);
        }
    }

    // The mean wall time of the action of that name in milliseconds; 0 when it did not run.
    double milliseconds(const std::string& name) const
    {
        const auto found = milliseconds_.find(name);
        return found == milliseconds_.end() ? 0.0 : found->second;
    }

    // True when every action is within its budget.
    bool checkBudgets() const
    {
        bool within = true;
        std::printf("\nBudgets (wall time per action):\n");
        for (const auto& [name, ms] : milliseconds_) {
            const double budget = budgetFor_(name);
            const bool ok = ms <= budget;
            within &= ok;
            std::printf("  %-46s %9.3f ms  budget %5.0f ms  %s\n", name.c_str(), ms, budget,
                        ok ? "within" : "OVER BUDGET");
        }
        return within;
    }

private:
    std::function<double(const std::string&)> budgetFor_;
    std::map<std::string, double> milliseconds_;
};

} // namespace velka
