#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace base {

// An output file of the tool. In Text mode every "\n" written becomes CR LF, the line end of every text file
// the tool writes; in Binary mode the bytes go out exactly as given.
//
// Writes are buffered. A file that could not be created is not open: writing to it is a programming error
// (it asserts in debug builds and writes nothing). Close() reports whether every byte reached the file.
class OutputFile final {
public:
    enum class Mode { Text, Binary };

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    ~OutputFile(); // closes without reporting

    // Creates (or replaces) the file. Returns false, leaving the object closed, when it cannot.
    bool Create(const std::string& path, Mode mode);
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    void Write(std::string_view text);
    void Put(std::uint8_t byte);
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Flushes and closes; false when any write failed. Closing a closed file returns true.
    bool Close();

private:
    void Flush();
    void Append(const char* data, size_t size);

    std::FILE* file_ = nullptr;
    Mode mode_ = Mode::Binary;
    std::string path_;
    std::string buffer_;
    bool failed_ = false;
};

} // namespace base
