// Container files: the byte layout, round trips, and damaged files that must be refused
// with a message, never read past their end.
#include <gtest/gtest.h>

#include "app/container_file.h"

namespace plotwise::app {
namespace {

std::vector<ContainerStream> sample() {
    return {{{'C', 'H', 'H', 'D'}, {1, 2, 3, 4, 5}},
            {{'L', 'A', 'B', 'S'}, {}},
            {{'G', 'I', 'F', 'f'}, {'G', 'I', 'F', '8', '9', 'a'}},
            {{'C', 'H', 'H', 'D'}, {9}}};  // a type may repeat; the order is kept
}

std::string failureOf(std::string_view bytes) {
    try {
        decodeContainerFile(bytes);
    } catch (const ContainerFileError& e) {
        return e.what();
    }
    return "";
}

TEST(ContainerFile, LayoutIsLittleEndianWithTypeLengthBytes) {
    const std::string bytes = encodeContainerFile({{{'S', 'I', 'Z', 'E'}, {0x01, 0x90, 0x01, 0x2C}}});
    const std::string expected("PWCF\x01\x00\x00\x00\x01\x00\x00\x00SIZE\x04\x00\x00\x00\x01\x90\x01\x2C", 24);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(encodeContainerFile({}), std::string("PWCF\x01\x00\x00\x00\x00\x00\x00\x00", 12));
}

TEST(ContainerFile, RoundTrip) {
    EXPECT_EQ(decodeContainerFile(encodeContainerFile(sample())), sample());
    std::vector<ContainerStream> large{{{'S', 'E', 'R', 'S'}, std::vector<uint8_t>(70000)}};
    for (std::size_t i = 0; i < large[0].bytes.size(); ++i) large[0].bytes[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(decodeContainerFile(encodeContainerFile(large)), large);
}

TEST(ContainerFile, EveryTruncationIsRefused) {
    const std::string whole = encodeContainerFile(sample());
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(failureOf(std::string_view(whole).substr(0, n)).empty()) << "cut at " << n;
}

TEST(ContainerFile, DamageIsNamed) {
    std::string good = encodeContainerFile(sample());
    struct Case {
        std::string bytes;
        std::string_view saying;
    };
    std::string badVersion = good;
    badVersion[4] = 2;
    std::string hugeCount = good;
    hugeCount.replace(8, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    std::string hugeLength = good;
    hugeLength.replace(16, 4, std::string("\xF0\xFF\xFF\xFF", 4));
    const Case cases[] = {
        {"", "not a container file"},
        {"GIF89a", "not a container file"},
        {"PWCF\x01", "ends inside its 12-byte header"},
        {badVersion, "version 2 is not known"},
        {hugeCount, "claims 2147483647 streams but has room for at most"},
        {hugeLength, "stream 1 of 4 (CHHD) claims 4294967280 bytes"},
        {good + "x", "1 bytes follow the last stream"},
    };
    for (const Case& c : cases) {
        const std::string failure = failureOf(c.bytes);
        EXPECT_NE(failure.find(c.saying), std::string::npos) << "got: " << failure;
    }
}

}  // namespace
}  // namespace plotwise::app
