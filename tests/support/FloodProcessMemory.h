#pragma once

namespace vantrix::test {

// This process's resident memory now (VmRSS) and at its peak so far (VmHWM), in kB, from
// /proc/self/status; -1 when the system does not say.
long ResidentKilobytes();
long PeakResidentKilobytes();

}  // namespace vantrix::test
