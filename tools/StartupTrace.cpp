// Linked only into MirvexTraced.exe, the start-up benchmark's build of the
// main program: it installs a recorder for the program's start-up marks
// before the entry runs, and when the window has been shown it writes the
// marks to startup-trace.txt beside the program, one "phase<TAB>us" line
// each (us: the performance counter in microseconds).

#include "Microseconds.h"
#include "main/StartupMarks.h"
#include "ui/Handles.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

namespace {

using startup::Phase;

constexpr wchar_t kTraceFile[] = L"startup-trace.txt";
constexpr const char* kPhaseNames[] = {"entry",          "set-up",      "window-created",
                                       "translated",     "hotkeys-set", "records-loaded",
                                       "update-started", "shown"};
constexpr std::size_t kPhaseCount = std::size(kPhaseNames);
static_assert(static_cast<std::size_t>(Phase::Shown) + 1 == kPhaseCount);

std::array<std::int64_t, kPhaseCount> marks{};

std::wstring TracePath() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + kTraceFile;
}

void WriteTrace() {
    std::string text;
    for (std::size_t i = 0; i < kPhaseCount; ++i)
        if (marks[i])
            text += std::string(kPhaseNames[i]) + '\t' + std::to_string(marks[i]) + '\n';
    // Written to a new name and moved into place, so a reader never sees
    // half of it.
    const std::wstring path = TracePath();
    const std::wstring partial = path + L".part";
    {
        const ui::UniqueHandle file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void Record(Phase phase) {
    marks[static_cast<std::size_t>(phase)] = MicrosecondsNow();
    if (phase == Phase::Shown)
        WriteTrace();
}

// Runs while the C runtime starts, before the program's entry.
const bool installed = (startup::SetRecorder(Record), true);

} // namespace
