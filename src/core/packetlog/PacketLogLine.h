#pragma once

#include <string>
#include <string_view>

#include "core/packetlog/TimeFormat.h"
#include "core/time/WallClock.h"

namespace vantrix {

// The time in the desktop's long time format; by default two-digit hours (24-hour clock),
// minutes and seconds, "21:34:05".
std::string LongTimeText(TimeOfDay time, const TimeFormat& format = {});

// The log entry for one datagram: the time, " - ", then the datagram's bytes with every zero
// byte replaced by a space; all other bytes, control characters included, stay as they are.
std::string PacketLogLine(std::string_view datagram, TimeOfDay time, const TimeFormat& format = {});

}  // namespace vantrix
