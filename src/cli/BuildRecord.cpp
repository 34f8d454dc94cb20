#include "cli/BuildRecord.h"

#include "base/WholeFile.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace cli {

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

std::uint64_t Fnv(std::uint64_t h, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ p[i]) * kFnvPrime;
    return h;
}

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// JSON string text: quotes, backslashes and control characters escaped; other bytes as they are.
std::string Quoted(const std::string& text) {
    std::string q = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            q += '\\';
            q += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            q += esc;
        } else {
            q += c;
        }
    }
    return q + "\"";
}

// Reads the JSON this file writes: objects whose values are strings or objects.
class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    bool String(std::string& out) {
        Space();
        if (!Take('"')) return false;
        out.clear();
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\') {
                if (at_ >= text_.size()) return false;
                c = text_[at_++];
                if (c == 'u') {
                    if (at_ + 4 > text_.size()) return false;
                    unsigned value = 0;
                    if (std::sscanf(text_.substr(at_, 4).c_str(), "%4x", &value) != 1 || value > 0x7F)
                        return false;
                    at_ += 4;
                    c = static_cast<char>(value);
                } else if (c != '"' && c != '\\' && c != '/') {
                    return false;
                }
            }
            out += c;
        }
        return Take('"');
    }

    // Calls member(key) for each member of an object; false when the text is not one or member fails.
    template <typename F> bool Object(F member) {
        Space();
        if (!Take('{')) return false;
        Space();
        if (Take('}')) return true;
        for (;;) {
            std::string key;
            if (!String(key)) return false;
            Space();
            if (!Take(':') || !member(key)) return false;
            Space();
            if (Take('}')) return true;
            if (!Take(',')) return false;
        }
    }

    bool StringMap(std::map<std::string, std::string>& out) {
        return Object([&](const std::string& key) { return String(out[key]); });
    }

    bool AtEnd() {
        Space();
        return at_ == text_.size();
    }

private:
    void Space() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool Take(char c) {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

void WriteMap(std::string& out, const char* name, const std::map<std::string, std::string>& map, bool last) {
    out += "      " + Quoted(name) + ": {";
    bool first = true;
    for (const auto& [path, content] : map) {
        out += (first ? "\n" : ",\n") + std::string(8, ' ') + Quoted(path) + ": " + Quoted(content);
        first = false;
    }
    out += first ? "}" : "\n      }";
    out += last ? "\n" : ",\n";
}

} // namespace

std::optional<std::string> ContentOf(const std::string& path) {
    base::InputFile file;
    if (file.Open(path) != base::ReadStatus::Ok) return std::nullopt;
    std::vector<char> buffer(1 << 16);
    std::uint64_t h = kFnvOffset;
    std::uint64_t offset = 0;
    for (;;) {
        const long long n = file.ReadAt(offset, buffer.data(), buffer.size());
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        h = Fnv(h, buffer.data(), static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return std::to_string(offset) + ":" + Hex(h);
}

std::string KeyOf(const std::string& version, const std::string& table,
                  const std::vector<std::string>& words) {
    std::uint64_t h = kFnvOffset;
    // Each word ends in a zero byte, so that ("ab", "c") and ("a", "bc") differ.
    for (const std::string* w : {&version, &table})
        h = Fnv(h, w->c_str(), w->size() + 1);
    for (const std::string& w : words)
        h = Fnv(h, w.c_str(), w.size() + 1);
    return Hex(h);
}

std::string RecordText(const std::string& version, const BuildRecord& record) {
    std::string out = "{\n  \"tavix\": " + Quoted(version) + ",\n  \"jobs\": {";
    bool first = true;
    for (const auto& [name, job] : record) {
        out += (first ? "\n" : ",\n") + std::string(4, ' ') + Quoted(name) + ": {\n";
        out += "      \"key\": " + Quoted(job.key) + ",\n";
        WriteMap(out, "inputs", job.inputs, false);
        WriteMap(out, "outputs", job.outputs, true);
        out += "    }";
        first = false;
    }
    out += first ? "}\n}\n" : "\n  }\n}\n";
    return out;
}

std::optional<BuildRecord> ParseRecord(const std::string& text) {
    BuildRecord record;
    Reader r(text);
    const bool ok = r.Object([&](const std::string& key) {
        if (key == "tavix") {
            std::string version;
            return r.String(version);
        }
        if (key != "jobs") return false;
        return r.Object([&](const std::string& name) {
            JobRecord& job = record[name];
            return r.Object([&](const std::string& field) {
                if (field == "key") return r.String(job.key);
                if (field == "inputs") return r.StringMap(job.inputs);
                if (field == "outputs") return r.StringMap(job.outputs);
                return false;
            });
        });
    });
    if (!ok || !r.AtEnd()) return std::nullopt;
    return record;
}

} // namespace cli
