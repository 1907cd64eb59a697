// Settings in the real (Wine) registry: defaults, round trips, value types
// and the errors that name the value.
#include "Fixtures.h"

#include <climits>

namespace {

using Orv::ConfigError;
using Orv::TConfig;
using wintest::ReadStored;
using wintest::StoredDword;
using wintest::StoreDword;
using wintest::StoreString;
using wintest::StoreValue;

// A key of the tests' own beside the program's.
constexpr wchar_t kTestPath[] = L"Norvale\\MirvexWinTests";
// A volatile key: the registry refuses to create a lasting key below it.
constexpr wchar_t kVolatilePath[] = L"Norvale\\MirvexWinTestsVolatile";

class ConfigTest : public wintest::CleanStateTest {
  protected:
    void SetUp() override {
        CleanStateTest::SetUp();
        DeleteTestKeys();
    }
    void TearDown() override {
        DeleteTestKeys();
        CleanStateTest::TearDown();
    }
    static void DeleteTestKeys() {
        for (const wchar_t* path : {kTestPath, kVolatilePath})
            RegDeleteTreeW(HKEY_CURRENT_USER, wintest::SettingsSubKey(path).c_str());
    }
};

struct DefaultCase {
    const wchar_t* name;
    int fallback;
};

class ConfigDefaults : public ConfigTest, public testing::WithParamInterface<DefaultCase> {};

TEST_P(ConfigDefaults, MissingValueGivesTheDefaultAndCreatesTheKey) {
    ASSERT_FALSE(wintest::SettingsKeyExists());
    EXPECT_EQ(Orv::ConfigInteger(GetParam().name, GetParam().fallback, false), GetParam().fallback);
    EXPECT_TRUE(wintest::SettingsKeyExists());
    EXPECT_FALSE(ReadStored(GetParam().name).has_value()); // a read writes nothing
}

INSTANTIATE_TEST_SUITE_P(ProgramValues, ConfigDefaults,
                         testing::Values(DefaultCase{L"hotkey_run", 114},
                                         DefaultCase{L"hotkey_add", 115},
                                         DefaultCase{L"click_after", 0}));

TEST_F(ConfigTest, StoredZeroIsNotTheDefault) {
    StoreDword(L"hotkey_run", 0);
    EXPECT_EQ(Orv::ConfigInteger(L"hotkey_run", 114, false), 0);
}

class ConfigRoundTrip : public ConfigTest, public testing::WithParamInterface<std::int32_t> {};

TEST_P(ConfigRoundTrip, WrittenIntegerIsStoredAsADwordAndReadBack) {
    const std::int32_t value = GetParam();
    EXPECT_EQ(Orv::ConfigInteger(L"click_after", value, true), value);
    EXPECT_EQ(StoredDword(L"click_after"), static_cast<DWORD>(value));
    EXPECT_EQ(Orv::ConfigInteger(L"click_after", 12345, false), value);
}

INSTANTIATE_TEST_SUITE_P(Values, ConfigRoundTrip,
                         testing::Values(0, 1, -1, -1280, 16500, INT_MIN, INT_MAX));

TEST_F(ConfigTest, BooleansAreNonZeroIntegers) {
    TConfig config(kTestPath);
    EXPECT_TRUE(config.ReadBoolean(L"flag", true));
    EXPECT_FALSE(config.ReadBoolean(L"flag", false));
    StoreDword(L"flag", 7, kTestPath);
    EXPECT_TRUE(config.ReadBoolean(L"flag", false));
    StoreDword(L"flag", 0, kTestPath);
    EXPECT_FALSE(config.ReadBoolean(L"flag", true));

    EXPECT_TRUE(config.WriteBoolean(L"flag", true));
    EXPECT_EQ(StoredDword(L"flag", kTestPath), 1u);
    EXPECT_FALSE(config.WriteBoolean(L"flag", false));
    EXPECT_EQ(StoredDword(L"flag", kTestPath), 0u);
}

TEST_F(ConfigTest, EmptyStringIsStoredWithItsTerminator) {
    TConfig config(kTestPath);
    EXPECT_EQ(config.WriteString(L"text", L""), L"");
    const auto stored = ReadStored(L"text", kTestPath);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored->data.size(), sizeof(wchar_t));
    EXPECT_EQ(config.ReadString(L"text", L"fallback"), L"");
}

