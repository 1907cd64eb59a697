// The record file: loading in every encoding and line form, saving as ANSI
// with CR LF, the language-independent indexes, and failures that must leave
// both the list and the file as they were.
#include "Fixtures.h"

#include "common/AnsiText.h"
#include "main/FileIo.h"
#include "ui/Handles.h"
#include "core/TextCodec.h"

#include <limits>

namespace {

using wintest::MainWindow;
using wintest::ReadBytes;
using wintest::TempFolder;
using wintest::WriteBytes;
using wintest::WriteSpy;

constexpr std::size_t kLimit = 16u << 20; // the largest record file read
constexpr wchar_t kLongPathPrefix[] = L"\\\\?\\";

using Row = std::vector<std::wstring>;

std::vector<Row> Rows(TFrmMain& form) {
    return wintest::ListRows(form.ListArea);
}

// "<what> '<path in UTF-8>'", the start of every file error message.
std::string Naming(const char* what, const std::wstring& path) {
    std::string text = what;
    text += " '";
    text += core::ToUtf8(path);
    text += '\'';
    return text;
}

class RecordFile : public wintest::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        folder = std::make_unique<TempFolder>();
        file = folder->File(L"Mirvex.lst");
    }
    void TearDown() override {
        folder.reset();
        MainWindowTest::TearDown();
    }

    std::unique_ptr<TempFolder> folder;
    std::wstring file;
};

struct LoadCase {
    const char* name;
    std::string bytes;
    std::vector<Row> rows;
};

const Row kLeftDouble{L"0x0", L"Left", L"Double", L"00:00:01.00"};
const Row kWheelSingle{L"-1280x200", L"Wheel", L"Single", L"00:00:00.50"};

std::string Utf16Le(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}

class RecordFileLoad : public RecordFile, public testing::WithParamInterface<LoadCase> {};

