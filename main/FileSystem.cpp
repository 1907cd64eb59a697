#include "main/FileSystem.h"

DWORD WindowsFiles::GetAttributes(const std::wstring& path, DWORD& error) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    return attributes;
}

DWORD WindowsFiles::Write(HANDLE file, const char* data, DWORD size, DWORD& written) {
    written = 0;
    if (WriteFile(file, data, size, &written, nullptr))
        return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error;
}

IFileSystem& WindowsFileSystem() {
    static WindowsFiles files;
    return files;
}
