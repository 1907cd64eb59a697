// Whole-file reading and crash-safe writing for the record file. Failures
// raise FileError with a message naming the file and the system's reason.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

class FileError : public std::runtime_error {
  public:
    // The message reads "<what> '<path>': <reason>".
    FileError(const char* what, std::wstring path, std::wstring reason);
    const std::wstring& Path() const { return path_; }
    // Why the file could not be used, in the system's words.
    const std::wstring& Reason() const { return reason_; }

  private:
    std::wstring path_;
    std::wstring reason_;
};

// Path of the running program file's directory, with a trailing backslash.
std::wstring ProgramDirectory();

// True for an existing file (not a directory); links are followed.
bool FileExists(const std::wstring& path);

std::string ReadWholeFile(const std::wstring& path);

// Writes the bytes to a new temporary file in the same directory and moves it
// over the old file only when every byte is on disk, so a failed or
// interrupted write never leaves a truncated file behind. A read-only file
// is not replaced.
void WriteFileAtomically(const std::wstring& path, std::string_view bytes);

// Deletes the file; a missing, read-only or undeletable file is not an error.
void DeleteFileQuietly(const std::wstring& path);

// The FileError for a failed system call, with the system's message for
// the error code as its reason.
FileError SystemFileError(const char* what, const std::wstring& path, unsigned long error);
