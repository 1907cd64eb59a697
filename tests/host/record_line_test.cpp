#include "core/RecordLine.h"
#include "core/TextCodec.h"

#include "ConversionCheck.h"
#include "core/WholeNumber.h"

#include <gtest/gtest.h>

using core::ItemList;
using core::RecordRow;

namespace {

const ItemList kKoreanButtons = {L"왼쪽", L"오른쪽", L"휠"};
const ItemList kKoreanKinds = {L"싱글", L"더블"};
const ItemList kEnglishButtons = {L"Left", L"Right", L"Wheel"};
const ItemList kEnglishKinds = {L"Single", L"Double"};

} // namespace

TEST(EqualsIgnoringCase, FoldsSimpleCasePairs) {
    EXPECT_TRUE(core::EqualsIgnoringCase(L"LEFT", L"left"));
    EXPECT_TRUE(core::EqualsIgnoringCase(L"", L""));
    EXPECT_TRUE(core::EqualsIgnoringCase(L"ÉCRAN", L"écran"));
    EXPECT_TRUE(core::EqualsIgnoringCase(L"ΑΩ", L"αω"));
    EXPECT_TRUE(core::EqualsIgnoringCase(L"ЛЕВЫЙ ЁЖ", L"левый ёж"));
    EXPECT_TRUE(core::EqualsIgnoringCase(L"왼쪽", L"왼쪽"));
    EXPECT_FALSE(core::EqualsIgnoringCase(L"Left", L"Left "));
    EXPECT_FALSE(core::EqualsIgnoringCase(L"Left", L"Lef"));
    EXPECT_FALSE(core::EqualsIgnoringCase(L"×", L"÷")); // 0xD7 and 0xF7 are not a pair
    EXPECT_FALSE(core::EqualsIgnoringCase(L"@", L"`")); // 0x40 and 0x60 are not letters
    EXPECT_FALSE(core::EqualsIgnoringCase(L"[", L"{"));
    EXPECT_FALSE(core::EqualsIgnoringCase(L"ß", L"ÿ"));           // U+00DF has no capital here
    EXPECT_FALSE(core::EqualsIgnoringCase(L"\u03A2", L"\u03C2")); // unassigned, not a sigma
    EXPECT_FALSE(core::EqualsIgnoringCase(L"а", L"ѐ"));           // U+0430 is lower case already
}

TEST(RecordItems, IndexAndItem) {
    EXPECT_EQ(core::IndexOfItem(kEnglishButtons, L"Left"), 0);
    EXPECT_EQ(core::IndexOfItem(kEnglishButtons, L"WHEEL"), 2);
    EXPECT_EQ(core::IndexOfItem(kKoreanButtons, L"휠"), 2);
    EXPECT_EQ(core::IndexOfItem(kEnglishButtons, L"Middle"), -1);
    EXPECT_EQ(core::IndexOfItem(kEnglishButtons, L""), -1);
    EXPECT_EQ(core::IndexOfItem({L"", L"x"}, L""), -1);
    EXPECT_EQ(core::IndexOfItem({L"a", L"A"}, L"A"), 0);

    EXPECT_EQ(core::ItemAt(kEnglishKinds, 1), L"Double");
    EXPECT_EQ(core::ItemAt(kEnglishKinds, 2), L"");
    EXPECT_EQ(core::ItemAt(kEnglishKinds, -1), L"");
    EXPECT_EQ(core::ItemAt({}, 0), L"");
}

TEST(RecordLine, StoresIndexesSoEitherLanguageReadsIt) {
    const std::wstring line = L"100x200,0,1,00:00:01.00";
    const auto korean = core::ParseRecordLine(line, kKoreanButtons, kKoreanKinds);
    ASSERT_TRUE(korean.has_value());
    EXPECT_EQ(*korean, (RecordRow{L"100x200", L"왼쪽", L"더블", L"00:00:01.00"}));

    const auto english = core::ParseRecordLine(line, kEnglishButtons, kEnglishKinds);
    ASSERT_TRUE(english.has_value());
    EXPECT_EQ(*english, (RecordRow{L"100x200", L"Left", L"Double", L"00:00:01.00"}));

    EXPECT_EQ(core::FormatRecordLine(*korean, kKoreanButtons, kKoreanKinds), line);
    EXPECT_EQ(core::FormatRecordLine(*english, kEnglishButtons, kEnglishKinds), line);
}

