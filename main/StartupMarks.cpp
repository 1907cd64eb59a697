#include "main/StartupMarks.h"

namespace startup {
namespace {
Recorder installed = nullptr;
}

void SetRecorder(Recorder recorder) {
    installed = recorder;
}

void Mark(Phase phase) {
    if (installed)
        installed(phase);
}

} // namespace startup
