#include "platform/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/wide.h"
#endif

namespace orv::reg {
namespace {

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Key::Open(scratch_.Path(), true, key_)); }

    test::ScratchKey scratch_{"registry"};
    Key key_;
};

TEST_F(RegistryTest, IntegersRoundTripAsDwords) {
    for (const int32_t value : {0, 1, -1, 7, INT32_MIN, INT32_MAX}) {
        ASSERT_EQ(key_.WriteInt("Number", value), Status::Ok);
        int32_t read = 12345;
        ASSERT_EQ(key_.ReadInt("Number", read), Status::Ok);
        EXPECT_EQ(read, value);
    }
    EXPECT_EQ(key_.TypeOf("Number"), ValueType::Dword);
}

TEST_F(RegistryTest, StringsRoundTripIncludingEmptyAndRussian) {
    for (const std::string value : {"", "C:\\Program Files\\data.bin", "Утилита Orvanter", "a\tb \"q\""}) {
        ASSERT_EQ(key_.WriteString("Text", value), Status::Ok);
        std::string read = "untouched";
        ASSERT_EQ(key_.ReadString("Text", read), Status::Ok);
        EXPECT_EQ(read, value);
    }
    EXPECT_EQ(key_.TypeOf("Text"), ValueType::String);
}

TEST_F(RegistryTest, ExpandableStringsReadAsStored) {
    ASSERT_EQ(key_.WriteExpandString("Path", "%TEMP%\\x"), Status::Ok);
    EXPECT_EQ(key_.TypeOf("Path"), ValueType::ExpandString);
    std::string read;
    ASSERT_EQ(key_.ReadString("Path", read), Status::Ok);
    EXPECT_EQ(read, "%TEMP%\\x");
}

TEST_F(RegistryTest, WrongTypesAreReportedAndLeaveTheOutputAlone) {
    ASSERT_EQ(key_.WriteString("Text", "5"), Status::Ok);
    ASSERT_EQ(key_.WriteInt("Number", 5), Status::Ok);
    ASSERT_EQ(key_.WriteBinary("Blob", std::string("\x01\x00\x00\x00", 4)), Status::Ok);
    EXPECT_EQ(key_.TypeOf("Blob"), ValueType::Other);

    int32_t number = 99;
    EXPECT_EQ(key_.ReadInt("Text", number), Status::WrongType);
    EXPECT_EQ(key_.ReadInt("Blob", number), Status::WrongType);
    EXPECT_EQ(number, 99);

    std::string text = "kept";
    EXPECT_EQ(key_.ReadString("Number", text), Status::WrongType);
    EXPECT_EQ(key_.ReadString("Blob", text), Status::WrongType);
    EXPECT_EQ(text, "kept");
}

TEST_F(RegistryTest, MissingValuesAndDeletion) {
    int32_t number = 3;
    std::string text = "kept";
    EXPECT_EQ(key_.ReadInt("Nothing", number), Status::NotFound);
    EXPECT_EQ(key_.ReadString("Nothing", text), Status::NotFound);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(key_.HasValue("Nothing"));

    ASSERT_EQ(key_.WriteInt("Number", 1), Status::Ok);
    EXPECT_TRUE(key_.HasValue("Number"));
    EXPECT_EQ(key_.DeleteValue("Number"), Status::Ok);
    EXPECT_FALSE(key_.HasValue("Number"));
    EXPECT_EQ(key_.DeleteValue("Number"), Status::Ok) << "deleting a missing value is no error";
}

TEST_F(RegistryTest, RewritingAValueChangesItsType) {
    ASSERT_EQ(key_.WriteString("Value", "text"), Status::Ok);
    ASSERT_EQ(key_.WriteInt("Value", 4), Status::Ok);
    EXPECT_EQ(key_.TypeOf("Value"), ValueType::Dword);
    std::string text;
    EXPECT_EQ(key_.ReadString("Value", text), Status::WrongType);
}

TEST_F(RegistryTest, NamesAndPathsIgnoreCase) {
    ASSERT_EQ(key_.WriteInt("LogOK", 1), Status::Ok);
    int32_t read = 0;
    EXPECT_EQ(key_.ReadInt("logok", read), Status::Ok);
    EXPECT_EQ(read, 1);

    std::string upper = scratch_.Path();
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
    Key again;
    ASSERT_TRUE(Key::Open(upper, false, again));
    EXPECT_EQ(again.ReadInt("LOGOK", read), Status::Ok);

    const std::vector<std::string> names = key_.ValueNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "LogOK");
}

