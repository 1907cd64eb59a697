#include "main/FileIo.h"

#include "common/ProgramFile.h"
#include "core/TextCodec.h"
#include "ui/Handles.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD kChunk = 1u << 20;
constexpr std::size_t kMiB = 1u << 20;
constexpr wchar_t kTemporarySuffix[] = L".tmp";
constexpr wchar_t kLongPathPrefix[] = L"\\\\?\\";
constexpr wchar_t kDevicePrefix[] = L"\\\\.\\";
constexpr wchar_t kShareLongPrefix[] = L"\\\\?\\UNC\\";
constexpr wchar_t kSharePrefix[] = L"\\\\";
// What the new content takes over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::wstring SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.'))
        text.pop_back();
    if (text.empty())
        text = L"system error " + std::to_wstring(error);
    return text;
}

// The path as the file functions take it at any length: full, with the
// "\\?\" prefix ("\\?\UNC\" for a share). A path that cannot be made full is
// passed on as it is, so the call itself reports why.
std::wstring SystemPath(const std::wstring& path) {
    if (path.starts_with(kLongPathPrefix) || path.starts_with(kDevicePrefix))
        return path;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return path;
    full.resize(length);
    if (full.starts_with(kSharePrefix))
        return kShareLongPrefix + full.substr(std::size(kSharePrefix) - 1);
    return kLongPathPrefix + full;
}

// The two answers that mean the file is not there; anything else means it
// could not be told.
bool IsNotThere(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsReadOnly(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool IsDirectory(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileError TooLarge(const std::wstring& path, std::size_t limit) {
    return FileError("Cannot read the file", path,
                     L"it is larger than " + std::to_wstring(limit / kMiB) + L" MiB");
}

// Writes every byte to a new file and flushes it to disk: ERROR_SUCCESS or
// the reason. `created` tells whether the file was made.
DWORD WriteNewFile(const std::wstring& path, std::string_view bytes, DWORD attributes,
                   IFileSystem& files, bool& created) {
    // A file an interrupted save left may carry attributes a new file
    // cannot be created over.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ui::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    created = file.get() != INVALID_HANDLE_VALUE;
    if (!created)
        return GetLastError();
    std::size_t written = 0;
    while (written < bytes.size()) {
        const auto chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, kChunk));
        DWORD done = 0;
        const DWORD error = files.Write(file.get(), bytes.data() + written, chunk, done);
        if (error != ERROR_SUCCESS)
            return error;
        if (done == 0)
            return ERROR_WRITE_FAULT;
        written += done;
    }
    return FlushFileBuffers(file.get()) ? ERROR_SUCCESS : GetLastError();
}

DWORD MoveIntoPlace(const std::wstring& temporary, const std::wstring& target) {
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? ERROR_SUCCESS
                                                                                  : GetLastError();
}

// Puts the new file in the old one's place. ReplaceFileW keeps what the old
// file carries (attributes, permissions); with no old file the new one
// simply takes the name.
DWORD PutInPlace(const std::wstring& temporary, const std::wstring& target) {
    // The old file must be free to go: one that another program holds open
    // without sharing cannot be replaced. Asked first, because some systems'
    // ReplaceFileW leave a copy of the old file behind when they fail on it.
    {
        const ui::UniqueHandle old(
            CreateFileW(target.c_str(), GENERIC_READ | DELETE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (old.get() == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND ? MoveIntoPlace(temporary, target) : error;
        }
    }
    // REPLACEFILE_IGNORE_MERGE_ERRORS: when Windows cannot carry the old
    // file's properties over to the new one (its permissions, say, for a
    // user without the right to change them), it still puts the new content
    // in place rather than failing the save. Wine's ReplaceFileW ignores its
    // flags, so no test under Wine can tell the flag is there.
    if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
        return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    // Gone since it was looked at.
    return error == ERROR_FILE_NOT_FOUND ? MoveIntoPlace(temporary, target) : error;
}

} // namespace

FileError::FileError(const char* what, std::wstring path, std::wstring reason)
    : std::runtime_error(std::string(what) + " '" + core::ToUtf8(path) +
                         "': " + core::ToUtf8(reason)),
      path_(std::move(path)), reason_(std::move(reason)) {}

FileError SystemFileError(const char* what, const std::wstring& path, unsigned long error) {
    return FileError(what, path, SystemMessage(error));
}

std::wstring ProgramDirectory() {
    const std::wstring path = Orv::ProgramPath();
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

bool FileExists(const std::wstring& path, IFileSystem& files) {
    const std::wstring target = SystemPath(path);
    DWORD error = ERROR_SUCCESS;
    const DWORD attributes = files.GetAttributes(target, error);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (IsNotThere(error))
            return false;
        throw SystemFileError("Cannot check the file", path, error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    // A link: it exists when its target does.
    ui::UniqueHandle link(CreateFileW(target.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (link.get() != INVALID_HANDLE_VALUE)
        return true;
    error = GetLastError();
    if (IsNotThere(error))
        return false;
    throw SystemFileError("Cannot check the file", path, error);
}

std::string ReadWholeFile(const std::wstring& path, std::size_t limit) {
    HANDLE raw =
        CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE)
        throw SystemFileError("Cannot open the file", path, GetLastError());
    ui::UniqueHandle file(raw);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && static_cast<ULONGLONG>(size.QuadPart) > limit)
        throw TooLarge(path, limit);
    std::string bytes;
    std::vector<char> chunk(kChunk);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk.data(), kChunk, &read, nullptr))
            throw SystemFileError("Cannot read the file", path, GetLastError());
        if (read == 0)
            return bytes;
        // The file may grow while it is read.
        if (read > limit - bytes.size())
            throw TooLarge(path, limit);
        bytes.append(chunk.data(), read);
    }
}

std::wstring TemporaryFileOf(const std::wstring& path) {
    return path + kTemporarySuffix;
}

void WriteFileAtomically(const std::wstring& path, std::string_view bytes, IFileSystem& files) {
    const std::wstring target = SystemPath(path);
    DWORD error = ERROR_SUCCESS;
    const DWORD old = files.GetAttributes(target, error);
    // Windows refuses to replace a read-only file or a folder; say so before
    // any work, and the same on systems that would replace it regardless.
    if (IsReadOnly(old) || IsDirectory(old))
        throw SystemFileError("Cannot write the file", path, ERROR_ACCESS_DENIED);
    const DWORD kept = old == INVALID_FILE_ATTRIBUTES ? 0 : old & kKeptAttributes;
    const std::wstring temporary = TemporaryFileOf(target);
    bool created = false;
    error = WriteNewFile(temporary, bytes, kept ? kept : FILE_ATTRIBUTE_NORMAL, files, created);
    if (error == ERROR_SUCCESS)
        error = PutInPlace(temporary, target);
    if (error != ERROR_SUCCESS) {
        if (created)
            DeleteFileW(temporary.c_str());
        throw SystemFileError("Cannot write the file", path, error);
    }
}

void DeleteFileQuietly(const std::wstring& path) {
    const std::wstring target = SystemPath(path);
    DeleteFileW(TemporaryFileOf(target).c_str());
    if (!IsReadOnly(GetFileAttributesW(target.c_str())))
        DeleteFileW(target.c_str());
}
