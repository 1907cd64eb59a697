// Names, texts and colours that more than one part of the main window uses.
// The texts are the Korean source texts; they are shown through Translate.
#pragma once

#include <windows.h>

#include <cstddef>

namespace mainwindow {

// Settings values (HKEY_CURRENT_USER\Software\Norvale\Mirvex).
inline constexpr wchar_t kHotKeyRunValue[] = L"hotkey_run";
inline constexpr wchar_t kHotKeyAddValue[] = L"hotkey_add";
inline constexpr wchar_t kClickAfterValue[] = L"click_after";
inline constexpr int kDefaultRunKey = 114; // F3
inline constexpr int kDefaultAddKey = 115; // F4

// The record file beside the program.
inline constexpr wchar_t kRecordFileName[] = L"Mirvex.lst";
// A larger record file is refused as unreadable: 10,000 rows take about
// 250 KB, so no list the window can hold comes near it.
inline constexpr std::size_t kRecordFileLimit = 16u << 20;

// Status panel: the two states and the panel's own colours.
inline constexpr COLORREF kSilver = RGB(192, 192, 192);
inline constexpr COLORREF kYellow = RGB(255, 255, 0);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kWaitingColor = kSilver;
inline constexpr COLORREF kRunningColor = kYellow;
inline constexpr wchar_t kWaitingText[] = L"대기중입니다.";
inline constexpr wchar_t kRunningText[] = L"실행중입니다.";

// Warnings.
inline constexpr wchar_t kDelayNotSet[] = L"딜레이 시간이 설정되지 않았습니다.";
inline constexpr wchar_t kNoRecords[] = L"레코드에 등록된 정보가 없습니다.";
// The close could not write the record file; the file name and the reason
// follow, then the question whether to close anyway.
inline constexpr wchar_t kRecordSaveFailed[] = L"레코드 파일을 저장하지 못했습니다.";
inline constexpr wchar_t kCloseWithoutSaving[] = L"저장하지 않고 닫을까요?";
// The record file was not read at start, so the close leaves it alone and
// the rows in the list are lost; the file name follows.
inline constexpr wchar_t kRecordRowsNotSaved[] = L"시작할 때 레코드 파일을 읽지 못했습니다. 파일은 "
                                                 L"그대로 두고, 목록의 레코드는 저장하지 않습니다.";

// Lines inside a message-box text are separated by two carriage returns.
inline constexpr wchar_t kMessageLineBreak[] = L"\r\r";

} // namespace mainwindow
