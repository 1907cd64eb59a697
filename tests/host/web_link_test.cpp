#include "core/WebLink.h"

#include <gtest/gtest.h>

namespace {

TEST(WebLink, OnlyAbsoluteWebAddressesMayGoToTheShell) {
    const struct {
        const wchar_t* link;
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
        {L"https://example.invalid/\u007F", false},
        {L"https://example.invalid/\u0085", false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::IsWebLink(c.link), c.offered) << c.link;
}

} // namespace
