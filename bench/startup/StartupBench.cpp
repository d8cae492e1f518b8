// Start-up and idle cost of the real program against the floor that Qt itself sets on the same
// machine, in the same run. Each program is started as a child process; the runs of the program
// and of its bare counterpart alternate, so that a change in the machine's load falls on both.
//
//   velka-startup-bench [--runs N] [--idle-runs N] [--idle-seconds S]
//                       [--only startup|idle|projector]
//
// The children are found beside this executable. The platform is the one QT_QPA_PLATFORM names,
// or offscreen when neither it nor DISPLAY is set. The program keeps its tournament in a data
// folder of the bench's own (XDG_DATA_HOME), never in the user's. Exits with 1 when a budget is
// missed.
//
// The start-up is measured twice: the normal start, where the last run closed and took its lock
// with it, and the start over a stale lock, which a killed or crashed run leaves behind (as every
// run of the probe does: it ends the process at its first paint). Both are held to the budget.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct ChildRun {
    std::string output;
    long maxResidentKiB = 0;
    long long startedAt = 0; // monotonic ns, just before the spawn
    bool ok = false;
};

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

struct Child {
    pid_t pid = 0;
    int output = -1; // read end of the child's standard output
    long long startedAt = 0;
};

std::optional<Child> startChild(const std::filesystem::path& program,
                                const std::vector<std::string>& args)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);

    std::vector<std::string> words{program.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    Child child;
    child.startedAt = monotonicNanoseconds();
    const int spawned = posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return std::nullopt;
    }
    child.output = pipeEnds[0];
    return child;
}

// Reads the child's output to its end and waits for it.
ChildRun finishChild(const Child& child)
{
    ChildRun run;
    run.startedAt = child.startedAt;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(child.output, buffer, sizeof buffer)) > 0)
        run.output.append(buffer, static_cast<std::size_t>(got));
    close(child.output);

    int status = 0;
    rusage usage{};
    wait4(child.pid, &status, 0, &usage);
    run.maxResidentKiB = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

ChildRun runChild(const std::filesystem::path& program, const std::vector<std::string>& args = {})
{
    const auto child = startChild(program, args);
    return child ? finishChild(*child) : ChildRun{};
}

// The number after `key` in a child's output.
std::optional<long long> valueAfter(const std::string& output, const std::string& key)
{
    const auto at = output.find(key + ' ');
    if (at == std::string::npos)
        return std::nullopt;
    return std::atoll(output.c_str() + at + key.size() + 1);
}

struct Spread {
    double median;
    double low;
    double high;
};

Spread spreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

void printRow(const char* what, const char* unit, const Spread& s)
{
    std::printf("  %-34s median %9.2f %-4s (min %9.2f, max %9.2f)\n", what, s.median, unit, s.low,
                s.high);
}

bool verdict(const char* what, double measured, double budget, const char* unit)
{
    const bool within = measured <= budget;
    std::printf("  %-34s %9.2f %s, budget %9.2f %s: %s\n", what, measured, unit, budget, unit,
                within ? "within" : "OVER BUDGET");
    return within;
}

struct Programs {
    std::filesystem::path program;
    std::filesystem::path bareWindow;
    std::filesystem::path bareTextWindow;
    std::filesystem::path timerWindow;
    std::filesystem::path bareLabel;
    std::filesystem::path projector;
    std::filesystem::path bareFullScreenLabel;
};

