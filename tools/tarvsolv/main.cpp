// tarvsolv: the solver program the add-on starts as `tarvsolv "<job>.txt" "0"`. It reads the solver
// input, the mesh and the result file the add-on started, solves, and appends the result blocks.
// Progress goes to the console and to "<job>.slog"; a model that cannot be solved ends with a
// message and exit code 1.
//
// Extra options for scripts and tests: --solver PCG|MF overrides the "CurrentSolver" setting,
// --quiet keeps the console silent. PETSc options (-ksp_monitor, ...) pass through.
//
// When the "SolverProcesses" setting asks for more than one process, the program starts itself
// again under mpiexec with that many (across the machines of "SolverHostFile" when it names one),
// so that whoever started it, the add-on included, need not know.
#include <fcntl.h>
#include <malloc.h>
#include <slepcsys.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/malloc_tunables.h"
#include "base/quiet_wait.h"
#include "physics/job.h"
#include "platform/settings_store.h"
#include "solver_run.h"

namespace {

constexpr const char* kValuesKey = "Software\\Tarvenic\\Tarvenic";

// Settings read only as the program loads: OpenBLAS's thread count (BLAS threads fight the solver's
// own work) and the C library's tunable that puts large blocks on huge pages (base/malloc_tunables.h).
// When either is missing, the program starts itself again once with both set.
void restartWithLoadTimeSettings(char** argv) {
    bool missing = false;
    if (!std::getenv("OPENBLAS_NUM_THREADS")) {
        setenv("OPENBLAS_NUM_THREADS", "1", 1);
        missing = true;
    }
    if (const auto tunables = tarvsolv::tunablesWithHugePages(std::getenv("GLIBC_TUNABLES"))) {
        setenv("GLIBC_TUNABLES", tunables->c_str(), 1);
        missing = true;
    }
    if (!missing) return;
    // By the program's own path, not /proc/self/exe: the process keeps its name (ps, top, pgrep).
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return;
    self[length] = '\0';
    execv(self, argv);  // returns only on failure: then go on as we are
}

// A library PETSc loads (SuperLU_DIST) turns off, as it is loaded, the C library's return of freed
// memory to the system: no large block is mapped on its own (M_MMAP_MAX 0) and the heap is never
// trimmed. Every array the solver frees (the assembly's blocks, the stiffness before the results)
// then stays in the process for good, and each stage's peak adds to the last. Large blocks go back
// to being mapped on their own and returned when freed, and the heap's free top trimmed, as the
// C library does by default; the threshold of 1 MB keeps the many small PETSc objects on the heap.
void returnFreedMemoryToTheSystem() {
    mallopt(M_MMAP_MAX, 65536);
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 2 << 20);
}

std::string setting(const char* name, const char* otherwise = "") {
    const auto value = platform::settingsStore().readValue(platform::Hive::CurrentUser, kValuesKey, name);
    return value ? *value : otherwise;
}

// Set for the processes mpiexec starts, so that they do not start again themselves.
constexpr const char* kStartedUnderMpi = "TARVSOLV_UNDER_MPI";

bool startedByMpiLauncher() {
    for (const char* name : {kStartedUnderMpi, "OMPI_COMM_WORLD_SIZE", "PMI_SIZE", "PMIX_RANK"})
        if (std::getenv(name)) return true;
    return false;
}

// The solver input named on the command line: the first argument, unless it is an option.
std::string inputPathOf(int argc, char** argv) {
    return argc > 1 && argv[1][0] != '-' ? argv[1] : "";
}

pid_t launcher = 0;  // mpiexec while it runs, so that a signal to this process reaches its processes

void passSignalOn(int signal) {
    if (launcher > 0) kill(launcher, signal);
}

// The first line of mpiexec's message that says something (Open MPI frames its messages in
// lines of dashes), shortened for the log.
std::string firstWords(const std::string& message) {
    std::size_t at = 0;
    while (at < message.size()) {
        const std::size_t end = std::min(message.find('\n', at), message.size());
        const std::string line = message.substr(at, end - at);
        if (line.find_first_not_of("- \t\r") != std::string::npos) return line.substr(0, 200);
        at = end + 1;
    }
    return "no message";
}

