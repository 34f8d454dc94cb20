// Feeds arbitrary files to the build's two readers: the project file (every job it accepts is one its
// command's parser takes, with a name and a line) and the build record (what it reads, written again, reads
// back the same).
#include "FuzzWorkDir.h"
#include "cli/BuildProject.h"
#include "cli/BuildRecord.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto record = cli::ParseRecord(text)) {
        const auto again = cli::ParseRecord(cli::RecordText("0", *record));
        if (!again || again->size() != record->size()) std::abort();
        for (const auto& [name, job] : *record) {
            const auto it = again->find(name);
            if (it == again->end() || it->second.key != job.key || it->second.inputs != job.inputs ||
                it->second.outputs != job.outputs)
                std::abort();
        }
    }

    const std::string path = FuzzWorkDir() + "/tavix.toml";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        const cli::BuildProject project = cli::LoadProject(path);
        for (const cli::BuildJob& job : project.jobs)
            if (job.name.empty() || job.line == 0 || !job.command || job.args.size() != job.keyArgs.size())
                std::abort();
    } catch (const cli::ProjectError& e) {
        if (e.lines.empty()) std::abort();
    }
    return 0;
}
