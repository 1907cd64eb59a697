#include "common/Config.h"

#include "core/TextCodec.h"

#include <vector>

namespace Orv {
namespace {

[[noreturn]] void Fail(const char* pattern, const std::wstring& name) {
    std::string message = pattern;
    message.replace(message.find("%s"), 2, core::ToUtf8(name));
    throw ConfigError(message);
}

} // namespace

TConfig::TConfig(const std::wstring& Path) {
    const std::wstring subKey = L"Software\\" + Path;
    HKEY key = nullptr;
    if (RegCreateKeyExW(FReg.root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FReg.access,
                        nullptr, &key, nullptr) == ERROR_SUCCESS)
        FReg.key = key;
}

TConfig::~TConfig() {
    if (FReg.key)
        RegCloseKey(FReg.key);
}

bool TConfig::ValueInfo(const std::wstring& Name, DWORD& type, DWORD& size) const {
    type = REG_NONE;
    size = 0;
    return FReg.key && RegQueryValueExW(FReg.key, Name.c_str(), nullptr, &type, nullptr, &size) ==
                           ERROR_SUCCESS;
}

std::int32_t TConfig::ReadInteger(const std::wstring& Name, std::int32_t Default) const {
    DWORD type = 0;
    DWORD size = 0;
    if (!ValueInfo(Name, type, size))
        return Default;
    if (type != REG_DWORD)
        Fail("Invalid data type for '%s'", Name);
    DWORD data = 0;
    DWORD dataSize = sizeof(data);
    if (RegQueryValueExW(FReg.key, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                         &dataSize) != ERROR_SUCCESS)
        Fail("Failed to get data for '%s'", Name);
    return static_cast<std::int32_t>(data);
}

bool TConfig::ReadBoolean(const std::wstring& Name, bool Default) const {
    return ReadInteger(Name, Default ? 1 : 0) != 0;
}

std::wstring TConfig::ReadString(const std::wstring& Name, const std::wstring& Default) const {
    DWORD type = 0;
    DWORD size = 0;
    if (!ValueInfo(Name, type, size))
        return Default;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        Fail("Invalid data type for '%s'", Name);
    if (size == 0)
        return {};
    // One spare character so the text always ends in a null.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    DWORD dataSize = size;
    if (RegQueryValueExW(FReg.key, Name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &dataSize) != ERROR_SUCCESS)
        Fail("Failed to get data for '%s'", Name);
    return std::wstring(buffer.data());
}

void TConfig::SetData(const std::wstring& Name, DWORD type, const void* data, DWORD size) {
    if (!FReg.key || RegSetValueExW(FReg.key, Name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                    size) != ERROR_SUCCESS)
        Fail("Failed to set data for '%s'", Name);
}

std::int32_t TConfig::WriteInteger(const std::wstring& Name, std::int32_t Value) {
    const auto data = static_cast<DWORD>(Value);
    SetData(Name, REG_DWORD, &data, sizeof(data));
    return Value;
}

bool TConfig::WriteBoolean(const std::wstring& Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
    return Value;
}

std::wstring TConfig::WriteString(const std::wstring& Name, const std::wstring& Value) {
    SetData(Name, REG_SZ, Value.c_str(), static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
    return Value;
}

std::int32_t ConfigInteger(const std::wstring& Name, std::int32_t Value, bool Write) {
    TConfig config(kConfigPath);
    return Write ? config.WriteInteger(Name, Value) : config.ReadInteger(Name, Value);
}

} // namespace Orv
