// Reading a fuzzer's input: fixed fields first, whatever is left after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fuzz {

// Takes fields off the front of the input; past its end every field is 0,
// so any input, the empty one included, decodes.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte();
    uint64_t Bytes(int count);  // little-endian
    // Everything not taken yet.
    std::vector<uint8_t> Rest();
    size_t left() const { return size_ - used_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t used_ = 0;
};

// An argument vector from the pieces between zero bytes: any count, any
// bytes. Each argument lives in a block of its own, so a read past its
// terminator is caught; argv[argc] is null as in main.
class Argv {
public:
    explicit Argv(const std::vector<uint8_t>& bytes);
    Argv(const Argv&) = delete;
    Argv& operator=(const Argv&) = delete;

    int argc() const { return static_cast<int>(pointers_.size()) - 1; }
    char** argv() { return pointers_.data(); }
    // True when argument i still holds the bytes it was built with.
    bool Unchanged(int i) const;
    bool Holds(const char* p) const;  // p is one of the arguments

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::string> copies_;
    std::vector<char*> pointers_;
};

// Ends the run as a finding: libFuzzer saves the input that led here.
[[noreturn]] void Fail(const char* what);
inline void Require(bool holds, const char* what)
{
    if (!holds)
        Fail(what);
}

}  // namespace fuzz
