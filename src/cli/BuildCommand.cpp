#include "base/FileLog.h"
#include "base/FileProblem.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"
#include "cli/BuildProject.h"
#include "cli/BuildRecord.h"
#include "cli/Commands.h"
#include "settings/AppIdentity.h"

#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <mutex>
#include <ostream>
#include <set>
#include <sstream>
#include <thread>

namespace cli {

namespace {

constexpr const char* kDefaultProject = "tavix.toml";
constexpr const char* kRecordName = ".tavix-build.json";
constexpr std::size_t kMaxRecordBytes = 64u << 20;

struct BuildOptions {
    std::string project = kDefaultProject;
    unsigned jobs = 0; // 0: the number of cores
    bool check = false;
    bool dryRun = false;
    bool force = false;
    std::vector<std::string> targets;
};

BuildOptions ParseBuildArgs(const std::vector<std::string>& args) {
    BuildOptions o;
    bool haveProject = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-j" || a == "--jobs") {
            o.jobs = static_cast<unsigned>(Number(ValueOf(args, i), 1, 256, a));
        } else if (a.rfind("-j", 0) == 0 && a.size() > 2 && a[2] != '-') {
            o.jobs = static_cast<unsigned>(Number(a.substr(2), 1, 256, "-j"));
        } else if (a == "--check") {
            o.check = true;
        } else if (a == "--dry-run") {
            o.dryRun = true;
        } else if (a == "--force") {
            o.force = true;
        } else if (a.rfind("-", 0) == 0) {
            throw UsageError{"build: unknown option '" + a + "'"};
        } else if (!haveProject && a.size() > 5 && a.compare(a.size() - 5, 5, ".toml") == 0) {
            o.project = a;
            haveProject = true;
        } else {
            o.targets.push_back(a);
        }
    }
    if (o.check && o.dryRun) throw UsageError{"build takes --check or --dry-run, not both"};
    if (o.check && o.force) throw UsageError{"--force builds: it does not go with --check"};
    return o;
}

// A job's files as the record names them: relative to the project's folder where they lie in it (a job
// may name a file by its full path, as the merge does), so that the record holds wherever the build starts.
std::string RecordPath(const std::string& folder, const std::string& path) {
    if (!path.empty() && path[0] == '/') {
        std::error_code ec;
        const std::string home =
            std::filesystem::absolute(folder.empty() ? "." : folder, ec).lexically_normal().generic_string();
        const std::string full = std::filesystem::path(path).lexically_normal().generic_string();
        if (!ec && !home.empty()) {
            const std::string prefix = home.back() == '/' ? home : home + "/";
            if (full.rfind(prefix, 0) == 0) return full.substr(prefix.size());
        }
        return path;
    }
    if (!folder.empty() && path.rfind(folder, 0) == 0) return path.substr(folder.size());
    return path;
}

class Build {
public:
    Build(const BuildProject& project, const BuildOptions& options, BuildRecord record, std::ostream& out,
          std::ostream& err)
        : project_(project), options_(options), record_(std::move(record)), out_(out), err_(err),
          outcomes_(project.jobs.size()) {
        SelectJobs();
    }

    // --check and --dry-run: what would run, in an order that puts a job after the jobs it needs.
    int Report() {
        std::size_t stale = 0;
        for (const std::size_t j : order_) {
            std::string why = options_.force ? "forced" : WhyStale(j);
            for (const std::size_t n : project_.jobs[j].needs)
                if (why.empty() && outcomes_[n] == Outcome::Stale)
                    why = "needs '" + project_.jobs[n].name + "'";
            outcomes_[j] = why.empty() ? Outcome::UpToDate : Outcome::Stale;
            if (why.empty()) {
                out_ << "up to date  " << project_.jobs[j].name << '\n';
            } else {
                ++stale;
                out_ << (options_.check ? "out of date " : "would run   ") << project_.jobs[j].name << " ("
                     << why << ")\n";
            }
        }
        out_ << stale << (options_.check ? " out of date, " : " to run, ") << order_.size() - stale
             << " up to date\n";
        return options_.check && stale > 0 ? kExitFailure : kExitOk;
    }

    int Run(unsigned threads) {
        for (const std::size_t j : order_)
            outcomes_[j] = Outcome::Waiting;
        std::vector<std::thread> workers;
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([this] { Work(); });
        for (std::thread& w : workers)
            w.join();

        std::size_t counts[static_cast<int>(Outcome::Unselected) + 1] = {};
        for (const std::size_t j : order_)
            ++counts[static_cast<int>(outcomes_[j])];
        out_ << counts[int(Outcome::Built)] << " built, " << counts[int(Outcome::UpToDate)] << " up to date, "
             << counts[int(Outcome::Failed)] << " failed, " << counts[int(Outcome::Skipped)] << " skipped\n";

        // The record keeps what is still true: jobs that are gone are dropped, a failed job is not done.
        BuildRecord next;
        for (const BuildJob& job : project_.jobs)
            if (const auto it = record_.find(job.name); it != record_.end())
                next.emplace(job.name, it->second);
        bool ok = counts[int(Outcome::Failed)] == 0;
        if (!SaveRecord(next)) ok = false;
        return ok ? kExitOk : kExitFailure;
    }

private:
    enum class Outcome { Built, UpToDate, Failed, Skipped, Waiting, Running, Stale, Unselected };