TEST_P(RecordFileLoad, GivesTheRowsOfEveryFourFieldLine) {
    WriteBytes(file, GetParam().bytes);
    Form().LoadRecord(file);
    EXPECT_EQ(Rows(Form()), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RecordFileLoad,
    testing::Values(LoadCase{"AnsiCrLf",
                             "0x0,0,1,00:00:01.00\r\n-1280x200,2,0,00:00:00.50\r\n",
                             {kLeftDouble, kWheelSingle}},
                    LoadCase{"LineFeedsOnly",
                             "0x0,0,1,00:00:01.00\n-1280x200,2,0,00:00:00.50\n",
                             {kLeftDouble, kWheelSingle}},
                    LoadCase{"NoFinalBreak",
                             "0x0,0,1,00:00:01.00\r\n-1280x200,2,0,00:00:00.50",
                             {kLeftDouble, kWheelSingle}},
                    LoadCase{"Utf8WithMark",
                             "\xEF\xBB\xBF"
                             "0x0,0,1,00:00:01.00\r\n-1280x200,2,0,00:00:00.50\r\n",
                             {kLeftDouble, kWheelSingle}},
                    LoadCase{"Utf16WithMark",
                             Utf16Le(L"0x0,0,1,00:00:01.00\r\n-1280x200,2,0,00:00:00.50\r\n"),
                             {kLeftDouble, kWheelSingle}},
                    LoadCase{"AnsiCodePage",
                             "7x7\xE9,1,0,00:00:01.00\r\n",
                             {{L"7x7\u00E9", L"Right", L"Single", L"00:00:01.00"}}},
                    LoadCase{"UnknownIndexGivesAnEmptyName",
                             "5x5,3,0,00:00:01.00\r\n5x6,0,-1,00:00:01.00\r\n",
                             {{L"5x5", L"", L"Single", L"00:00:01.00"},
                              {L"5x6", L"Left", L"", L"00:00:01.00"}}},
                    LoadCase{"OtherLinesAreSkipped",
                             "1x1,0,0,00:00:01.00\r\n"
                             "1x2,0,0\r\n"
                             "\r\n"
                             "1x3,0,0,00:00:01.00,extra\r\n"
                             "1x4,0,0,00:00:01.00,\r\n"
                             "just text\r\n"
                             "2x2,1,1,00:00:02.00\r\n",
                             {{L"1x1", L"Left", L"Single", L"00:00:01.00"},
                              {L"2x2", L"Right", L"Double", L"00:00:02.00"}}},
                    LoadCase{"EmptyFile", "", {}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST_F(RecordFile, LoadAppendsToTheRowsAlreadyThere) {
    Form().ListArea.AddRow({L"9x9", L"Right", L"Single", L"00:00:03.00"});
    WriteBytes(file, "0x0,0,1,00:00:01.00\r\n");
    Form().LoadRecord(file);
    EXPECT_EQ(Rows(Form()),
              (std::vector<Row>{{L"9x9", L"Right", L"Single", L"00:00:03.00"}, kLeftDouble}));
}

TEST_F(RecordFile, SaveWritesTheLoadedLinesBack) {
    const std::string bytes = "0x0,0,1,00:00:01.00\r\n-1280x200,2,0,00:00:00.50\r\n";
    WriteBytes(file, bytes);
    Form().LoadRecord(file);
    const std::wstring copy = folder->File(L"copy.lst");
    Form().SaveRecord(copy);
    EXPECT_EQ(ReadBytes(copy), bytes);
    Form().SaveRecord(file);
    EXPECT_EQ(ReadBytes(file), bytes);
}

TEST_F(RecordFile, UnknownNameIsSavedAsMinusOne) {
    WriteBytes(file, "5x5,3,0,00:00:01.00\r\n");
    Form().LoadRecord(file);
    Form().SaveRecord(file);
    EXPECT_EQ(ReadBytes(file), "5x5,-1,0,00:00:01.00\r\n");
}

TEST_F(RecordFile, SaveIsAnsiWithCrLfAfterEveryLineAndNoMark) {
    Form().ListArea.AddRow({L"1x1\u00E9", L"Right", L"Single", L"00:00:01.00"});
    Form().ListArea.AddRow({L"2x2", L"wheel", L"DOUBLE", L"00:00:00.10"});
    Form().SaveRecord(file);
    EXPECT_EQ(ReadBytes(file), "1x1\xE9,1,0,00:00:01.00\r\n2x2,2,1,00:00:00.10\r\n");
}

TEST_F(RecordFile, SavedIndexesDoNotDependOnTheWindowLanguage) {
    MainWindow korean(false);
    korean->ListArea.AddRow({L"3x4", L"오른쪽", L"더블", L"00:00:01.00"});
    korean->SaveRecord(file);
    EXPECT_EQ(ReadBytes(file), "3x4,1,1,00:00:01.00\r\n");
    Form().LoadRecord(file);
    EXPECT_EQ(Rows(Form()), (std::vector<Row>{{L"3x4", L"Right", L"Double", L"00:00:01.00"}}));
}

TEST_F(RecordFile, KoreanWindowLoadsKoreanNames) {
    MainWindow korean(false);
    WriteBytes(file, "0x0,0,1,00:00:01.00\r\n");
    korean->LoadRecord(file);
    EXPECT_EQ(Rows(*korean), (std::vector<Row>{{L"0x0", L"왼쪽", L"더블", L"00:00:01.00"}}));
}

TEST_F(RecordFile, SavingAnEmptyListDeletesTheFile) {
    WriteBytes(file, "0x0,0,1,00:00:01.00\r\n");
    Form().LoadRecord(file);
    Form().BtnClearClick(nullptr);
    Form().SaveRecord(file);
    EXPECT_TRUE(folder->Entries().empty());
    Form().SaveRecord(file); // nothing to delete: no error either
    EXPECT_TRUE(folder->Entries().empty());
}

TEST_F(RecordFile, MissingFileLeavesTheListAsItWas) {
    Form().ListArea.AddRow(kLeftDouble);
    Form().LoadRecord(folder->File(L"missing.lst"));
    Form().LoadRecord(folder->File(L"missing\\Mirvex.lst")); // no folder either
    EXPECT_EQ(Rows(Form()), (std::vector<Row>{kLeftDouble}));
}

// The file is named to the system by its full path in the long form: a
// share as "\\?\UNC\host\share\...", dots resolved first (the long form
// takes them as names), a path already in that form as it is.
TEST(RecordFilePath, SystemIsAskedAboutTheFullPathInItsLongForm) {
    const struct {
        const wchar_t* path;
        const wchar_t* asked;
    } cases[] = {
        {LR"(\\host\share\Mirvex.lst)", LR"(\\?\UNC\host\share\Mirvex.lst)"},
        {LR"(C:\a\..\Mirvex.lst)", LR"(\\?\C:\Mirvex.lst)"},
        {LR"(\\?\C:\a\Mirvex.lst)", LR"(\\?\C:\a\Mirvex.lst)"},
    };
    for (const auto& c : cases) {
        wintest::FailingAttributes files(ERROR_FILE_NOT_FOUND);
        EXPECT_FALSE(FileExists(c.path, files));
        EXPECT_EQ(files.asked, std::vector<std::wstring>{c.asked});
    }
}

TEST_F(RecordFile, DirectoryWithTheFilesNameIsNotLoaded) {
    ASSERT_TRUE(CreateDirectoryW(file.c_str(), nullptr));
    Form().ListArea.AddRow(kLeftDouble);
    Form().LoadRecord(file);
    EXPECT_EQ(Rows(Form()), (std::vector<Row>{kLeftDouble}));
}

TEST_F(RecordFile, BadIndexFailsTheWholeLoadAndNamesTheFile) {
    const std::wstring named = folder->File(L"기록.lst");
    WriteBytes(named, "1x1,0,0,00:00:01.00\r\n2x2,x,0,00:00:01.00\r\n");
    Form().ListArea.AddRow(kWheelSingle);
    const std::string message = wintest::ErrorOf<FileError>([&] { Form().LoadRecord(named); });
    EXPECT_NE(message.find(Naming("The record file", named)), std::string::npos) << message;
    EXPECT_NE(message.find("line 2"), std::string::npos) << message;
    EXPECT_NE(message.find("'x' is not a valid whole number"), std::string::npos) << message;
    EXPECT_EQ(Rows(Form()), (std::vector<Row>{kWheelSingle}));
}

TEST_F(RecordFile, FileOverTheLimitIsRefusedUnread) {
    // One row, then a line of one field (skipped) up to the size.
    const std::string row = "0x0,0,1,00:00:01.00\r\n";
    for (const std::size_t size : {kLimit, kLimit + 1}) {
        SCOPED_TRACE(size);
        WriteBytes(file, row + std::string(size - row.size(), 'a'));
        Form().ListArea.Clear();
        const std::string message = wintest::ErrorOf<FileError>([&] { Form().LoadRecord(file); });
        if (size > kLimit) {
            EXPECT_EQ(message, Naming("Cannot read the file", file) + ": it is larger than 16 MiB");
            EXPECT_EQ(Form().ListArea.Count(), 0);
        } else {
            EXPECT_EQ(message, wintest::kNoError);
            EXPECT_EQ(Rows(Form()), (std::vector<Row>{kLeftDouble}));
        }
    }
}

// The system's conversion counts in int: a longer text must not be
// converted in part (or not at all) and pass as converted. The memory is
// committed but never touched, so it costs no space.
TEST(AnsiText, TextLongerThanAnIntCanCountIsRefused) {
    const std::size_t size = static_cast<std::size_t>(std::numeric_limits<int>::max()) + 16;
    void* memory = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(memory, nullptr);
    const std::string_view text(static_cast<const char*>(memory), size);
    EXPECT_THROW(Orv::FromAnsi(text), std::length_error);
    VirtualFree(memory, 0, MEM_RELEASE);
}

TEST_F(RecordFile, FileThatCannotBeOpenedFailsAndNamesTheFile) {
    WriteBytes(file, "0x0,0,1,00:00:01.00\r\n");
    // Held open by someone who shares nothing.
    const ui::UniqueHandle held(
        CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    Form().ListArea.AddRow(kWheelSingle);
    const std::string message = wintest::ErrorOf<FileError>([&] { Form().LoadRecord(file); });
    EXPECT_EQ(message.rfind(Naming("Cannot open the file", file) + ": ", 0), 0u) << message;
    EXPECT_EQ(Rows(Form()), (std::vector<Row>{kWheelSingle}));
}

class FailedSave : public RecordFile {
  protected:
    void SetUp() override {
        RecordFile::SetUp();
        WriteBytes(file, kOld);
        Form().ListArea.AddRow({L"5x5", L"Left", L"Single", L"00:00:01.00"});
    }
    static constexpr const char* kOld = "0x0,0,1,00:00:01.00\r\n";
};

// The new file cannot replace the old one while someone holds the old one
// open without sharing it: the save fails, the old content and no temporary
// file remain.
TEST_F(FailedSave, TargetHeldOpenWithoutSharing) {
    ui::UniqueHandle held(
        CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    const std::string message = wintest::ErrorOf<FileError>([&] { Form().SaveRecord(file); });
    held.reset();
    EXPECT_EQ(message.rfind(Naming("Cannot write the file", file) + ": ", 0), 0u) << message;
    EXPECT_EQ(ReadBytes(file), kOld);
    EXPECT_EQ(folder->Entries(), (std::vector<std::wstring>{L"Mirvex.lst"}));
}

// A file the user marked read-only is neither replaced nor deleted, on
// Windows and under Wine alike.
TEST_F(FailedSave, ReadOnlyTarget) {
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string message = wintest::ErrorOf<FileError>([&] { Form().SaveRecord(file); });
    Form().ListArea.Clear();
    Form().SaveRecord(file);
    const std::string left = ReadBytes(file);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(message.rfind(Naming("Cannot write the file", file) + ": ", 0), 0u) << message;
    EXPECT_EQ(left, kOld);
    EXPECT_EQ(folder->Entries(), (std::vector<std::wstring>{L"Mirvex.lst"}));
}

// A save writes "<file>.tmp" beside the file, however long the folder's
// path, and at a drive root too, then puts it in the file's place. Saves and
// loads name the file to the system by its full path with "\\?\" before it,
// which Windows needs past MAX_PATH (Wine does without).
TEST_F(RecordFile, NewContentIsWrittenBesideTheFileUnderItsName) {
    // Folders nested past MAX_PATH, removed again at the end (the temporary
    // folder's own clean-up cannot reach that deep).
    std::vector<std::wstring> folders{std::wstring(kLongPathPrefix) + folder->Path().wstring()};
    const auto removeFolders = [&] {
        DeleteFileW((folders.back() + L"\\Mirvex.lst").c_str());
        for (auto it = folders.rbegin(); it + 1 != folders.rend(); ++it)
            RemoveDirectoryW(it->c_str());
    };
    while (folders.back().size() < MAX_PATH + 20) {
        folders.push_back(folders.back() + L"\\" + std::wstring(40, L'd'));
        ASSERT_TRUE(CreateDirectoryW(folders.back().c_str(), nullptr)) << GetLastError();
    }
    const std::wstring& deep = folders.back();
    const std::wstring atRoot =
        L"C:\\mirvex-root-" + std::to_wstring(GetCurrentProcessId()) + L".lst";
    const std::wstring paths[] = {
        file, deep.substr(std::size(kLongPathPrefix) - 1) + L"\\Mirvex.lst", atRoot};
    for (const auto& path : paths) {
        SCOPED_TRACE(core::ToUtf8(path));
        const std::wstring full = kLongPathPrefix + path;
        std::vector<bool> besideWhileWritten;
        WriteSpy files;
        files.onWrite = [&] {
            besideWhileWritten.push_back(GetFileAttributesW((full + L".tmp").c_str()) !=
                                         INVALID_FILE_ATTRIBUTES);
        };
        MainWindow window(true, files);
        files.asked.clear();
        window->ListArea.AddRow(kLeftDouble);
        window->SaveRecord(path);
        window->SaveRecord(path); // over the file the first save made
        window->LoadRecord(path);
        EXPECT_EQ(besideWhileWritten, (std::vector<bool>{true, true}));
        EXPECT_EQ(files.asked, std::vector<std::wstring>(3, full));
        EXPECT_EQ(ReadBytes(full), "0x0,0,1,00:00:01.00\r\n");
        EXPECT_EQ(GetFileAttributesW((full + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    DeleteFileW(atRoot.c_str());
    removeFolders();
}

// What a save interrupted by a crash or power loss left is never read as
// the list, and the next good save removes it, as does one that deletes.
// It may carry attributes that would stop the new file or pass on to it:
// hidden, from a list that was hidden then (Windows creates no plain file
// over a hidden one), or read-only, from a user (Wine then makes the saved
// list read-only).
TEST_F(RecordFile, LeftoverTemporaryFileIsNeverReadAndGoesWithTheNextSave) {
    const std::wstring leftover = TemporaryFileOf(file);
    for (const bool withFile : {true, false}) {
        SCOPED_TRACE(withFile);
        if (withFile)
            WriteBytes(file, "0x0,0,1,00:00:01.00\r\n");
        WriteBytes(leftover, "-1280x200,2,0,00:00:00.50\r\n");
        ASSERT_TRUE(
            SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
        Form().ListArea.Clear();
        Form().LoadRecord(file);
        EXPECT_EQ(Rows(Form()), withFile ? std::vector<Row>{kLeftDouble} : std::vector<Row>{});
        Form().ListArea.AddRow(kLeftDouble);
        Form().SaveRecord(file);
        EXPECT_EQ(folder->Entries(), (std::vector<std::wstring>{L"Mirvex.lst"}));
        WriteBytes(leftover, "-1280x200,2,0,00:00:00.50\r\n");
        Form().ListArea.Clear();
        Form().SaveRecord(file);
        EXPECT_TRUE(folder->Entries().empty());
    }
}

TEST_F(RecordFile, ReplacedFileKeepsItsAttributes) {
    WriteBytes(file, "0x0,0,1,00:00:01.00\r\n");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    Form().ListArea.AddRow(kWheelSingle);
    Form().SaveRecord(file);
    EXPECT_EQ(ReadBytes(file), "-1280x200,2,0,00:00:00.50\r\n");
    EXPECT_EQ(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

// The disk fills after part of the new content is written: the old file
// stays byte for byte (or stays absent), and nothing else is left.
TEST_F(RecordFile, WriteFailingHalfwayLeavesTheOldFileWhole) {
    for (const bool withFile : {true, false}) {
        SCOPED_TRACE(withFile);
        if (withFile)
            WriteBytes(file, "0x0,0,1,00:00:01.00\r\n");
        WriteSpy files;
        files.failAfter = 10;
        MainWindow window(true, files);
        window->ListArea.AddRow(kWheelSingle);
        window->ListArea.AddRow(kLeftDouble);
        const std::string message = wintest::ErrorOf<FileError>([&] { window->SaveRecord(file); });
        EXPECT_EQ(message.rfind(Naming("Cannot write the file", file) + ": ", 0), 0u) << message;
        EXPECT_EQ(files.writes, 1);
        if (withFile) {
            EXPECT_EQ(ReadBytes(file), "0x0,0,1,00:00:01.00\r\n");
            EXPECT_EQ(folder->Entries(), (std::vector<std::wstring>{L"Mirvex.lst"}));
            DeleteFileW(file.c_str());
        } else {
            EXPECT_TRUE(folder->Entries().empty());
        }
    }
}

TEST_F(RecordFile, SaveOntoADirectoryFailsAndLeavesNoTemporaryFile) {
    ASSERT_TRUE(CreateDirectoryW(file.c_str(), nullptr));
    Form().ListArea.AddRow(kLeftDouble);
    const std::string message = wintest::ErrorOf<FileError>([&] { Form().SaveRecord(file); });
    EXPECT_EQ(message.rfind(Naming("Cannot write the file", file) + ": ", 0), 0u) << message;
    EXPECT_EQ(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(folder->Entries(), (std::vector<std::wstring>{L"Mirvex.lst"}));
}

TEST_F(RecordFile, SaveIntoAMissingFolderFails) {
    const std::wstring inside = folder->File(L"no-such-folder\\Mirvex.lst");
    Form().ListArea.AddRow(kLeftDouble);
    const std::string message = wintest::ErrorOf<FileError>([&] { Form().SaveRecord(inside); });
    EXPECT_EQ(message.rfind(Naming("Cannot write the file", inside) + ": ", 0), 0u) << message;
    EXPECT_TRUE(folder->Entries().empty());
}

} // namespace
