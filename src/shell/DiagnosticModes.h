// The thirteen diagnostic modes that can replace the normal start-up, chosen
// by a command-line flag (the self-test also by THRIM_SELFTEST=1). Their
// report lines on standard error are read by scripts, so texts and order are
// fixed.
#pragma once

#include "DiagnosticContext.h"

#include <QStringList>

namespace quorvane {

class DiagnosticModes {
public:
    // Runs the first mode whose test matches and returns true; false, having
    // done nothing, when none matches. Modes with asynchronous work schedule
    // it on the main thread and return at once; they call terminate after
    // their report.
    static bool runIfRequested(const QStringList& arguments, DiagnosticContext context);
};

} // namespace quorvane
