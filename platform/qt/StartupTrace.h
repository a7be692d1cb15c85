// Start-up timing for the measurement script: when QUILLMARK_REPORT_FIRST_FRAME is
// set, each phase of the start-up goes to stderr with the wall clock in milliseconds
// ("quillmark: <phase> at <ms> ms"), so a script can subtract its launch time.
// Silent otherwise.
#pragma once

namespace qm::qt {

void TraceStartup(const char* phase);

}  // namespace qm::qt