    // The targets and every job they need (all jobs without targets), in the order of the file with each
    // job after the jobs it needs.
    void SelectJobs() {
        const std::vector<BuildJob>& jobs = project_.jobs;
        std::vector<bool> wanted(jobs.size(), options_.targets.empty());
        for (const std::string& target : options_.targets) {
            const auto it =
                std::find_if(jobs.begin(), jobs.end(), [&](const BuildJob& j) { return j.name == target; });
            if (it == jobs.end())
                throw UsageError{"build: " + project_.path + " has no job named '" + target + "'"};
            wanted[static_cast<std::size_t>(it - jobs.begin())] = true;
        }
        std::vector<bool> placed(jobs.size(), false);
        std::function<void(std::size_t)> place = [&](std::size_t j) {
            if (placed[j]) return;
            placed[j] = true;
            for (const std::size_t n : jobs[j].needs)
                place(n);
            order_.push_back(j);
        };
        for (std::size_t j = 0; j < jobs.size(); ++j)
            outcomes_[j] = Outcome::Unselected;
        for (std::size_t j = 0; j < jobs.size(); ++j)
            if (wanted[j]) place(j);
    }

    // Why job j must run, from its record; "" when its record still holds.
    std::string WhyStale(std::size_t j) const {
        const auto it = record_.find(project_.jobs[j].name);
        return WhyStale(j, it == record_.end() ? std::nullopt : std::optional<JobRecord>(it->second));
    }
    std::string WhyStale(std::size_t j, const std::optional<JobRecord>& record) const {
        const BuildJob& job = project_.jobs[j];
        if (!record) return "not built yet";
        const JobRecord& r = *record;
        if (r.key != KeyOf(settings::AppVersion, job.table, job.keyArgs))
            return "its options or Tavix changed";
        for (const auto* files : {&r.inputs, &r.outputs})
            for (const auto& [path, content] : *files) {
                const auto now = ContentOf(base::ResolvePath(project_.folder, path));
                if (!now) return path + " is missing";
                if (*now != content) return path + " changed";
            }
        return {};
    }

    // The next job whose needs are all done, by the order; a job whose need failed is skipped on the way.
    void Work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            std::optional<std::size_t> next;
            bool waiting = false;
            for (const std::size_t j : order_) {
                if (outcomes_[j] != Outcome::Waiting) continue;
                bool ready = true;
                std::string failedNeed;
                for (const std::size_t n : project_.jobs[j].needs) {
                    if (outcomes_[n] == Outcome::Failed || outcomes_[n] == Outcome::Skipped)
                        failedNeed = project_.jobs[n].name;
                    else if (outcomes_[n] != Outcome::Built && outcomes_[n] != Outcome::UpToDate)
                        ready = false;
                }
                if (!failedNeed.empty()) {
                    outcomes_[j] = Outcome::Skipped;
                    out_ << "skipped     " << project_.jobs[j].name << " (needs '" << failedNeed
                         << "', which did not build)\n";
                    continue;
                }
                if (ready) {
                    next = j;
                    break;
                }
                waiting = true;
            }
            if (!next) {
                // Nothing left to start: the others may be waiting for what this thread just decided.
                if (!waiting) {
                    changed_.notify_all();
                    return;
                }
                changed_.wait(lock);
                continue;
            }
            outcomes_[*next] = Outcome::Running;
            lock.unlock();
            RunJob(*next);
            lock.lock();
            changed_.notify_all();
        }
    }

    // Runs job j on this thread, unless its record still holds; tells the outcome.
    void RunJob(std::size_t j) {
        const BuildJob& job = project_.jobs[j];
        // The record is read under the lock (other jobs write theirs meanwhile), the files outside it.
        std::optional<JobRecord> record;
        {
            std::lock_guard lock(mutex_);
            if (const auto it = record_.find(job.name); it != record_.end()) record = it->second;
        }
        const std::string why = options_.force ? "forced" : WhyStale(j, record);
        if (why.empty()) {
            std::lock_guard lock(mutex_);
            outcomes_[j] = Outcome::UpToDate;
            out_ << "up to date  " << job.name << '\n';
            return;
        }
        std::ostringstream jobOut, jobErr;
        base::FileLog log;
        int code = kExitFailure;
        {
            const base::FileLogScope scope(log);
            try {
                // The folders of the files it names are made first (a folder it writes into, it makes
                // itself), so that jobs can write into a tree the build makes.
                for (const std::string& output : job.outputs)
                    if (output.back() != '/' && output.find('/') != std::string::npos)
                        MakeOutputDirectory(output.substr(0, output.rfind('/')));
                code = job.command->run(job.args, jobOut, jobErr);
            } catch (const UsageError& e) {
                jobErr << e.message << '\n';
                code = kExitUsage;
            } catch (const std::exception& e) {
                jobErr << e.what() << '\n';
            } catch (...) {
                jobErr << "the job stopped with an error Tavix does not know\n";
            }
        }
        // What it read and wrote, as the files are now.
        JobRecord done;
        done.key = KeyOf(settings::AppVersion, job.table, job.keyArgs);
        const std::set<std::string> written(log.written.begin(), log.written.end());
        bool complete = true;
        for (const std::string& path : log.written)
            if (const auto content = ContentOf(path))
                done.outputs[RecordPath(project_.folder, path)] = *content;
            else
                complete = false;
        for (const std::string& path : log.read)
            if (!written.count(path)) {
                if (const auto content = ContentOf(path))
                    done.inputs[RecordPath(project_.folder, path)] = *content;
                else
                    complete = false;
            }

        std::lock_guard lock(mutex_);
        std::istringstream lines(jobErr.str());
        std::string first, line;
        std::getline(lines, first);
        if (code == kExitOk) {
            outcomes_[j] = Outcome::Built;
            out_ << "built       " << job.name << '\n';
            // A file that changed as it was recorded is checked again next time.
            if (complete)
                record_[job.name] = std::move(done);
            else
                record_.erase(job.name);
        } else {
            outcomes_[j] = Outcome::Failed;
            out_ << "failed      " << job.name << ": " << first << '\n';
            record_.erase(job.name);
        }
        // Everything the command said on its error stream, each line under the job's name.
        if (!first.empty()) err_ << job.name << ": " << first << '\n';
        while (std::getline(lines, line))
            err_ << job.name << ": " << line << '\n';
    }

    bool SaveRecord(const BuildRecord& record) {
        const std::string path = project_.folder + kRecordName;
        const std::string text = RecordText(settings::AppVersion, record);
        std::vector<std::uint8_t> old;
        if (base::ReadWholeFile(path, old, kMaxRecordBytes) == base::ReadStatus::Ok &&
            std::string(old.begin(), old.end()) == text)
            return true;
        base::FileProblem problem;
        if (base::WriteFileAtomically(path, text, &problem)) return true;
        err_ << "The build record was not saved: " << base::ProblemText(problem) << '\n';
        return false;
    }

    const BuildProject& project_;
    const BuildOptions& options_;
    BuildRecord record_;
    std::ostream& out_;
    std::ostream& err_;
    std::vector<Outcome> outcomes_;
    std::vector<std::size_t> order_;
    std::mutex mutex_;
    std::condition_variable changed_;
};

