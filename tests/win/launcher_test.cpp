// The launcher's Windows side in-process: its window objects and the
// single-instance rule, which the main program shares.
#include "launcher/Control.h"
#include "launcher/Instance.h"
#include "main/SingleInstance.h"
#include "tools/Hold.h"
#include "ui/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

namespace {

constexpr wchar_t kTestMutex[] = L"MirvexWinTests.LauncherInstance";

TEST(InstanceMutex, AnotherHolderOfTheNameKeepsBothProgramsFromRunning) {
    const struct {
        const char* program;
        std::function<bool(const wchar_t*)> runs;
    } programs[] = {
        {"launcher", [](const wchar_t* name) { return launcher::InstanceMutex(name).IsOnly(); }},
        {"main program", [](const wchar_t* name) { return SingleInstance(name).IsFirst(); }},
    };
    for (const auto& program : programs) {
        SCOPED_TRACE(program.program);
        EXPECT_TRUE(program.runs(kTestMutex)) << "free name";
        {
            const launcher::InstanceMutex first(kTestMutex);
            ASSERT_TRUE(first.IsOnly());
            EXPECT_FALSE(program.runs(kTestMutex)) << "held by another launcher";
        }
        {
            const ui::UniqueHandle locked = hold::LockedMutex(kTestMutex);
            ASSERT_TRUE(locked);
            ASSERT_FALSE(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kTestMutex));
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
            EXPECT_FALSE(program.runs(kTestMutex)) << "held where it may not be opened";
        }
        EXPECT_TRUE(program.runs(kTestMutex)) << "free again";
    }
}

TEST(WindowObjects, PlainDataWithoutAWindow) {
    const auto app = launcher::NewAppControl(L"미르벡스");
    launcher::Hide(*app);
    const auto form = launcher::NewFormControl(*app, L"미르벡스");
    EXPECT_EQ(form->ClassName, L"Form");
    launcher::SetSize(*form, 240, 40);
    launcher::SetSize(*form, 0, -1); // sides of 0 or less stay
    launcher::SetClassName(*form, L"First");
    launcher::SetClassName(*form, L"SvcMirvex");
    form->Style = WS_VISIBLE | WS_CAPTION;
    launcher::Hide(*form);

    EXPECT_EQ(app->ClassName, L"App");
    EXPECT_EQ(form->Parent, app.get());
    EXPECT_EQ(launcher::GetCaption(*form), L"미르벡스");
    EXPECT_EQ(launcher::GetHandle(*form), nullptr);
    EXPECT_EQ(form->Width, 240);
    EXPECT_EQ(form->Height, 40);
    EXPECT_EQ(form->ClassName, L"SvcMirvex");
    EXPECT_FALSE(form->Visible);
    EXPECT_EQ(form->Style, static_cast<DWORD>(WS_CAPTION));
}

} // namespace
