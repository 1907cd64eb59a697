#include "core/Catalogue.h"

#include "core/TextCodec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

using core::Catalogue;

namespace {

constexpr std::size_t kShippedLineCount = 96;

std::wstring RejectAnsi(std::string_view) {
    throw std::logic_error("the shipped catalogue carries a byte-order mark");
}

Catalogue LoadShippedCatalogue() {
    std::ifstream file(MIRVEX_SOURCE_DIR "/resources/translate.txt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return Catalogue(core::SplitLines(core::DecodeText(bytes, RejectAnsi)));
}

class ShippedCatalogue : public testing::Test {
  protected:
    static void SetUpTestSuite() { catalogue_ = LoadShippedCatalogue(); }
    static Catalogue catalogue_;
};
Catalogue ShippedCatalogue::catalogue_;

} // namespace

TEST(CatalogueLine, NameAndValueSplitAtTheFirstEquals) {
    EXPECT_EQ(core::LineName(L"en=a=b"), L"en");
    EXPECT_EQ(core::LineValue(L"en=a=b"), L"a=b");
    EXPECT_EQ(core::LineName(L"=x"), L"");
    EXPECT_EQ(core::LineValue(L"=x"), L"x");
    EXPECT_EQ(core::LineValue(L"en="), L"");
    EXPECT_EQ(core::LineName(L"no separator"), L"");
    EXPECT_EQ(core::LineValue(L"no separator"), L"");
}

TEST_F(ShippedCatalogue, LoadsEveryLine) {
    ASSERT_EQ(catalogue_.Lines().size(), kShippedLineCount);
    EXPECT_EQ(catalogue_.Lines().front(), L"ko=미르벡스");
    EXPECT_EQ(catalogue_.Lines().back(), L"");
}

TEST_F(ShippedCatalogue, AnyLanguageOfABlockIsAKey) {
    EXPECT_EQ(catalogue_.Translate(L"대기중입니다.", L"en"), L"Waiting");
    EXPECT_EQ(catalogue_.Translate(L"Waiting", L"en"), L"Waiting");
    EXPECT_EQ(catalogue_.Translate(L"待機中です", L"en"), L"Waiting");
    EXPECT_EQ(catalogue_.Translate(L"Waiting", L"ko"), L"대기중입니다.");
    EXPECT_EQ(catalogue_.Translate(L"비우기", L"ja"), L"晴れ");
    EXPECT_EQ(catalogue_.Translate(L"Clear", L"ko"), L"비우기");
    EXPECT_EQ(catalogue_.Translate(L"Mirvex", L"ja"), L"ミルベクス");
}

TEST_F(ShippedCatalogue, UnknownLanguageOrTextComesBack) {
    for (const wchar_t* language : {L"zh", L"EN", L"en "}) {
        EXPECT_EQ(catalogue_.Translate(L"대기중입니다.", language), L"대기중입니다.");
        EXPECT_EQ(catalogue_.Translate(L"Waiting", language), L"Waiting");
        EXPECT_EQ(catalogue_.Translate(L"one\\ntwo", language), L"one\rtwo");
    }
    EXPECT_EQ(catalogue_.Translate(L"Waiting ", L"ko"), L"Waiting ");
    EXPECT_EQ(catalogue_.Translate(L"waiting", L"ko"), L"waiting");
    EXPECT_EQ(catalogue_.Translate(L"en=Waiting", L"ko"), L"en=Waiting");
    EXPECT_EQ(catalogue_.Translate(L"", L"en"), L"");
}

TEST_F(ShippedCatalogue, EmptyLanguageLeavesTheTextAsItIs) {
    EXPECT_EQ(catalogue_.Translate(L"대기중입니다.", L""), L"대기중입니다.");
    EXPECT_EQ(catalogue_.Translate(L"one\\ntwo", L""), L"one\\ntwo");
}

TEST_F(ShippedCatalogue, BackslashNBecomesOneCarriageReturn) {
    EXPECT_EQ(catalogue_.Translate(L"\\n", L"en"), L"\r");
    EXPECT_EQ(catalogue_.Translate(L"a\\n\\nb\\", L"en"), L"a\r\rb\\");
    EXPECT_EQ(catalogue_.Translate(L"\\\\n", L"en"), L"\\\r");
    EXPECT_EQ(catalogue_.Translate(L"\\N", L"en"), L"\\N");
}

TEST(Catalogue, BlockBoundaries) {
    const Catalogue catalogue({
        L"en=Alpha",    //
        L"ja=アルファ", // the target line may come before the matched one
        L"ko=알파",     //
        L"",            //
        L"ko=베타",     // block without "en"
        L"ja=ベータ",   //
        L"",            //
        L"",            // a second empty line starts yet another block
        L"en=",         // empty value
        L"ko=감마",     //
        L"en=Gamma",    // a later "en" line of the block is not reached
        L"",            //
        L"ko=중복",     // only the first matching line counts
        L"en=First",    //
        L"",            //
        L"ko=중복",     //
        L"en=Second",   //
        L"ja=二番目",   // beyond the block of "First"
    });
    EXPECT_EQ(catalogue.Lookup(L"알파", L"en"), L"Alpha");
    EXPECT_EQ(catalogue.Lookup(L"알파", L"ja"), L"アルファ");
    EXPECT_EQ(catalogue.Lookup(L"ベータ", L"en"), L"ベータ");
    EXPECT_EQ(catalogue.Lookup(L"베타", L"ja"), L"ベータ");
    EXPECT_EQ(catalogue.Lookup(L"감마", L"en"), L"감마");
    EXPECT_EQ(catalogue.Lookup(L"Gamma", L"en"), L"Gamma");
    EXPECT_EQ(catalogue.Lookup(L"First", L"ja"), L"First");
    EXPECT_EQ(catalogue.Lookup(L"중복", L"en"), L"First");
}

TEST(Catalogue, EmptySourceNeverMatchesEmptyValues) {
    const Catalogue catalogue({L"stray line", L"en=", L"ja=Filled", L"en=Other"});
    EXPECT_EQ(catalogue.Lookup(L"", L"ja"), L"");
    EXPECT_EQ(catalogue.Translate(L"", L"ja"), L"");
    EXPECT_EQ(catalogue.Translate(L"Filled", L"en"), L"Filled");
}

TEST(Catalogue, EmptyCatalogueTranslatesNothing) {
    const Catalogue catalogue;
    EXPECT_TRUE(catalogue.Empty());
    EXPECT_EQ(catalogue.Translate(L"x\\ny", L"en"), L"x\ry");
}