// Start-up of the program against one floor program, `runs` alternating pairs after a pair that
// only warms the caches; `beforeProgram` runs before each start of the program. With budget, the
// program is held to it; without, the figures are only reported.
struct StartupBudget {
    double time;      // times the floor, the median of the pairs' ratios
    double memory;    // times the floor's median...
    double memoryMiB; // ...plus this
};
bool measureStartup(const std::filesystem::path& program, const std::filesystem::path& floor,
                    const char* floorName, const char* how, int runs,
                    const std::function<void()>& beforeProgram, std::optional<StartupBudget> budget)
{
    std::vector<double> programMs, bareMs, programMiB, bareMiB;
    for (int i = 0; i <= runs; ++i) {
        // ABBA order.
        const bool bareFirst = i % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool bare = (turn == 0) == bareFirst;
            if (!bare)
                beforeProgram();
            const ChildRun run = runChild(bare ? floor : program);
            const auto painted = valueAfter(run.output, "first-paint");
            if (!run.ok || !painted) {
                std::fprintf(stderr, "%s did not report its first paint\n",
                             (bare ? floor : program).c_str());
                return false;
            }
            if (i == 0)
                continue;
            (bare ? bareMs : programMs)
                .push_back(static_cast<double>(*painted - run.startedAt) / 1e6);
            (bare ? bareMiB : programMiB)
                .push_back(static_cast<double>(run.maxResidentKiB) / 1024.0);
        }
    }
    const Spread programTime = spreadOf(programMs), bare = spreadOf(bareMs);
    const Spread programMemory = spreadOf(programMiB), bareMemory = spreadOf(bareMiB);
    std::printf("Start-up to the first paint, %s, against the %s, %d runs each:\n", how, floorName,
                runs);
    printRow("velka-tablewright", "ms", programTime);
    printRow(floorName, "ms", bare);
    printRow("velka-tablewright peak memory", "MiB", programMemory);
    printRow("floor's peak memory", "MiB", bareMemory);
    // Each run of the program against the floor's run beside it: the two saw the same state of
    // the machine, which moves more between pairs than the program differs from the floor.
    std::vector<double> pairRatios;
    for (std::size_t i = 0; i < programMs.size(); ++i)
        pairRatios.push_back(programMs[i] / bareMs[i]);
    const Spread ratio = spreadOf(pairRatios);
    std::printf("  ratio program/floor: time %.3f, memory %.3f\n", programTime.median / bare.median,
                programMemory.median / bareMemory.median);
    printRow("time ratio, per pair", "x", ratio);
    if (!budget)
        return true;
    bool within = verdict("start-up / floor, per pair", ratio.median, budget->time, "x");
    within &= verdict("peak memory", programMemory.median,
                      budget->memory * bareMemory.median + budget->memoryMiB, "MiB");
    return within;
}

// The two idle programs run side by side, one pair at a time, so that both see the same state of
// the machine; the budget is held against the median of the pairs' ratios.
bool measureIdlePair(const std::filesystem::path& programPath,
                     const std::vector<std::string>& programArgs,
                     const std::filesystem::path& barePath,
                     const std::vector<std::string>& bareArgs, const char* programName,
                     const char* bareName, int runs, int seconds)
{
    std::vector<double> programMs, bareMs, ratios;
    for (int i = 0; i < runs; ++i) {
        const auto program = startChild(programPath, programArgs);
        const auto bare = startChild(barePath, bareArgs);
        const ChildRun programRun = program ? finishChild(*program) : ChildRun{};
        const ChildRun bareRun = bare ? finishChild(*bare) : ChildRun{};
        const auto programCpu = valueAfter(programRun.output, "idle-cpu");
        const auto bareCpu = valueAfter(bareRun.output, "idle-cpu");
        if (!programRun.ok || !programCpu || !bareRun.ok || !bareCpu) {
            std::fprintf(stderr, "an idle program did not report its CPU time\n");
            return false;
        }
        // CPU milliseconds per minute of ticking.
        programMs.push_back(static_cast<double>(*programCpu) / 1e6 * 60.0 / seconds);
        bareMs.push_back(static_cast<double>(*bareCpu) / 1e6 * 60.0 / seconds);
        ratios.push_back(programMs.back() / bareMs.back());
    }
    const Spread program = spreadOf(programMs), bare = spreadOf(bareMs), ratio = spreadOf(ratios);
    std::printf("Idle CPU time per minute, %d side-by-side runs of %d s each:\n", runs, seconds);
    printRow(programName, "ms", program);
    printRow(bareName, "ms", bare);
    printRow("ratio program/bare, per pair", "x", ratio);
    return verdict("idle CPU / bare", ratio.median, 1.2, "x");
}

