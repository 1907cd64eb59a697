#include "core/DelimitedText.h"
#include "core/TextCodec.h"

#include "core/WholeNumber.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

struct SplitCase {
    std::wstring line;
    std::vector<std::wstring> fields;
};

// Names each case after its line in the test listing.
void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << '[' << core::ToUtf8(c.line) << ']';
}

class SplitDelimitedFieldsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitDelimitedFieldsTest, Splits) {
    EXPECT_EQ(core::SplitDelimitedFields(GetParam().line), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(Plain, SplitDelimitedFieldsTest,
                         testing::Values(SplitCase{L"", {}}, SplitCase{L"a", {L"a"}},
                                         SplitCase{L"a,b,c", {L"a", L"b", L"c"}},
                                         SplitCase{L"a,b,c,", {L"a", L"b", L"c", L""}},
                                         SplitCase{L",", {L"", L""}},
                                         SplitCase{L",,", {L"", L"", L""}}, SplitCase{L" ", {L" "}},
                                         SplitCase{L" a , b", {L" a ", L" b"}}));

INSTANTIATE_TEST_SUITE_P(
    Quoted, SplitDelimitedFieldsTest,
    testing::Values(SplitCase{L"\"a,b\",c", {L"a,b", L"c"}}, SplitCase{L"\"a\"\"b\"", {L"a\"b"}},
                    SplitCase{L"\"\"", {L""}}, SplitCase{L"\"\",", {L"", L""}},
                    SplitCase{L"\"ab\",c", {L"ab", L"c"}}, SplitCase{L"\"ab\",", {L"ab", L""}},
                    SplitCase{L"a,\"b\"", {L"a", L"b"}}, SplitCase{L"\"abc", {L"abc"}},
                    SplitCase{L"\"", {L""}},
                    SplitCase{L"\"a,b\"\"", {L"a,b\""}}, // closing quote missing after ""
                    SplitCase{L"\"ab\"cd,e", {L"ab", L"cd", L"e"}},
                    SplitCase{L"\"ab\" ", {L"ab", L" "}},
                    SplitCase{L"\"ab\"c\"d\",e", {L"ab", L"c\"d\"", L"e"}},
                    SplitCase{L"x\"y\",z", {L"x\"y\"", L"z"}},
                    SplitCase{L" \"a,b\"", {L" \"a", L"b\""}})); // quote not at field start

TEST(SplitDelimitedFields, OtherDelimiter) {
    EXPECT_EQ(core::SplitDelimitedFields(L"a;\"b;c\";d,e", L';'),
              (std::vector<std::wstring>{L"a", L"b;c", L"d,e"}));
}

TEST(SplitDelimitedFields, ReadsNothingPastTheEndOfTheLine) {
    // The quote after the line's end does not double its closing quote.
    EXPECT_EQ(core::SplitDelimitedFields(std::wstring_view(L"\"ab\"\"", 4)),
              (std::vector<std::wstring>{L"ab"}));
}

} // namespace
