#pragma once

#include "batch/batch_options.h"

namespace marrowick {

// Runs every section of the batch: loads them all (a bad file fails alone),
// then writes each section's scripts as the solver pool comes to them, keeps
// at most options.jobs solvers running across all sections, and writes a
// section's results as soon as its last run has ended. Reports on stderr and
// returns the exit status: 0 when every section completed, 1 when any
// failed, 128 + the signal when interrupted (every solver killed first).
int RunBatch(const BatchOptions& options);

}  // namespace marrowick
