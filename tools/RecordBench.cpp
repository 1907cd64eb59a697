// Prints how long the main window takes to load and to save a record file of
// 10,000 rows (the real window class, list view and file code). Not a test:
// figures only.
#include "main/Main.h"

#include "common/Translate.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 10000;
constexpr int kRounds = 5;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

template <typename F> double Time(F&& work) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int wmain() {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                            ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Orv::LoadTranslationCatalogue();

    const auto folder = std::filesystem::temp_directory_path() / L"mirvex-record-bench";
    std::filesystem::create_directories(folder);
    const std::wstring source = (folder / L"source.lst").wstring();
    const std::wstring target = (folder / L"saved.lst").wstring();
    {
        std::ofstream out(std::filesystem::path(source), std::ios::binary);
        for (int i = 0; i < kRows; ++i)
            out << (i % 1920) - 200 << 'x' << (i % 1080) << ',' << i % 3 << ',' << i % 2
                << ",00:00:01.00\r\n";
    }

    std::vector<double> creates;
    std::vector<double> loads;
    std::vector<double> saves;
    std::vector<double> destroys;
    for (int round = 0; round < kRounds; ++round) {
        std::unique_ptr<TFrmMain> form;
        creates.push_back(Time([&] { form = std::make_unique<TFrmMain>(); }));
        form->Show(SW_SHOWNOACTIVATE);
        loads.push_back(Time([&] { form->LoadRecord(source); }));
        if (form->ListArea.Count() != kRows) {
            std::printf("loaded %d rows, expected %d\n", form->ListArea.Count(), kRows);
            return 1;
        }
        saves.push_back(Time([&] { form->SaveRecord(target); }));
        destroys.push_back(Time([&] { form.reset(); }));
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);

    std::printf("record file of %d rows, median of %d rounds\n", kRows, kRounds);
    std::printf("  load (read, decode, parse, fill the list): %8.1f ms\n", Median(loads));
    std::printf("  save (format, encode, write atomically):   %8.1f ms\n", Median(saves));
    std::printf("  window creation (empty list):              %8.1f ms\n", Median(creates));
    std::printf("  window destruction (full list):            %8.1f ms\n", Median(destroys));
    return 0;
}
