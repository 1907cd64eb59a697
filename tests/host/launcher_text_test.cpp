#include "core/LauncherText.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

namespace key = core::launcher_text;

TEST(LauncherText, FullLocaleIdentifiersSelectTheText) {
    const struct {
        const wchar_t* key;
        std::uint32_t lcid;
        const wchar_t* text;
    } cases[] = {
        {key::kProductName, 1042, L"미르벡스"},
        {key::kProductName, 1041, L"Mirvex"}, // no Japanese product name
        {key::kAbout, 1042, L"만든이 노르발레"},
        {key::kQuit, 2052, L"结束"},
        {key::kAbout, 1031, L"About"}, // no German text for these two
        {key::kQuit, 1031, L"Quit"},
        {key::kReinstall, 1031, L"Bitte neu installieren und ausführen."},
        {key::kConfigurationInvalid, 1041, L"アプリケーションの設定ファイルが無効です\u3002"},
        {key::kRecommended, 1041,
         L"安定的に使用するために新しくダウンロード\u00B7実行することをお勧めします\u3002"},
        {key::kAskDownload, 2052, L"您要下载吗\uFF1F"},
        {key::kAskDownload, 1041, L"ダウンロードしますか\u3002"},
        // Same languages in other countries get the key.
        {key::kUpdated, 3079, key::kUpdated}, // German, Austria
        {key::kUpdated, 2055, key::kUpdated}, // German, Switzerland
        {key::kUpdated, 3084, key::kUpdated}, // French, Canada
        {key::kUpdated, 1028, key::kUpdated}, // Chinese, Taiwan
        {key::kUpdated, 4100, key::kUpdated}, // Chinese, Singapore
        {key::kUpdated, 0, key::kUpdated},
        // Near misses of a key are not found.
        {L"mirvex", 1042, L"mirvex"},
        {L"Mirvex ", 1042, L"Mirvex "},
        {L"Please reinstall and run", 1031, L"Please reinstall and run"},
        {L"Please reinstall and run..", 1031, L"Please reinstall and run.."},
        {L"", 1042, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::LauncherText(c.key, c.lcid), c.text)
            << testing::PrintToString(c.key) << " " << c.lcid;
}

} // namespace