bool measureIdle(const Programs& programs, int runs, int seconds)
{
    const std::vector<std::string> args{std::to_string(seconds)};
    return measureIdlePair(programs.timerWindow, args, programs.bareLabel, args,
                           "event timer window", "bare 100 ms label", runs, seconds);
}

// The projector view full screen against a bare full-screen label of the same font size.
bool measureProjectorIdle(const Programs& programs, int runs, int seconds, int width, int height)
{
    const std::string w = std::to_string(width), h = std::to_string(height);
    const ChildRun font = runChild(programs.projector, {"--font", w, h});
    const auto pixels = valueAfter(font.output, "font-pixels");
    if (!font.ok || !pixels) {
        std::fprintf(stderr, "the projector view did not report its font size\n");
        return false;
    }
    std::printf("Projector view at %d x %d, text %lld px:\n", width, height, *pixels);
    const std::string s = std::to_string(seconds);
    return measureIdlePair(programs.projector, {s, w, h}, programs.bareFullScreenLabel,
                           {s, w, h, std::to_string(*pixels)}, "projector view",
                           "bare full-screen label", runs, seconds);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 20;
    int idleRuns = 5;
    int idleSeconds = 20;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--idle-runs")
            idleRuns = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--idle-seconds")
            idleSeconds = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--only")
            only = argv[i + 1];
        else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string runtimeDirectory = "/tmp/velka-bench-XXXXXX";
    if (!std::getenv("XDG_RUNTIME_DIR") && mkdtemp(runtimeDirectory.data()))
        setenv("XDG_RUNTIME_DIR", runtimeDirectory.c_str(), 1);
    std::string dataDirectory = "/tmp/velka-bench-data-XXXXXX";
    if (!mkdtemp(dataDirectory.data())) {
        std::perror("a data folder for the program");
        return 2;
    }
    setenv("XDG_DATA_HOME", dataDirectory.c_str(), 1);
    const std::filesystem::path lock =
        std::filesystem::path(dataDirectory) / "velka-tablewright" / "last.velka.lock";

    const auto here = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const Programs programs{here / "velka-tablewright-probe",   here / "bare-window-probe",
                            here / "bare-text-window-probe",    here / "timer-window-idle",
                            here / "bare-label-idle",           here / "projector-idle",
                            here / "bare-fullscreen-label-idle"};
    std::printf("Platform: %s\n",
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "xcb");
    bool within = true;
    if (only.empty() || only == "startup") {
        const auto normalStart = [&lock] { std::filesystem::remove(lock); };
        const auto staleLock = [&lock, &programs] {
            // The probe's run before left its lock; the first start makes one.
            if (!std::filesystem::exists(lock))
                runChild(programs.program);
        };
        // The floor of any window that shows text: its first text pays for the font set-up.
        constexpr StartupBudget budget{1.00, 1.15, 8};
        within &=
            measureStartup(programs.program, programs.bareTextWindow, "bare Qt window with text",
                           "normal start", runs, normalStart, budget);
        within &=
            measureStartup(programs.program, programs.bareTextWindow, "bare Qt window with text",
                           "over a stale lock", runs, staleLock, budget);
        // For information: what the font set-up costs against a window that paints no text.
        measureStartup(programs.program, programs.bareWindow, "bare Qt window", "normal start",
                       runs, normalStart, std::nullopt);
    }
    if (only.empty() || only == "idle")
        within &= measureIdle(programs, idleRuns, idleSeconds);
    if (only.empty() || only == "projector") {
        within &= measureProjectorIdle(programs, idleRuns, idleSeconds, 1920, 1080);
        within &= measureProjectorIdle(programs, idleRuns, idleSeconds, 3840, 2160);
    }
    std::filesystem::remove_all(dataDirectory);
    return within ? 0 : 1;
}
