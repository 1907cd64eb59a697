#include "main/FileIo.h"

#include "ui/Handles.h"
#include "core/TextCodec.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD kReadChunk = 1u << 20;

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

std::wstring DirectoryOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

bool IsReadOnlyFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
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
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            return path.substr(0, path.find_last_of(L"\\/") + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    // A link: it exists when its target does.
    ui::UniqueHandle target(CreateFileW(path.c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return target.get() != INVALID_HANDLE_VALUE;
}

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE raw = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE)
        throw SystemFileError("Cannot open the file", path, GetLastError());
    ui::UniqueHandle file(raw);
    std::string bytes;
    std::vector<char> chunk(kReadChunk);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk.data(), kReadChunk, &read, nullptr))
            throw SystemFileError("Cannot read the file", path, GetLastError());
        if (read == 0)
            return bytes;
        bytes.append(chunk.data(), read);
    }
}

void WriteFileAtomically(const std::wstring& path, std::string_view bytes) {
    // Windows refuses to replace a read-only file; say so before any work,
    // and the same on systems whose rename would replace it regardless.
    if (IsReadOnlyFile(path))
        throw SystemFileError("Cannot write the file", path, ERROR_ACCESS_DENIED);
    const std::wstring directory = DirectoryOf(path);
    wchar_t temporary[MAX_PATH + 1] = {};
    if (!GetTempFileNameW(directory.c_str(), L"mvx", 0, temporary))
        throw SystemFileError("Cannot write the file", path, GetLastError());
    const std::wstring temporaryPath = temporary;
    DWORD error = ERROR_SUCCESS;
    {
        ui::UniqueHandle file(CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            error = GetLastError();
        } else {
            std::size_t written = 0;
            while (error == ERROR_SUCCESS && written < bytes.size()) {
                DWORD done = 0;
                const auto chunk =
                    static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, kReadChunk));
                if (!WriteFile(file.get(), bytes.data() + written, chunk, &done, nullptr) ||
                    done == 0)
                    error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
                written += done;
            }
            if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get()))
                error = GetLastError();
        }
    }
    if (error == ERROR_SUCCESS && !MoveFileExW(temporaryPath.c_str(), path.c_str(),
                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temporaryPath.c_str());
        throw SystemFileError("Cannot write the file", path, error);
    }
}

void DeleteFileQuietly(const std::wstring& path) {
    if (!IsReadOnlyFile(path))
        DeleteFileW(path.c_str());
}
