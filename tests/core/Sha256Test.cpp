// SHA-256 against the examples of FIPS 180-4 and lengths at the padding's edges.

#include <gtest/gtest.h>

#include <string>

#include "files/Sha256.h"

namespace qavix {
namespace {

struct KnownAnswer {
    const char* name;
    std::string input;
    const char* digest;
};

TEST(Sha256, KnownAnswers) {
    const KnownAnswer cases[] = {
        {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"two blocks of 448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"896 bits",
         "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
         "lmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {"a million a", std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // The length field fits after 55 bytes but not after 56; 64 fills a block exactly.
        {"55 a", std::string(55, 'a'),
         "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {"56 a", std::string(56, 'a'),
         "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {"63 a", std::string(63, 'a'),
         "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {"64 a", std::string(64, 'a'),
         "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {"65 a", std::string(65, 'a'),
         "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
    };
    for (const KnownAnswer& c : cases) {
        EXPECT_EQ(sha256Hex(c.input), c.digest) << c.name;
    }
}

TEST(Sha256, PiecesGiveTheDigestOfTheWholeAndFinishStartsOver) {
    const std::string text(200, 'x');
    Sha256 pieces;
    for (size_t at = 0, step = 1; at < text.size(); at += step, step = step * 2 + 1) {
        pieces.update(std::string_view(text).substr(at, step));
    }
    Sha256 whole;
    whole.update(text);
    const Sha256::Digest expected = whole.finish();
    EXPECT_EQ(pieces.finish(), expected);
    // After finish the object hashes from nothing again.
    pieces.update("abc");
    Sha256 fresh;
    fresh.update("abc");
    EXPECT_EQ(pieces.finish(), fresh.finish());
}

TEST(Sha256, BytesAboveSevenBitsAreHashedAsUnsigned) {
    // "\xff\x80" as sha256sum hashes it.
    EXPECT_EQ(sha256Hex(std::string("\xff\x80", 2)),
              "85c61621ebd04403f66d96fe300cf10b3844de7358184f1276cb08790fd135f1");
}

}  // namespace
}  // namespace qavix
