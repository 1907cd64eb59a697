// The launcher's Windows side in-process: its window objects and the
// single-instance rule, which both programs share.
#include "common/SingleInstance.h"
#include "launcher/Control.h"
#include "tools/Hold.h"
#include "ui/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kTestMutex[] = L"MirvexWinTests.LauncherInstance";

bool Runs(const wchar_t* name) {
    return Orv::SingleInstance(name).IsFirst();
}

TEST(InstanceMutex, AnotherHolderOfTheNameKeepsTheProgramFromRunning) {
    EXPECT_TRUE(Runs(kTestMutex)) << "free name";
    {
        const Orv::SingleInstance first(kTestMutex);
        ASSERT_TRUE(first.IsFirst());
        EXPECT_FALSE(Runs(kTestMutex)) << "held by another copy";
    }
    {
        const ui::UniqueHandle locked = hold::LockedMutex(kTestMutex);
        ASSERT_TRUE(locked);
        ASSERT_FALSE(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kTestMutex));
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_FALSE(Runs(kTestMutex)) << "held where it may not be opened";
    }
    EXPECT_TRUE(Runs(kTestMutex)) << "free again";
}

// A start, asked whether it runs while `hold` runs with its mutex still
// held.
bool StartAndHold(const wchar_t* name, const std::function<void()>& hold) {
    const Orv::SingleInstance instance(name);
    hold();
    return instance.IsFirst();
}

// Lets two threads go on together: the n-th call of each returns once both
// have made it, or false once the bound has passed without the other.
class Meeting {
  public:
    bool Arrive(int call) {
        arrived_.fetch_add(1);
        const auto deadline = std::chrono::steady_clock::now() + kBound;
        while (arrived_.load() < 2 * (call + 1))
            if (std::chrono::steady_clock::now() > deadline)
                return false;
        return true;
    }

  private:
    static constexpr auto kBound = std::chrono::seconds(20);
    std::atomic<int> arrived_{0};
};

TEST(InstanceMutex, TwoStartsAtTheSameMomentLetExactlyOneRun) {
    constexpr int kRounds = 200;
    // Each round two threads claim a fresh name at the same moment, and now
    // and then both miss the open and race to create it. Each holds its
    // start until the other's is made.
    std::vector<std::array<bool, 2>> runs(kRounds);
    std::array<bool, 2> met{true, true};
    Meeting meeting;
    auto claim = [&](std::size_t side) {
        int call = 0;
        for (int round = 0; round < kRounds && met[side]; ++round) {
            const std::wstring name = std::wstring(kTestMutex) + L".Race." + std::to_wstring(round);
            if (!meeting.Arrive(call++))
                met[side] = false;
            else
                runs[round][side] =
                    StartAndHold(name.c_str(), [&] { met[side] = meeting.Arrive(call++); });
        }
    };
    std::thread other(claim, 1);
    claim(0);
    other.join();
    ASSERT_TRUE(met[0] && met[1]) << "a start did not come back within the bound";
    for (int round = 0; round < kRounds; ++round)
        ASSERT_NE(runs[round][0], runs[round][1]) << "round " << round;
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
