// The file-system calls whose failures a test cannot bring about on its own
// under Wine: asking for a file's attributes (a share that cannot be
// reached, a drive that is gone) and writing bytes (a full disk after part
// of a file). The program uses Windows; tests substitute failures.
#pragma once

#include <windows.h>

#include <string>

class IFileSystem {
  public:
    virtual ~IFileSystem() = default;
    // GetFileAttributesW: the attributes, or INVALID_FILE_ATTRIBUTES with
    // the reason in `error`.
    virtual DWORD GetAttributes(const std::wstring& path, DWORD& error) = 0;
    // One WriteFile of `size` bytes: ERROR_SUCCESS or the reason; `written`
    // counts what reached the file either way.
    virtual DWORD Write(HANDLE file, const char* data, DWORD size, DWORD& written) = 0;
};

// The real calls. Tests derive from it to make one call fail.
class WindowsFiles : public IFileSystem {
  public:
    DWORD GetAttributes(const std::wstring& path, DWORD& error) override;
    DWORD Write(HANDLE file, const char* data, DWORD size, DWORD& written) override;
};

IFileSystem& WindowsFileSystem();