// The cores this process may run on (a container or `taskset` may allow fewer than the machine has).
unsigned Cores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

BuildRecord ReadRecord(const std::string& path, std::ostream& err) {
    std::vector<std::uint8_t> bytes;
    base::FileProblem problem;
    const base::ReadStatus status = base::ReadWholeFile(path, bytes, kMaxRecordBytes, &problem);
    if (status == base::ReadStatus::CannotOpen && !base::FileExists(path)) return {};
    if (status == base::ReadStatus::Ok)
        if (auto record = ParseRecord(std::string(bytes.begin(), bytes.end()))) return std::move(*record);
    err << path << " is not a build record Tavix can read: every job is taken as not built\n";
    return {};
}

int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const BuildOptions options = ParseBuildArgs(args);
    BuildProject project;
    try {
        project = LoadProject(options.project);
    } catch (const ProjectError& e) {
        for (const std::string& line : e.lines)
            err << line << '\n';
        err << "Nothing built: " << options.project << " has errors\n";
        return kExitUsage;
    }
    Build build(project, options, ReadRecord(project.folder + kRecordName, err), out, err);
    if (options.check || options.dryRun) return build.Report();
    return build.Run(options.jobs ? options.jobs : Cores());
}

} // namespace

const Command kBuildCommand{
    "build",
    {"build the jobs of a project file whose inputs, options or Tavix version changed",
     {{"",
       "[PROJECT.toml] [TARGET...]",
       "Run the jobs of the project file (default tavix.toml in the current folder) that changed since their "
       "last successful build, in the order of what they read and write, and print one line per job and a "
       "summary. A failed job keeps its old outputs and runs again next time; the jobs that read its outputs "
       "are skipped. TARGETs limit the build to those jobs and the jobs they need.",
       {{"-j", "N", "run N jobs at once, 1 to 256 (default: the cores the process may run on)"},
        {"--check", "", "build nothing; exit 1 when a job's outputs are missing or out of date"},
        {"--dry-run", "", "list the jobs that would run and build nothing"},
        {"--force", "", "run every job, changed or not"}},
       "toml"}},
     "Each job is a table of the project file with the options of its command, without their dashes; what "
     "each job last built from is kept in .tavix-build.json beside the project. A project with an unknown "
     "table or key, a value of the wrong type or out of range is refused with its file, line and key, and "
     "exit status 2, before anything runs.",
     {"tavix-cli build examples/project/tavix.toml -j 2"}},
    RunBuild};

} // namespace cli
