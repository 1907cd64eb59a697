// Whole-file reading and crash-safe writing for the record file. Failures
// raise FileError with a message naming the file and the system's reason.
// Paths of any length work, in folders deeper than MAX_PATH too.
#pragma once

#include "main/FileSystem.h"

#include <cstddef>
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

// True for an existing file (not a directory); links are followed. Only
// "file not found" and "path not found" mean there is none: any other
// failure of the test (a share that cannot be reached, a drive that is gone)
// raises FileError, since the file may well be there.
bool FileExists(const std::wstring& path, IFileSystem& files = WindowsFileSystem());

// The whole file; one larger than `limit` bytes raises FileError unread.
std::string ReadWholeFile(const std::wstring& path, std::size_t limit);

// Where a save writes the new content first: the file's own name with
// ".tmp", in the same folder. Nothing ever reads it as the file.
std::wstring TemporaryFileOf(const std::wstring& path);

// Writes the bytes to the temporary file and puts it in the file's place
// only when every byte is on disk, so a failed or interrupted write never
// leaves a truncated file behind; the old file keeps its attributes and
// permissions. A temporary file an interrupted save left is overwritten and
// so goes with the next save. A read-only file is not replaced.
void WriteFileAtomically(const std::wstring& path, std::string_view bytes,
                         IFileSystem& files = WindowsFileSystem());

// Deletes the file and the temporary file of an interrupted save; a missing,
// read-only or undeletable file is not an error.
void DeleteFileQuietly(const std::wstring& path);

// The FileError for a failed system call, with the system's message for
// the error code as its reason.
FileError SystemFileError(const char* what, const std::wstring& path, unsigned long error);