// Runs mpiexec with `words`, its error output passed on to ours and kept; returns its exit status
// (128 + the signal when one ended it), and -1 with `message` the reason when it cannot start.
int runLauncher(std::vector<std::string>& words, std::string& message) {
    std::vector<char*> args;
    for (std::string& word : words) args.push_back(word.data());
    args.push_back(nullptr);
    // `errors` carries mpiexec's error output; `failed`, closed by a successful exec, the errno of
    // one that fails.
    int errors[2], failed[2];
    if (pipe(errors) != 0 || pipe2(failed, O_CLOEXEC) != 0) return message = std::strerror(errno), -1;
    launcher = fork();
    if (launcher < 0) return message = std::strerror(errno), -1;
    if (launcher == 0) {
        dup2(errors[1], STDERR_FILENO);
        close(errors[0]), close(errors[1]), close(failed[0]);
        execvp("mpiexec", args.data());
        const int why = errno;
        (void)!write(failed[1], &why, sizeof why);
        _exit(127);
    }
    close(errors[1]), close(failed[1]);
    int why = 0;
    const bool execFailed = read(failed[0], &why, sizeof why) == static_cast<ssize_t>(sizeof why);
    close(failed[0]);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, passSignalOn);
    char buffer[4096];
    for (ssize_t got; (got = read(errors[0], buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) break;
        message.append(buffer, static_cast<std::size_t>(got));
        (void)!write(STDERR_FILENO, buffer, static_cast<std::size_t>(got));
    }
    close(errors[0]);
    int status = 0;
    while (waitpid(launcher, &status, 0) < 0 && errno == EINTR) {
    }
    launcher = 0;
    if (execFailed) return message = std::strerror(why), -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs the program again under mpiexec when the settings ask for several processes, and ends
// with its exit status once the processes have run. Returns only when they have not: with nothing
// to say (one process asked for), or with the reason mpiexec could not start them (not found, a
// host file it refuses, a machine it cannot reach); the run then goes on in this one process, and
// its log says why.
std::string restartUnderMpi(int argc, char** argv) {
    if (startedByMpiLauncher()) return {};
    const std::string count = setting("SolverProcesses");
    const int processes = std::atoi(count.c_str());
    if (processes <= 1) return {};
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "cannot find the solver program to start it on " + count + " processes";
    self[length] = '\0';
    std::vector<std::string> words{"mpiexec", "-n", count, "--stdin", "none"};
    if (const std::string hosts = setting("SolverHostFile"); !hosts.empty())
        words.insert(words.end(), {"--hostfile", hosts});
    else
        words.emplace_back("--oversubscribe");  // more processes than this machine's cores still run
    words.emplace_back(self);
    words.insert(words.end(), argv + 1, argv + argc);
    setenv(kStartedUnderMpi, "1", 1);
    // Open MPI refuses to start as root unless told so; a container's root account is common here.
    if (geteuid() == 0) {
        setenv("OMPI_ALLOW_RUN_AS_ROOT", "1", 0);
        setenv("OMPI_ALLOW_RUN_AS_ROOT_CONFIRM", "1", 0);
    }
    // The first process writes the log as it starts: a log that is still missing when mpiexec has
    // ended says that the processes never ran.
    const std::string input = inputPathOf(argc, argv);
    const std::string logPath = input.empty() ? "" : tarvsolv::pathStem(input) + ".slog";
    if (!logPath.empty()) std::remove(logPath.c_str());
    std::string message;
    const int status = runLauncher(words, message);
    unsetenv(kStartedUnderMpi);
    if (status == 0 || (status > 0 && !logPath.empty() && access(logPath.c_str(), F_OK) == 0))
        std::exit(status);
    if (status < 0)
        return "the settings ask for " + count + " solver processes, but mpiexec cannot be started (" +
               message + "): solving on one process";
    return "mpiexec could not start the " + count + " solver processes (exit status " +
           std::to_string(status) + ": " + firstWords(message) + "): solving on one process";
}

int usage() {
    std::fprintf(stderr, "usage: tarvsolv <job>.txt [0] [--solver PCG|MF] [--quiet] [PETSc options]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    returnFreedMemoryToTheSystem();
    restartWithLoadTimeSettings(argv);
    const std::string mpiNote = restartUnderMpi(argc, argv);
    std::vector<char*> petscArgs{argv[0]};
    std::string input, solver;
    bool quiet = false;
    // The input path first, then the add-on's "0", which carries nothing; everything else that is not
    // ours goes to PETSc with its values.
    int first = 1;
    input = inputPathOf(argc, argv);
    if (!input.empty()) first = 2;
    if (first == 2 && argc > 2 && std::strcmp(argv[2], "0") == 0) first = 3;
    for (int i = first; i < argc; ++i) {
        if (std::strcmp(argv[i], "--solver") == 0 && i + 1 < argc)
            solver = argv[++i];
        else if (std::strcmp(argv[i], "--quiet") == 0)
            quiet = true;
        else
            petscArgs.push_back(argv[i]);
    }
    if (input.empty()) return usage();
    int petscArgc = static_cast<int>(petscArgs.size());
    petscArgs.push_back(nullptr);
    char** petscArgv = petscArgs.data();
    if (SlepcInitialize(&petscArgc, &petscArgv, nullptr, nullptr) != 0) {
        std::fprintf(stderr, "tarvsolv: cannot start PETSc/SLEPc\n");
        return 1;
    }
    PetscPushErrorHandler(PetscReturnErrorHandler, nullptr);
    int rank = 0, size = 1;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    MPI_Comm_size(PETSC_COMM_WORLD, &size);
    int status = 0;
    {
        tarvsolv::RunLog log(tarvsolv::pathStem(input) + ".slog", !quiet, rank == 0);
        try {
            if (!mpiNote.empty()) log.warning(mpiNote);
            if (solver.empty()) solver = setting("CurrentSolver", "PCG");
            log.line("tarvsolv " + input + " (solver " + solver + ", " + std::to_string(size) + " process" +
                     (size > 1 ? "es)" : ")"));
            tarvsolv::runSolverJob(input, tarvsolv::solverChoiceFor(solver), log);
            // The first process writes the results alone; the others sleep until it is done.
            if (size > 1) tarvsolv::waitForAll(PETSC_COMM_WORLD);
        } catch (const std::exception& e) {
            log.line(std::string("error: ") + e.what());
            if (rank == 0) std::fprintf(stderr, "tarvsolv: %s\n", e.what());
            status = 1;
            if (size > 1) MPI_Abort(PETSC_COMM_WORLD, 1);
        }
    }
    SlepcFinalize();
    return status;
}
