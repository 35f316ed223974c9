// Transcript lines for what one ZEKExtender2W call did: its results, then "!!" lines for
// anything a correct extender never does.
#pragma once

#include "host/HostSession.h"

#include <string>

namespace zekhost {

// An ordinary call: every delivered result ("error CODE: " in front when the result code is
// not 0), or "no result (returned N)", then the anomalies. Each line ends with "\n".
std::string ReportCall(const CallOutcome& outcome, const HostStorage& storage);

// A special request, which delivers no result: only the anomalies, any delivery among them.
std::string ReportAnomalies(const CallOutcome& outcome, const HostStorage& storage);

} // namespace zekhost
