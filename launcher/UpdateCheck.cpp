#include "launcher/UpdateCheck.h"

#include "common/ProgramFile.h"
#include "common/ShellOpen.h"
#include "core/Hosts.h"
#include "core/LauncherAnswer.h"
#include "core/LauncherText.h"
#include "launcher/Messages.h"
#include "launcher/WebClient.h"

#include <initializer_list>

namespace launcher {
namespace {

namespace key = core::launcher_text;

constexpr wchar_t kNoVersion[] = L"0.0.0.0";
constexpr wchar_t kVersionDot = L'.';
// Lines of a message box are separated by two carriage returns.
constexpr wchar_t kLineBreak[] = L"\r\r";
constexpr UINT kMissingProgramBox = MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST;
constexpr UINT kUpdatePromptBox = MB_YESNO | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST;
bool IsPresentFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Lines(std::initializer_list<std::wstring> lines) {
    std::wstring text;
    bool first = true;
    for (const std::wstring& line : lines) {
        if (!first)
            text += kLineBreak;
        text += line;
        first = false;
    }
    return text;
}

int ShowMessage(const TControl& form, const std::wstring& text, UINT type) {
    return MessageBoxW(GetHandle(form), text.c_str(), GetCaption(form).c_str(), type);
}

void Open(const std::wstring& address) {
    Orv::ShellOpen(address, SW_SHOWNORMAL);
}

// The update service's answer, or the empty text when it could not be had.
std::wstring AskUpdateService() {
    const InternetSession session;
    if (!session)
        return {};
    return session.Get(core::UpdateServiceUrl(),
                       core::launcher::RequestHeaders(MainProgramVersion()));
}

} // namespace

std::wstring MainProgramPath() {
    return core::launcher::SiblingPath(Orv::ProgramPath(), core::launcher::kMainProgramFile);
}

std::wstring MainProgramVersion() {
    const auto parts = Orv::FileVersion(MainProgramPath());
    if (!parts)
        return kNoVersion;
    std::wstring version;
    for (const unsigned part : *parts) {
        if (!version.empty())
            version += kVersionDot;
        version += std::to_wstring(part);
    }
    return version;
}

bool CheckForUpdate(const TControl& form) {
    if (!IsPresentFile(MainProgramPath())) {
        ShowMessage(
            form, Lines({LauncherText(key::kConfigurationInvalid), LauncherText(key::kReinstall)}),
            kMissingProgramBox);
        Open(core::HomePageUrl());
        return true;
    }
    const std::wstring link = core::launcher::OfferedLink(AskUpdateService());
    if (link.empty())
        return false;
    const std::wstring prompt = Lines({LauncherText(key::kUpdated), LauncherText(key::kRecommended),
                                       LauncherText(key::kAskDownload)});
    if (ShowMessage(form, prompt, kUpdatePromptBox) != IDYES)
        return false;
    Open(link);
    return true;
}

} // namespace launcher
