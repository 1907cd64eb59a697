#include "Fixtures.h"

#include "common/Translate.h"
#include "main/FileIo.h"
#include "ui/Component.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace wintest {
namespace {

constexpr UINT_PTR kClickTimerId = 1;
// An id of the tests' own for probing whether a combination is taken.
constexpr int kProbeId = 0x7E57;

const ui::FormOptions kHostFormOptions{L"MirvexTestHost", 400, 300, true, false, false, 0};

// Clears the attributes of everything in the folder, so that read-only files
// can be removed too: a test that failed halfway may have left some, and the
// next run under Wine gets the same process id, so the same folder name.
void MakeRemovable(const std::filesystem::path& folder) {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace

std::wstring SettingsSubKey(const std::wstring& path) {
    return L"Software\\" + path;
}

bool SettingsKeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsSubKey(path).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void StoreValue(const std::wstring& name, DWORD type, const void* data, DWORD size,
                const std::wstring& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SettingsSubKey(path).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void StoreDword(const std::wstring& name, DWORD value, const std::wstring& path) {
    StoreValue(name, REG_DWORD, &value, sizeof(value), path);
}

void StoreString(const std::wstring& name, const std::wstring& value, const std::wstring& path) {
    StoreValue(name, REG_SZ, value.c_str(),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)), path);
}

std::optional<StoredValue> ReadStored(const std::wstring& name, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsSubKey(path).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.data.resize(size);
        status =
            RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
        value.data.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<DWORD> StoredDword(const std::wstring& name, const std::wstring& path) {
    const auto stored = ReadStored(name, path);
    if (!stored || stored->type != REG_DWORD || stored->data.size() != sizeof(DWORD))
        return std::nullopt;
    DWORD value = 0;
    std::copy(stored->data.begin(), stored->data.end(), reinterpret_cast<BYTE*>(&value));
    return value;
}

void SetLanguage(const std::wstring& language) {
    if (language.empty()) {
        // The only way back to "no language" is the shutdown step.
        Orv::FreeTranslationCatalogue();
        Orv::LoadTranslationCatalogue();
        return;
    }
    ui::TComponent nothing(nullptr);
    Orv::TranslateControl(nothing, language);
}

LanguageScope::LanguageScope() : saved_(Orv::CurrentLanguage()) {}
LanguageScope::~LanguageScope() {
    SetLanguage(saved_);
}

TempFolder::TempFolder() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            (L"mirvex-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter));
    MakeRemovable(path_);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    MakeRemovable(path_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::wstring> TempFolder::Entries() const {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

DWORD WriteSpy::GetAttributes(const std::wstring& path, DWORD& error) {
    asked.push_back(path);
    return WindowsFiles::GetAttributes(path, error);
}

DWORD WriteSpy::Write(HANDLE file, const char* data, DWORD size, DWORD& done) {
    ++writes;
    if (onWrite)
        onWrite();
    if (!failAfter)
        return WindowsFiles::Write(file, data, size, done);
    WindowsFiles::Write(file, data, std::min(size, *failAfter), done);
    return ERROR_DISK_FULL;
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::vector<std::wstring>> ListRows(const ui::TListView& list) {
    std::vector<std::vector<std::wstring>> rows;
    for (int i = 0; i < list.Count(); ++i)
        rows.push_back(list.Row(i));
    return rows;
}

std::uint32_t RunHotKeyId() {
    return GlobalFindAtomW(L"HotKeyRun");
}

bool CombinationIsFree(UINT modifiers, UINT key) {
    if (!RegisterHotKey(nullptr, kProbeId, modifiers, key))
        return false;
    UnregisterHotKey(nullptr, kProbeId);
    return true;
}

void PumpMessages() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

MainWindow::MainWindow(bool runFormCreate, IFileSystem& files)
    : form(std::make_unique<TFrmMain>(input, notice, timerPeriod, files)) {
    if (runFormCreate)
        ui::Guard([&] { form->FormCreate(form.get()); });
}

MainWindow::~MainWindow() {
    // Release what FormCreate took (hotkeys, atom) without saving the list.
    if (form && form->Handle()) {
        UnregisterHotKey(form->Handle(), static_cast<int>(RunHotKeyId()));
        UnregisterHotKey(form->Handle(), static_cast<int>(kAddHotKeyId));
    }
}

void Tick(TFrmMain& form) {
    ui::Guard([&] {
        if (form.TmrClick.OnEarly)
            form.TmrClick.OnEarly();
        form.TmrClickTimer(&form.TmrClick);
    });
}

void SendClickTimer(TFrmMain& form) {
    SendMessageW(form.Handle(), WM_TIMER, kClickTimerId, 0);
}

std::wstring DefaultRecordFile() {
    return ProgramDirectory() + L"Mirvex.lst";
}

void CleanStateTest::SetUp() {
    ClearSettings();
    DeleteFileW(DefaultRecordFile().c_str());
}

void CleanStateTest::TearDown() {
    ClearSettings();
    DeleteFileW(DefaultRecordFile().c_str());
}

std::unique_ptr<ui::TForm> MakeHostForm(const std::wstring& caption) {
    return std::make_unique<ui::TForm>(kHostFormOptions, caption, ui::FontSpec{});
}

} // namespace wintest
