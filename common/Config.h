// Settings in the current user's registry hive. A TConfig opens one key below
// HKEY_CURRENT_USER\Software for its lifetime; ConfigInteger opens the
// program's key for a single read or write, so a value changed from outside
// takes effect at the next access.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace Orv {

// Raised for a value of the wrong type and for failed reads and writes; the
// message names the value.
class ConfigError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The program's key below HKEY_CURRENT_USER\Software.
inline constexpr wchar_t kConfigPath[] = L"Norvale\\Mirvex";

class TConfig {
  public:
    // Opens (creating when missing) HKEY_CURRENT_USER\Software\<path> with
    // KEY_ALL_ACCESS. A key that cannot be opened is not an error here: reads
    // then give their defaults and writes fail.
    explicit TConfig(const std::wstring& Path);
    ~TConfig();
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    std::int32_t ReadInteger(const std::wstring& Name, std::int32_t Default) const;
    bool ReadBoolean(const std::wstring& Name, bool Default) const;
    std::wstring ReadString(const std::wstring& Name, const std::wstring& Default) const;

    std::int32_t WriteInteger(const std::wstring& Name, std::int32_t Value);
    bool WriteBoolean(const std::wstring& Name, bool Value);
    std::wstring WriteString(const std::wstring& Name, const std::wstring& Value);

  private:
    struct Registry {
        HKEY root = HKEY_CURRENT_USER;
        REGSAM access = KEY_ALL_ACCESS;
        HKEY key = nullptr;
    };
    // Type and size of a value; false when it does not exist or cannot be queried.
    bool ValueInfo(const std::wstring& Name, DWORD& type, DWORD& size) const;
    void SetData(const std::wstring& Name, DWORD type, const void* data, DWORD size);

    Registry FReg;
};

// Reads (Write false: Value is the default) or writes one integer of the
// program's key. Returns the value read, defaulted or written.
std::int32_t ConfigInteger(const std::wstring& Name, std::int32_t Value, bool Write);

} // namespace Orv
