// The unattended apply or check of a settings command file, as the utility runs it for a
// deployment tool (the library's SETFILEDLL_RunUnattended): the file is checked before the
// printer is opened, what the printer holds is read, a check ends there and an apply sends
// the file and reads every setting back; every way ends with the result file written.
#pragma once
#include <cstdint>
#include "framework/plugin/UnattendedApplyApi.h"

namespace qk::settingsfile {

// The exit code of the run (UnattendedExitCode).
int32_t RunUnattended(UtilContext& context, const UnattendedRequest& request);

} // namespace qk::settingsfile
