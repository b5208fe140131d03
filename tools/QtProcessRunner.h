#pragma once

#include "tools/FormatPlan.h"

namespace velomira {

// Runs one program with QProcess from its argument list (no shell is involved) and waits
// for it to end. Not started, crashed or killed: started false or a non-zero status.
ProgramResult RunProgramStep(const ProgramStep& step);

// The programs of this machine: mkfs.fat, mount and umount from PATH or the system's sbin
// folders; udisksctl and pkexec when installed.
FormatPrograms FindFormatPrograms();

} // namespace velomira
