#include "core/WebLink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

// A web address of exactly `length` characters.
std::wstring LinkOfLength(std::size_t length) {
    const std::wstring start = L"https://example.invalid/";
    return start + std::wstring(length - start.size(), L'a');
}

TEST(WebLink, OnlyAbsoluteWebAddressesMayGoToTheShell) {
    const struct {
        std::wstring link;
        bool offered;
    } cases[] = {
        {L"https://example.invalid/dl/new.exe", true},
        {L"http://127.0.0.1:18080/setup.exe?v=2#x", true},
        {L"HTTPS://Example.invalid", true},
        {L"file:///C:/Windows/notepad.exe", false},
        {L"C:\\Windows\\notepad.exe", false},
        {L"\\\\host\\share\\setup.exe", false},
        {L"javascript:alert(1)", false},
        {L"dl/new.exe", false},
        {L"//example.invalid/dl", false},
        {L"https://", false},
        {L"https:///path", false},
        {L"https://:443/", false},
        {L"https://@/", false},
        {L"https://?x", false},
        {L"https://#x", false},
        {L" https://example.invalid", false},
        {L"https://example.invalid/a b", false},
        {L"https://example.invalid/\"x", false},
        {L"https://example.invalid\\..\\x", false},
        {L"https://example.invalid/\n", false},
        {L"https://example.invalid/a\0b"s, false},
        {L"https://example.invalid/a\tb", false},
        {L"https://example.invalid/a\x7F", false},
        {L"https://example.invalid/~a!b", true}, // the ends of the printable range
        {L"https://example.invalid/a\x9B", false},
        {L"https://example.invalid/\u0085", false},
        {L"https://example.invalid/\uFF02--x", false},
        {L"https://example.invalid/\u202Eexe.txt", false},
        {LinkOfLength(2048), true},
        {LinkOfLength(2049), false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::IsWebLink(c.link), c.offered) << c.link.substr(0, 40);
}

} // namespace
