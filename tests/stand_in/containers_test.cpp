// Containers: ordered typed streams, range-checked reads, and four-character codes.
#include <cstring>

#include "tests/stand_in/helpers.h"

using namespace hosttest;

namespace {

class ContainerTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        FMX_Error err{1, 0};
        binary = FM_BinaryData_Constructor1(&err);
        gif = FM_QuadChar_Constructor2('G', 'I', 'F', 'f', &err);
        size = FM_QuadChar_Constructor2('S', 'I', 'Z', 'E', &err);
        none = FM_QuadChar_Constructor2('N', 'O', 'N', 'E', &err);
    }
    void TearDown() override {
        FMX_Error err{1, 0};
        FM_QuadChar_Delete(gif, &err);
        FM_QuadChar_Delete(size, &err);
        FM_QuadChar_Delete(none, &err);
        FM_BinaryData_Delete(binary, &err);
        HostTest::TearDown();
    }
    FMX_BinaryData* binary = nullptr;
    FMX_QuadChar *gif = nullptr, *size = nullptr, *none = nullptr;
};

TEST_F(ContainerTest, QuadCharValueHasTheFirstCharacterHighest) {
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_QuadChar_GetValue(gif, &err), 0x47494666u);
    FMX_QuadChar* high = FM_QuadChar_Constructor2('\xFF', 0, 0, 1, &err);
    EXPECT_EQ(FM_QuadChar_GetValue(high, &err), 0xFF000001u);
    FM_QuadChar_Delete(high, &err);
}

TEST_F(ContainerTest, StreamsKeepTheirOrderTypesAndBytes) {
    FMX_Error err{1, 0};
    ASSERT_EQ(FM_BinaryData_Add(binary, gif, 5, given("GIF89"), &err), 0);
    ASSERT_EQ(FM_BinaryData_Add(binary, size, 4, given("\x01\x02\x03\x04"), &err), 0);
    ASSERT_EQ(FM_BinaryData_Add(binary, none, 0, nullptr, &err), 0);  // an empty stream is allowed
    EXPECT_EQ(FM_BinaryData_GetCount(binary, &err), 3);
    EXPECT_EQ(FM_BinaryData_GetIndex(binary, gif, &err), 0);
    EXPECT_EQ(FM_BinaryData_GetIndex(binary, size, &err), 1);
    EXPECT_EQ(FM_BinaryData_GetIndex(binary, none, &err), 2);
    EXPECT_EQ(FM_BinaryData_GetTotalSize(binary, &err), 9u);
    EXPECT_EQ(FM_BinaryData_GetSize(binary, 0, &err), 5u);
    EXPECT_EQ(FM_BinaryData_GetSize(binary, 2, &err), 0u);
    char type[4];
    EXPECT_EQ(FM_BinaryData_GetType(binary, 1, type, &err), 0);
    EXPECT_EQ(std::memcmp(type, "SIZE", 4), 0);
    EXPECT_EQ(err.code, 0);

    FM_BinaryData_RemoveAll(binary, &err);
    EXPECT_EQ(FM_BinaryData_GetCount(binary, &err), 0);
    EXPECT_EQ(FM_BinaryData_GetIndex(binary, gif, &err), -1);
}

TEST_F(ContainerTest, GetDataChecksItsRange) {
    FMX_Error err{1, 0};
    ASSERT_EQ(FM_BinaryData_Add(binary, gif, 6, given("abcdef"), &err), 0);
    char buffer[8] = {};
    EXPECT_EQ(FM_BinaryData_GetData(binary, 0, 2, 4, buffer, &err), 0);
    EXPECT_EQ(std::string(buffer, 4), "cdef");
    EXPECT_EQ(FM_BinaryData_GetData(binary, 0, 6, 0, buffer, &err), 0);  // empty range at the end
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_NE(FM_BinaryData_GetData(binary, 0, 3, 4, buffer, &err), 0);  // one byte past the end
    EXPECT_NE(FM_BinaryData_GetData(binary, 0, 7, 0, buffer, &err), 0);
    EXPECT_NE(FM_BinaryData_GetData(binary, 0, 0xFFFFFFFFu, 2, buffer, &err), 0);  // offset + amount wraps
    EXPECT_NE(FM_BinaryData_GetData(binary, 1, 0, 1, buffer, &err), 0);
    EXPECT_NE(FM_BinaryData_GetData(binary, -1, 0, 1, buffer, &err), 0);
    EXPECT_EQ(buffer[0], 'z');  // nothing was written by a refused read
    EXPECT_EQ(err.code, 0);
}

TEST_F(ContainerTest, BadIndexesAreFailures) {
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_BinaryData_GetSize(binary, 0, &err), 0u);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
    char type[4];
    err.code = 0;
    EXPECT_NE(FM_BinaryData_GetType(binary, -1, type, &err), 0);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
}

// The total is kept as streams come and go, and travels with copies of the container.
TEST_F(ContainerTest, TotalSizeFollowsAddsRemovalsAndCopies) {
    FMX_Error err{1, 0};
    for (int i = 1; i <= 100; ++i) ASSERT_EQ(FM_BinaryData_Add(binary, gif, 3, given("abc"), &err), 0);
    EXPECT_EQ(FM_BinaryData_GetTotalSize(binary, &err), 300u);
    DataHandle value;
    FM_Data_SetBinaryData(value.data, binary, true, &err);
    FM_BinaryData_RemoveAll(binary, &err);
    EXPECT_EQ(FM_BinaryData_GetTotalSize(binary, &err), 0u);
    EXPECT_EQ(FM_BinaryData_GetTotalSize(FM_Data_GetBinaryData(value.data, &err), &err), 300u);
    setText(value.data, "no longer a container");
    EXPECT_EQ(FM_BinaryData_GetTotalSize(FM_Data_GetBinaryData(value.data, &err), &err), 0u);
    EXPECT_EQ(err.code, 0);
}

TEST_F(ContainerTest, AddRefusesMissingBytes) {
    FMX_Error err{1, 0};
    EXPECT_NE(FM_BinaryData_Add(binary, gif, 3, nullptr, &err), 0);
    EXPECT_EQ(FM_BinaryData_GetCount(binary, &err), 0);
}

}  // namespace
