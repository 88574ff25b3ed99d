#include <gtest/gtest.h>

#include <string>

#include "publish/Cmd5Capi.h"

namespace {

struct Vector {
    const char* name;
    std::string text;
    const char* md5;
};

// RFC 1321's test suite, then bytes a C string would cut short or a text
// conversion would change: the hash covers exactly the given bytes.
const Vector kVectors[] = {
    {"Empty", "", "d41d8cd98f00b204e9800998ecf8427e"},
    {"A", "a", "0cc175b9c0f1b6a831c399e269772661"},
    {"Abc", "abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"MessageDigest", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"Alphabet", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"AlphaNumeric", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"EightyDigits",
     "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
    {"InnerNul", std::string("a\0b", 3), "70350f6027bce3713f6b76473084309b"},
    {"Windows1252Umlauts", "Gr\xFCn\xE4", "f1e5f64e53c12f7322d4a8c0e20934a4"},
};

class Md5VectorTest : public ::testing::TestWithParam<Vector> {};

TEST_P(Md5VectorTest, HashIsLowerCaseHexOfTheBytes) {
    EXPECT_EQ(Cmd5Capi::Hash(GetParam().text), GetParam().md5);
}

INSTANTIATE_TEST_SUITE_P(Rfc1321AndBytes, Md5VectorTest, ::testing::ValuesIn(kVectors),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
