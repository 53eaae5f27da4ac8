#pragma once

namespace zr::cli {

// Lists the SiLA servers announced by DNS-SD (browsing for at most `seconds`), one a line, or
// one JSON object a line with `json`: kDone when one was found, kNoReply when none was,
// kPortFailed when avahi-daemon cannot be asked (told on stderr).
int ScanSila(double seconds, bool json);

}  // namespace zr::cli