TEST(RecordLine, FormatsUnknownItemsAsMinusOne) {
    EXPECT_EQ(core::FormatRecordLine({L"512x384", L"Middle", L"", L"00:00:01.00"}, kEnglishButtons,
                                     kEnglishKinds),
              L"512x384,-1,-1,00:00:01.00");
    EXPECT_EQ(core::FormatRecordLine({L"512x384", L"RIGHT", L"single", L"00:00:01.00"},
                                     kEnglishButtons, kEnglishKinds),
              L"512x384,1,0,00:00:01.00");
}

TEST(RecordLine, OutOfRangeIndexLoadsAsEmptyItem) {
    const auto row = core::ParseRecordLine(L"5x5,3,0,00:00:01.00", kEnglishButtons, kEnglishKinds);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(*row, (RecordRow{L"5x5", L"", L"Single", L"00:00:01.00"}));
    EXPECT_EQ(core::FormatRecordLine(*row, kEnglishButtons, kEnglishKinds),
              L"5x5,-1,0,00:00:01.00");

    const auto negative =
        core::ParseRecordLine(L"5x5,-1,-7,00:00:01.00", kEnglishButtons, kEnglishKinds);
    ASSERT_TRUE(negative.has_value());
    EXPECT_EQ(negative->button, L"");
    EXPECT_EQ(negative->kind, L"");
}

TEST(RecordLine, NegativeCoordinatesRoundTrip) {
    const std::wstring line = L"-1280x-20,2,0,01:02:03.04";
    const auto row = core::ParseRecordLine(line, kEnglishButtons, kEnglishKinds);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->position, L"-1280x-20");
    EXPECT_EQ(row->button, L"Wheel");
    EXPECT_EQ(core::FormatRecordLine(*row, kEnglishButtons, kEnglishKinds), line);
}

TEST(RecordLine, FieldsOneAndFourAreNotValidated) {
    const auto row = core::ParseRecordLine(L" junk ,1,1,", kEnglishButtons, kEnglishKinds);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(*row, (RecordRow{L" junk ", L"Right", L"Double", L""}));
}

TEST(RecordLine, QuotedFields) {
    const auto row = core::ParseRecordLine(L"\"1x2\",\"0\",\"1\",\"00:00:01.00\"", kEnglishButtons,
                                           kEnglishKinds);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(*row, (RecordRow{L"1x2", L"Left", L"Double", L"00:00:01.00"}));

    const auto commaInside =
        core::ParseRecordLine(L"\"1,2\",0,0,\"a\"\"b\"", kEnglishButtons, kEnglishKinds);
    ASSERT_TRUE(commaInside.has_value());
    EXPECT_EQ(commaInside->position, L"1,2");
    EXPECT_EQ(commaInside->delay, L"a\"b");
}

TEST(RecordLine, LinesWithoutExactlyFourFieldsAreSkipped) {
    for (const wchar_t* line : {L"", L"1x1,0,0", L"1x1,0,0,00:00:01.00,x", L"1x1,0,0,00:00:01.00,",
                                L"1x1", L"\"1x1,0,0,00:00:01.00\""}) {
        EXPECT_EQ(core::ParseRecordLine(line, kEnglishButtons, kEnglishKinds), std::nullopt)
            << core::ToUtf8(line);
    }
}

TEST(RecordLine, IndexFieldsMustBeWholeNumbers) {
    struct Case {
        const wchar_t* line;
        const char* badField;
    };
    for (const Case& c :
         {Case{L"1x1,Left,0,00:00:01.00", "Left"}, Case{L"1x1,0, 1,00:00:01.00", " 1"},
          Case{L"1x1,,0,00:00:01.00", ""}, Case{L"1x1,0,1.5,00:00:01.00", "1.5"},
          Case{L"1x1,0,99999999999,x", "99999999999"}}) {
        const std::string message = ConversionErrorMessage(
            [&] { core::ParseRecordLine(c.line, kEnglishButtons, kEnglishKinds); });
        EXPECT_NE(message.find(std::string("'") + c.badField + "'"), std::string::npos) << message;
    }
}
