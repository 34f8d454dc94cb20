#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace wav {

// The bytes of a whole file, held one of two ways. Read: a copy taken when the file is loaded, which stays
// as it was whatever later happens to the file (the window keeps an image for as long as the user works with
// it). Mapped: the file's pages mapped read-only, without a copy, for a job that is over in moments (a file
// cut short by another program while it is mapped would fault). Move-only; the bytes go with the object.
class FileImage final {
public:
    enum class Status { Ok, NoMemory, ReadError };

    FileImage() = default;
    FileImage(FileImage&& other) noexcept;
    FileImage& operator=(FileImage&& other) noexcept;
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;
    ~FileImage();

    // Takes the first `size` bytes of the open file fd, by copy or by mapping; a file that has since become
    // shorter gives the bytes it still has. On failure the image is empty. fd stays open and the caller's.
    Status Take(int fd, std::uint64_t size, bool map);
    // An image of the bytes given, copied (tests and tools that build images in memory).
    void Assign(std::span<const std::uint8_t> bytes);
    void Clear();

    std::span<const std::uint8_t> Bytes() const { return {data_, size_}; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

private:
    std::unique_ptr<std::uint8_t[]> copy_;
    void* mapping_ = nullptr;
    std::size_t mappingSize_ = 0;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace wav
