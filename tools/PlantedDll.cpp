// A stand-in for a Windows DLL, planted beside a program by the end-to-end
// tests to see whether the program loads it. Loading it leaves a marker file
// beside it: its own path with ".loaded" added.
//
// Its exports are the functions the programs call from the real DLL, each of
// them bound to ReturnZero (the .def the build makes for each DLL): a program
// that imports the stand-in by mistake still starts, and leaves the marker,
// instead of failing to start for a missing export. On x64 one function
// serves every signature: the caller cleans up its own arguments.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kMarkerSuffix[] = L".loaded";
constexpr DWORD kPathLength = 32768;

void LeaveMarker(HINSTANCE self) {
    std::wstring path(kPathLength, L'\0');
    const DWORD length = GetModuleFileNameW(self, path.data(), kPathLength);
    if (length == 0 || length >= kPathLength)
        return;
    path.resize(length);
    path += kMarkerSuffix;
    const HANDLE marker = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
}

} // namespace

extern "C" INT_PTR ReturnZero() {
    return 0;
}

// An entry for rundll32, which the tests use to check that a stand-in leaves
// its marker when it does load.
extern "C" void CALLBACK Probe(HWND, HINSTANCE, LPSTR, int) {}

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        LeaveMarker(self);
    return TRUE;
}
