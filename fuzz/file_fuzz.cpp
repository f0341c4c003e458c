// Random sequences of buffered file operations (create, open for reading,
// ReadData, WriteData with lengths around the 4,096-byte buffer, reopening
// a number while its file is open, close) on a temporary file, against a
// model of the file's bytes and the logical position. After every close
// the bytes on disk must be the model's.

#include "fuzz_check.h"
#include "runtime/file.h"
#include "runtime/object_registry.h"
#include "runtime/toolkit_heap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::string fileName;

void RemoveTemporaryFile() {
    std::remove(fileName.c_str());
}

std::vector<std::uint8_t> BytesOnDisk() {
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    FUZZ_CHECK(file != nullptr);
    std::uint8_t chunk[8192];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return bytes;
}

enum class Mode { Closed, ReadWrite, ReadOnly };

class FileSession {
public:
    explicit FileSession(FuzzedDataProvider& input) : input_(input) {}

    FileSession(const FileSession&) = delete;
    FileSession& operator=(const FileSession&) = delete;

    void Run() {
        Open(true);
        for (int step = 0; step < 16 && input_.remaining_bytes() > 0; ++step) {
            Step();
        }
        Close();
    }

private:
    std::int32_t Length() {
        switch (input_.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return input_.ConsumeIntegralInRange<std::int32_t>(-2, 16);
        case 1:
            return input_.ConsumeIntegralInRange<std::int32_t>(4090, 4102);
        case 2:
            return input_.ConsumeIntegralInRange<std::int32_t>(8186, 8198);
        case 3:
            return input_.PickValueInArray({INT_MIN, -4096, -1});
        default:
            return input_.ConsumeIntegralInRange<std::int32_t>(0, 12000);
        }
    }

    // Opens the file for writing (emptying it) or for reading, under a
    // static number or AnyNumber. Opening the number that is open closes
    // its file first; any other open file is closed before.
    void Open(bool create) {
        const std::int32_t number = input_.PickValueInArray({0, 3, 17, rook::AnyNumber});
        if (mode_ != Mode::Closed && number != number_) {
            Close();
        }
        if (mode_ == Mode::ReadWrite) {
            disk_ = bytes_; // the implicit close writes out what is pending
        }
        const std::int64_t result = create ? rook::CreateFile(number, fileName.c_str())
                                           : rook::ReadFile(number, fileName.c_str());
        FUZZ_CHECK(result != 0);
        if (number == rook::AnyNumber) {
            FUZZ_CHECK(result < -1 && result >= INT_MIN);
            number_ = static_cast<std::int32_t>(result);
        } else {
            number_ = number;
        }
        if (create) {
            disk_.clear();
        }
        bytes_ = disk_;
        position_ = 0;
        mode_ = create ? Mode::ReadWrite : Mode::ReadOnly;
    }

    void Close() {
        if (mode_ == Mode::Closed) {
            return;
        }
        rook::CloseFile(number_);
        if (mode_ == Mode::ReadWrite) {
            disk_ = bytes_;
        }
        mode_ = Mode::Closed;
        FUZZ_CHECK(rook::FileSize(fileName.c_str()) == static_cast<std::int64_t>(disk_.size()));
        FUZZ_CHECK(BytesOnDisk() == disk_);
        // The number names nothing any more.
        std::uint8_t byte = 0;
        FUZZ_CHECK(rook::ReadData(number_, &byte, 1) == 0);
        FUZZ_CHECK(rook::WriteData(number_, &byte, 1) == 0);
    }

    void Write() {
        const std::int32_t length = Length();
        std::vector<std::uint8_t> data(static_cast<std::size_t>(std::max(length, 1)));
        for (std::uint8_t& byte : data) {
            byte = static_cast<std::uint8_t>(++serial_ * 151 >> 3);
        }
        const std::int32_t written = rook::WriteData(number_, data.data(), length);
        if (length < 1) {
            FUZZ_CHECK(written == 0);
            return;
        }
        FUZZ_CHECK(written == length);
        const auto end = position_ + static_cast<std::size_t>(length);
        bytes_.resize(std::max(bytes_.size(), end));
        std::copy_n(data.begin(), length, bytes_.begin() + static_cast<std::ptrdiff_t>(position_));
        position_ = end;
    }

    void Read() {
        const std::int32_t length = Length();
        constexpr std::uint8_t untouched = 0xEE;
        std::vector<std::uint8_t> memory(static_cast<std::size_t>(std::max(length, 0)) + 16,
                                         untouched);
        const std::int32_t got = rook::ReadData(number_, memory.data(), length);
        const std::size_t available = bytes_.size() - position_;
        const std::size_t expected =
            length < 0 ? 0 : std::min(available, static_cast<std::size_t>(length));
        FUZZ_CHECK(got == static_cast<std::int32_t>(expected));
        FUZZ_CHECK(std::equal(memory.begin(),
                              memory.begin() + static_cast<std::ptrdiff_t>(expected),
                              bytes_.begin() + static_cast<std::ptrdiff_t>(position_)));
        FUZZ_CHECK(std::all_of(memory.begin() + static_cast<std::ptrdiff_t>(expected), memory.end(),
                               [](std::uint8_t byte) { return byte == untouched; }));
        position_ += expected;
    }

    void Step() {
        switch (input_.ConsumeIntegralInRange(0, 9)) {
        case 0:
            Open(true);
            break;
        case 1:
            Close();
            Open(false);
            break;
        case 2:
            Close();
            break;
        case 3: {
            // Numbers that name no open file do nothing.
            std::uint8_t byte = 0x11;
            FUZZ_CHECK(rook::ReadData(5, &byte, 1) == 0 && byte == 0x11);
            FUZZ_CHECK(rook::WriteData(5, &byte, 1) == 0);
            break;
        }
        case 4:
        case 5:
        case 6:
            if (mode_ == Mode::ReadWrite) {
                Write();
                break;
            }
            [[fallthrough]];
        default:
            if (mode_ != Mode::Closed) {
                Read();
            }
            break;
        }
    }

    FuzzedDataProvider& input_;
    Mode mode_ = Mode::Closed;
    std::int32_t number_ = 0;
    std::vector<std::uint8_t> disk_;  // the file's bytes once everything is written out
    std::vector<std::uint8_t> bytes_; // the bytes as the open file presents them
    std::size_t position_ = 0;
    std::uint32_t serial_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    rook::CreateToolkitHeap();
    rook::FileLibraryInit();
    const char* directory = std::getenv("TMPDIR");
    fileName = std::string(directory != nullptr && directory[0] != '\0' ? directory : "/tmp") +
               "/inkswap-file-fuzz-" + std::to_string(::getpid()) + ".bin";
    std::atexit(RemoveTemporaryFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FileSession(input).Run();
    return 0;
}
