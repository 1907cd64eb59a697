#include "Fixtures.h"

#include "common/Translate.h"

namespace {

TEST(MainWindowSmoke, EnglishWindowIsTranslatedAndWaiting) {
    wintest::ClearSettings();
    wintest::MainWindow window;
    EXPECT_EQ(window->Caption(), L"Mirvex");
    EXPECT_EQ(window->PanelMessage.Caption(), L"Waiting");
    EXPECT_EQ(window->InputMouse.Text(), L"Left");
}

} // namespace
