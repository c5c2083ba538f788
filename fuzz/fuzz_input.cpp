#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

uint8_t Input::Byte()
{
    return used_ < size_ ? data_[used_++] : 0;
}

uint64_t Input::Bytes(int count)
{
    uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value |= static_cast<uint64_t>(Byte()) << (8 * i);
    return value;
}

std::vector<uint8_t> Input::Rest()
{
    std::vector<uint8_t> rest(data_ + used_, data_ + size_);
    used_ = size_;
    return rest;
}

Argv::Argv(const std::vector<uint8_t>& bytes)
{
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != 0)
            continue;
        copies_.emplace_back(reinterpret_cast<const char*>(bytes.data()) + start, i - start);
        start = i + 1;
    }
    for (const std::string& text : copies_) {
        blocks_.emplace_back(new char[text.size() + 1]);
        memcpy(blocks_.back().get(), text.c_str(), text.size() + 1);
        pointers_.push_back(blocks_.back().get());
    }
    pointers_.push_back(nullptr);
}

bool Argv::Unchanged(int i) const
{
    return pointers_[static_cast<size_t>(i)] == blocks_[static_cast<size_t>(i)].get() &&
           copies_[static_cast<size_t>(i)] == blocks_[static_cast<size_t>(i)].get();
}

bool Argv::Holds(const char* p) const
{
    for (const auto& block : blocks_)
        if (block.get() == p)
            return true;
    return false;
}

void Fail(const char* what)
{
    fprintf(stderr, "\nfinding: %s\n", what);
    fflush(stderr);
    abort();
}

}  // namespace fuzz
