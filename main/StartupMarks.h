// Marks at the ends of the program's start-up phases, for the start-up
// benchmark. The shipped program installs no recorder, so a mark only finds
// a null pointer and does nothing else; the benchmark's traced build of the
// program (MirvexTraced.exe) installs one that notes the time of each mark.
#pragma once

namespace startup {

// In the order they are passed.
enum class Phase {
    Entry,         // the program's entry is reached
    SetUp,         // single instance, common controls, translation catalogue
    WindowCreated, // the window and its controls exist
    Translated,    // language, translation, titles, status panel
    HotKeysSet,    // hotkey settings read, hotkeys registered, defaults set
    RecordsLoaded, // the record file is in the list
    UpdateStarted, // the update check's worker is started
    Shown,         // the window is shown and painted
};

using Recorder = void (*)(Phase);

// Installs the recorder (the traced build does, before the entry).
void SetRecorder(Recorder recorder);
void Mark(Phase phase);

} // namespace startup