TEST_F(RegistryTest, OpeningWithoutCreatingNeedsAnExistingKey) {
    const std::string child = scratch_.Path() + "Macros\\";
    Key missing;
    EXPECT_FALSE(Key::Open(child, false, missing));
    EXPECT_FALSE(missing.IsOpen());

    Key deep;
    ASSERT_TRUE(Key::Open(child + "One\\Two", true, deep)) << "missing parents are created";
    EXPECT_TRUE(Key::Open(child, false, missing));
    EXPECT_TRUE(missing.IsOpen());
}

TEST_F(RegistryTest, KeysMoveAndAClosedKeyNeitherReadsNorWrites) {
    ASSERT_EQ(key_.WriteInt("Number", 8), Status::Ok);
    Key moved = std::move(key_);
    int32_t read = 0;
    EXPECT_EQ(moved.ReadInt("Number", read), Status::Ok);
    EXPECT_EQ(read, 8);

    Key closed;
    EXPECT_FALSE(closed.IsOpen());
    EXPECT_EQ(closed.ReadInt("Number", read), Status::NotFound);
    EXPECT_EQ(closed.TypeOf("Number"), ValueType::None);
    EXPECT_EQ(closed.WriteInt("Number", 1), Status::CannotWrite);
    EXPECT_EQ(closed.WriteString("Text", "x"), Status::CannotWrite);
    EXPECT_EQ(closed.DeleteValue("Number"), Status::CannotWrite);
}

TEST_F(RegistryTest, DeleteKeyTreeRemovesSubKeysAndValues) {
    Key child;
    ASSERT_TRUE(Key::Open(scratch_.Path() + "A\\B", true, child));
    ASSERT_EQ(child.WriteString("Name", "x"), Status::Ok);
    ASSERT_EQ(key_.WriteInt("Top", 1), Status::Ok);
    child = Key();
    key_ = Key();

    EXPECT_TRUE(DeleteKeyTree(scratch_.Path()));
    Key gone;
    EXPECT_FALSE(Key::Open(scratch_.Path(), false, gone));
    EXPECT_FALSE(Key::Open(scratch_.Path() + "A\\B", false, gone));
    EXPECT_TRUE(DeleteKeyTree(scratch_.Path())) << "a missing key counts as deleted";

    // A sibling whose name merely starts the same way survives.
    const std::string sibling = scratch_.Path().substr(0, scratch_.Path().size() - 1) + "x\\";
    Key other;
    ASSERT_TRUE(Key::Open(sibling, true, other));
    ASSERT_TRUE(Key::Open(scratch_.Path(), true, key_));
    EXPECT_TRUE(DeleteKeyTree(scratch_.Path()));
    EXPECT_TRUE(Key::Open(sibling, false, gone));
    other = Key();
    gone = Key();
    EXPECT_TRUE(DeleteKeyTree(sibling));
}

#ifdef _WIN32
// What the program writes must look to other programs (and older versions of it) as a REG_SZ always
// has: the characters followed by one terminating zero.
TEST_F(RegistryTest, StringsAreStoredWithTheirTerminatingZero) {
    ASSERT_EQ(key_.WriteString("Text", "abc"), Status::Ok);
    HKEY raw = nullptr;
    const std::wstring path = win32::Wide(scratch_.Path().substr(0, scratch_.Path().size() - 1));
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, &raw), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExW(raw, L"Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4 * sizeof(wchar_t));

    // Values written by others need neither a terminating zero nor any data at all.
    const wchar_t unterminated[] = {L'x', L'y'};
    ASSERT_EQ(RegSetValueExW(raw, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated),
                             sizeof unterminated),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(raw, L"Empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
    RegCloseKey(raw);

    std::string read;
    ASSERT_EQ(key_.ReadString("Bare", read), Status::Ok);
    EXPECT_EQ(read, "xy");
    read = "kept";
    ASSERT_EQ(key_.ReadString("Empty", read), Status::Ok);
    EXPECT_EQ(read, "");
}
#endif

}  // namespace
}  // namespace orv::reg
