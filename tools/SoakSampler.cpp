// SoakSampler: one reading of another process's resources, for the soak
// benchmark. Runs in the same Wine session (or Windows logon) as the process.
//
//   SoakSampler.exe PID
//
// Prints one JSON line (see JsonLine.h) and ends with exit code 0, 1 when the
// process cannot be opened, 2 on a usage error:
//
//   {"pid":N, "private_bytes":N, "working_set":N, "handles":N, "threads":N,
//    "gdi_objects":N, "user_objects":N}
//
// A figure the platform does not give is left out, and a key of the same name
// with "_missing" appended says why; "handles_from" names the call that gave
// the handle count (where GetProcessHandleCount gives none, the system's
// handle list is counted instead). A figure counts as not given when its
// call fails, when it reads 0 where a live window program surely has more
// (every window program has memory, handles, a window and a font), or when
// the same call does not count an object this helper itself holds: Wine's
// GetGuiResources, for one, returns 0 for every process.

#include "JsonLine.h"
#include "ui/Handles.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void Print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

// A figure, or the reason there is none.
struct Figure {
    std::optional<long long> value;
    std::wstring missing;
};

Figure Given(unsigned long long value, const wchar_t* call) {
    if (value == 0)
        return {std::nullopt, std::wstring(call) + L" gave 0 for a live window program"};
    return {static_cast<long long>(value), {}};
}

Figure Failed(const wchar_t* call, DWORD error) {
    return {std::nullopt, std::wstring(call) + L" failed, error " + std::to_wstring(error)};
}

void Put(JsonLine& line, const char* key, const Figure& figure) {
    if (figure.value)
        line.Number(key, *figure.value);
    else
        line.Text(std::string(key) + "_missing", figure.missing);
}

// One entry of the system's handle list (SystemExtendedHandleInformation).
struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};
struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
constexpr auto kSystemExtendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);
constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr std::size_t kFirstListBytes = 1 << 20;
constexpr std::size_t kLargestListBytes = 256 << 20;

// How many handles of each process the system's handle list holds: the
// handles of `first` and of `second`, or nothing when the list cannot be had.
std::optional<std::pair<std::size_t, std::size_t>> CountListedHandles(DWORD first, DWORD second) {
    for (std::size_t bytes = kFirstListBytes; bytes <= kLargestListBytes; bytes *= 2) {
        std::vector<std::byte> buffer(bytes);
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(
            kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(bytes), &needed);
        if (status == kStatusInfoLengthMismatch)
            continue;
        if (!NT_SUCCESS(status))
            return std::nullopt;
        const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
        const std::size_t room = (bytes - offsetof(HandleList, entries)) / sizeof(HandleEntry);
        std::pair<std::size_t, std::size_t> counts{0, 0};
        for (std::size_t i = 0; i < std::min<std::size_t>(list->count, room); ++i) {
            counts.first += list->entries[i].processId == first;
            counts.second += list->entries[i].processId == second;
        }
        return counts;
    }
    return std::nullopt;
}

// The handle count from the system's handle list, where the process's own
// count is not given (Wine answers GetProcessHandleCount with 0). Trusted
// only when the list counts one more handle of this helper after it opens
// one.
Figure ListedHandles(DWORD processId) {
    constexpr wchar_t kCall[] = L"the system handle list";
    const auto before = CountListedHandles(GetCurrentProcessId(), processId);
    const ui::UniqueHandle extra(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const auto after = CountListedHandles(GetCurrentProcessId(), processId);
    if (!before || !after || !extra)
        return {std::nullopt, std::wstring(kCall) + L" cannot be read"};
    if (after->first <= before->first)
        return {std::nullopt, std::wstring(kCall) + L" does not count this helper's own handle"};
    return Given(after->second, kCall);
}

// The process's threads, from a snapshot of the system's threads.
Figure Threads(DWORD processId) {
    constexpr wchar_t kCall[] = L"CreateToolhelp32Snapshot (threads)";
    const ui::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE)
        return Failed(kCall, GetLastError());
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    unsigned long long count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == processId;
    return Given(count, kCall);
}

// GetGuiResources for one kind of object, trusted only when it counts the
// object `held` that this process holds for the check.
Figure GuiObjects(HANDLE process, DWORD kind, const wchar_t* call, bool held) {
    SetLastError(ERROR_SUCCESS);
    const DWORD own = GetGuiResources(GetCurrentProcess(), kind);
    if (own == 0 && GetLastError() != ERROR_SUCCESS)
        return Failed(call, GetLastError());
    if (!held)
        return {std::nullopt, std::wstring(call) + L": no object to check it against"};
    if (own == 0)
        return {std::nullopt, std::wstring(call) + L" does not count this helper's own object"};
    SetLastError(ERROR_SUCCESS);
    const DWORD count = GetGuiResources(process, kind);
    if (count == 0 && GetLastError() != ERROR_SUCCESS)
        return Failed(call, GetLastError());
    return Given(count, call);
}

int Sample(DWORD processId) {
    const ui::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) {
        const DWORD error = GetLastError();
        Print(JsonLine()
                  .Number("pid", processId)
                  .Text("error", L"cannot open the process, error " + std::to_wstring(error))
                  .Finish());
        return kExitFailed;
    }
    Figure privateBytes, workingSet, handles;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters))) {
        privateBytes = Given(counters.PrivateUsage, L"GetProcessMemoryInfo (PrivateUsage)");
        workingSet = Given(counters.WorkingSetSize, L"GetProcessMemoryInfo (WorkingSetSize)");
    } else {
        privateBytes = workingSet = Failed(L"GetProcessMemoryInfo", GetLastError());
    }
    DWORD handleCount = 0;
    if (GetProcessHandleCount(process.get(), &handleCount))
        handles = Given(handleCount, L"GetProcessHandleCount");
    else
        handles = Failed(L"GetProcessHandleCount", GetLastError());
    const wchar_t* handlesFrom = L"GetProcessHandleCount";
    if (!handles.value) {
        Figure listed = ListedHandles(processId);
        if (listed.value) {
            handles = listed;
            handlesFrom = L"the system handle list";
        } else {
            handles.missing += L"; " + listed.missing;
        }
    }

    // One object of each kind, held while GetGuiResources is checked.
    const ui::UniqueBrush brush(CreateSolidBrush(RGB(0, 0, 0)));
    const ui::UniqueMenu menu(CreateMenu());
    const Figure gdi = GuiObjects(process.get(), GR_GDIOBJECTS, L"GetGuiResources (GR_GDIOBJECTS)",
                                  brush != nullptr);
    const Figure user = GuiObjects(process.get(), GR_USEROBJECTS,
                                   L"GetGuiResources (GR_USEROBJECTS)", menu != nullptr);

    JsonLine line;
    line.Number("pid", processId);
    Put(line, "private_bytes", privateBytes);
    Put(line, "working_set", workingSet);
    Put(line, "handles", handles);
    if (handles.value)
        line.Text("handles_from", handlesFrom);
    Put(line, "threads", Threads(processId));
    Put(line, "gdi_objects", gdi);
    Put(line, "user_objects", user);
    Print(line.Finish());
    return kExitOk;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2)
        return kExitUsage;
    wchar_t* end = nullptr;
    const unsigned long pid = std::wcstoul(argv[1], &end, 10);
    if (end == argv[1] || *end != L'\0' || pid == 0)
        return kExitUsage;
    return Sample(static_cast<DWORD>(pid));
}
