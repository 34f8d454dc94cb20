#include "base/OutputFile.h"

#include "base/Format.h"

#include <cassert>
#include <cstdarg>
#include <cstring>
#include <utility>

namespace base {

namespace {
constexpr size_t kBufferSize = 1 << 16;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), mode_(other.mode_), path_(std::move(other.path_)),
      buffer_(std::move(other.buffer_)), failed_(other.failed_) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::exchange(other.file_, nullptr);
        mode_ = other.mode_;
        path_ = std::move(other.path_);
        buffer_ = std::move(other.buffer_);
        failed_ = other.failed_;
    }
    return *this;
}

OutputFile::~OutputFile() {
    Close();
}

bool OutputFile::Create(const std::string& path, Mode mode) {
    Close();
    path_ = path;
    mode_ = mode;
    failed_ = false;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

void OutputFile::Append(const char* data, size_t size) {
    buffer_.append(data, size);
    if (buffer_.size() >= kBufferSize) Flush();
}

void OutputFile::Write(std::string_view text) {
    assert(file_ && "write to an output file that is not open");
    if (!file_) return;
    if (mode_ == Mode::Binary) {
        Append(text.data(), text.size());
        return;
    }
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            Append(text.data() + start, i - start);
            Append("\r\n", 2);
            start = i + 1;
        }
    }
    Append(text.data() + start, text.size() - start);
}

void OutputFile::Put(std::uint8_t byte) {
    const char c = static_cast<char>(byte);
    Write(std::string_view(&c, 1));
}

void OutputFile::Printf(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const std::string text = vstrprintf(format, args);
    va_end(args);
    Write(text);
}

void OutputFile::Flush() {
    if (!file_ || buffer_.empty()) return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
}

bool OutputFile::Close() {
    if (!file_) return true;
    Flush();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

} // namespace base
