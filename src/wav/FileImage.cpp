#include "wav/FileImage.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

namespace wav {

FileImage::FileImage(FileImage&& other) noexcept {
    *this = std::move(other);
}

FileImage& FileImage::operator=(FileImage&& other) noexcept {
    if (this != &other) {
        Clear();
        copy_ = std::move(other.copy_);
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappingSize_ = std::exchange(other.mappingSize_, 0);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

FileImage::~FileImage() {
    Clear();
}

void FileImage::Clear() {
    if (mapping_ != nullptr) ::munmap(mapping_, mappingSize_);
    mapping_ = nullptr;
    mappingSize_ = 0;
    copy_.reset();
    data_ = nullptr;
    size_ = 0;
}

void FileImage::Assign(std::span<const std::uint8_t> bytes) {
    Clear();
    if (bytes.empty()) return;
    copy_.reset(new std::uint8_t[bytes.size()]);
    std::memcpy(copy_.get(), bytes.data(), bytes.size());
    data_ = copy_.get();
    size_ = bytes.size();
}

FileImage::Status FileImage::Take(int fd, std::uint64_t size, bool map) {
    Clear();
    if (size == 0) return Status::Ok;
    if (size > static_cast<std::uint64_t>(static_cast<std::size_t>(-1) / 2)) return Status::NoMemory;
    const auto bytes = static_cast<std::size_t>(size);
    if (map) {
        // Populated at once: the resampler reads every page, and one pass of the kernel is cheaper than a
        // fault per page.
        void* m = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (m != MAP_FAILED) {
            mapping_ = m;
            mappingSize_ = bytes;
            data_ = static_cast<const std::uint8_t*>(m);
            size_ = bytes;
            return Status::Ok;
        }
        // Not mappable (a pipe, a special file): read it instead.
    }
    // No zero fill: the read overwrites every byte kept.
    copy_.reset(new (std::nothrow) std::uint8_t[bytes]);
    if (!copy_) return Status::NoMemory;
    std::size_t got = 0;
    while (got < bytes) {
        const ssize_t n = ::read(fd, copy_.get() + got, bytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Clear();
            return Status::ReadError;
        }
        if (n == 0) break; // the file became shorter
        got += static_cast<std::size_t>(n);
    }
    data_ = copy_.get();
    size_ = got;
    return Status::Ok;
}

} // namespace wav
