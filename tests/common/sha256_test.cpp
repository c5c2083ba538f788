// SHA-256 against the standard's examples, and a digest that does not depend
// on how the bytes were handed over.
#include <gtest/gtest.h>

#include <string>

#include "common/sha256.h"

namespace {

// Adds text in chunks of the given sizes, in turn, until it is all in.
std::string Digest(const std::string& text, std::initializer_list<size_t> chunks)
{
    Sha256 hash;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    size_t done = 0;
    for (auto next = chunks.begin(); done < text.size(); next = next + 1 == chunks.end() ? chunks.begin() : next + 1) {
        const size_t n = std::min(*next, text.size() - done);
        hash.Add(bytes + done, n);
        done += n;
    }
    uint8_t digest[kSha256Bytes];
    hash.Finish(digest);
    char hex[kSha256HexSize];
    Sha256Hex(digest, hex);
    return hex;
}

TEST(Sha256, StandardExamples)
{
    const struct {
        std::string message;
        std::initializer_list<size_t> chunks;
        const char* digest;
    } kCases[] = {
        {"abc", {3}, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", {56},
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"", {1}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {std::string(1000000, 'a'), {1, 63, 64, 65, 1000, 7, 4096},
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Digest(c.message, c.chunks), c.digest) << c.message.size() << " bytes";
}

// Every split of a message that spans several blocks, and a hash used again
// after Finish, give the digest of the message added at once.
TEST(Sha256, SameDigestWhateverTheSplit)
{
    std::string message;
    for (int i = 0; i < 200; ++i)
        message += static_cast<char>(i * 37 + 11);
    const std::string whole = Digest(message, {message.size()});
    for (size_t first = 0; first <= message.size(); ++first)
        EXPECT_EQ(Digest(message, {first == 0 ? 1 : first, 64, 5}), whole) << "first chunk " << first;

    Sha256 reused;
    uint8_t digest[kSha256Bytes];
    reused.Add(reinterpret_cast<const uint8_t*>("xyz"), 3);
    reused.Finish(digest);
    reused.Add(reinterpret_cast<const uint8_t*>(message.data()), message.size());
    reused.Finish(digest);
    char hex[kSha256HexSize];
    Sha256Hex(digest, hex);
    EXPECT_EQ(std::string(hex), whole);
}

}  // namespace
