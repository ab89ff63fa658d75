// "dniarz --sntp": asks time servers the way a run does and prints what each said, without ever
// setting the clock.
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "clock/time_sync.h"
#include "platform/system_clock.h"
#include "platform/udp_transport.h"

// One line per server as it answers, then the choice; UTF-8. Returns the exit code: 0 when a
// server was chosen, 1 when none answered usably.
int RunSntpCommand(const std::vector<std::string>& servers, UdpTransport& transport, const SystemClock& clock,
                   std::ostream& out, std::chrono::milliseconds timeout = kSntpReceiveTimeout);

// "server: HOST ADDRESS:PORT delay D ms offset O ms stratum S" or "server: HOST ADDRESS:PORT failed: REASON";
// " large-step" ends the line of an offset the window would not apply without asking.
std::string FormatServerLine(const ServerAnswer& answer);
// "chosen: HOST offset O ms delay D ms" (with " large-step" as above) or "chosen: none".
std::string FormatChosenLine(const RetrievalResult& result);