TEST_F(ConfigTest, StringsRoundTripInUtf16) {
    TConfig config(kTestPath);
    const std::wstring text = L"미르벡스 Mirvex \xD83D\xDE00";
    EXPECT_EQ(config.WriteString(L"text", text), text);
    const auto stored = ReadStored(L"text", kTestPath);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->data.size(), (text.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(config.ReadString(L"text", L""), text);
    EXPECT_EQ(config.ReadString(L"missing", L"fallback"), L"fallback");
}

TEST_F(ConfigTest, StringStoredWithoutTerminatorReadsWhole) {
    const std::wstring text = L"abc";
    StoreValue(L"text", REG_SZ, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
               kTestPath);
    EXPECT_EQ(TConfig(kTestPath).ReadString(L"text", L""), L"abc");
}

TEST_F(ConfigTest, ExpandableStringReadsAsText) {
    const std::wstring text = L"%TEMP%\\x";
    StoreValue(L"text", REG_EXPAND_SZ, text.c_str(),
               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), kTestPath);
    EXPECT_EQ(TConfig(kTestPath).ReadString(L"text", L""), text);
}

TEST_F(ConfigTest, TextValueReadAsIntegerNamesTheValue) {
    StoreString(L"click_after", L"1");
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([] { Orv::ConfigInteger(L"click_after", 0, false); }),
              "Invalid data type for 'click_after'");
}

struct WrongTypeCase {
    DWORD type;
    std::vector<BYTE> data;
};

class ConfigWrongType : public ConfigTest, public testing::WithParamInterface<WrongTypeCase> {};

TEST_P(ConfigWrongType, IntegerReadRefusesOtherTypes) {
    const auto& data = GetParam().data;
    StoreValue(L"value", GetParam().type, data.data(), static_cast<DWORD>(data.size()), kTestPath);
    const TConfig config(kTestPath);
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([&] { config.ReadInteger(L"value", 0); }),
              "Invalid data type for 'value'");
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([&] { config.ReadBoolean(L"value", false); }),
              "Invalid data type for 'value'");
}

INSTANTIATE_TEST_SUITE_P(Types, ConfigWrongType,
                         testing::Values(WrongTypeCase{REG_SZ, {'7', 0, 0, 0}},
                                         WrongTypeCase{REG_BINARY, {1, 0, 0, 0}},
                                         WrongTypeCase{REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
                                         WrongTypeCase{REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}}));

TEST_F(ConfigTest, StringReadRefusesAnInteger) {
    StoreDword(L"hotkey_run", 114, kTestPath);
    const TConfig config(kTestPath);
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([&] { config.ReadString(L"hotkey_run", L""); }),
              "Invalid data type for 'hotkey_run'");
}

TEST_F(ConfigTest, ErrorNamesNonAsciiValuesInUtf8) {
    StoreString(L"딜레이", L"x", kTestPath);
    const TConfig config(kTestPath);
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([&] { config.ReadInteger(L"딜레이", 0); }),
              "Invalid data type for '\xEB\x94\x9C\xEB\xA0\x88\xEC\x9D\xB4'");
}

TEST_F(ConfigTest, OversizedIntegerIsNotTruncated) {
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    StoreValue(L"value", REG_DWORD, eight, sizeof(eight), kTestPath);
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([] { TConfig(kTestPath).ReadInteger(L"value", 0); }),
              "Failed to get data for 'value'");
}

TEST_F(ConfigTest, ConstructorCreatesNestedKeys) {
    const std::wstring nested = std::wstring(kTestPath) + L"\\a\\b";
    { const TConfig config(nested); }
    EXPECT_TRUE(wintest::SettingsKeyExists(nested));
}

TEST_F(ConfigTest, KeyThatCannotBeOpenedGivesDefaultsAndRefusesWrites) {
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, wintest::SettingsSubKey(kVolatilePath).c_str(), 0,
                              nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &parent,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);
    const std::wstring child = std::wstring(kVolatilePath) + L"\\Child";

    TConfig config(child);
    EXPECT_FALSE(wintest::SettingsKeyExists(child));
    EXPECT_EQ(config.ReadInteger(L"hotkey_run", 114), 114);
    EXPECT_EQ(config.ReadString(L"text", L"fallback"), L"fallback");
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([&] { config.WriteInteger(L"hotkey_run", 1); }),
              "Failed to set data for 'hotkey_run'");
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([&] { config.WriteBoolean(L"flag", true); }),
              "Failed to set data for 'flag'");
    EXPECT_EQ(wintest::ErrorOf<ConfigError>([&] { config.WriteString(L"text", L"x"); }),
              "Failed to set data for 'text'");
}

} // namespace
