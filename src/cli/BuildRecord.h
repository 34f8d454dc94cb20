#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// What the build remembers of a job's last successful run: the key of its command line and the Tavix
// version, and the content of every file it read and wrote then ("SIZE:HASH" by path, as the project's
// folder names it).
struct JobRecord {
    std::string key;
    std::map<std::string, std::string> inputs;
    std::map<std::string, std::string> outputs;
};
using BuildRecord = std::map<std::string, JobRecord>; // by job name

// The content of a file as a record keeps it: its size and a 64-bit FNV-1a hash of its bytes; nullopt when
// it cannot be read (missing, not a regular file, a read error).
std::optional<std::string> ContentOf(const std::string& path);

// The key of a command line: the version and the words, hashed.
std::string KeyOf(const std::string& version, const std::string& table,
                  const std::vector<std::string>& words);

// The record as `.tavix-build.json` holds it, and back. ParseRecord returns nullopt for text that is not a
// record this writes (then every job is taken as never built).
std::string RecordText(const std::string& version, const BuildRecord& record);
std::optional<BuildRecord> ParseRecord(const std::string& text);

} // namespace cli
