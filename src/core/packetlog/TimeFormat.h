#pragma once

#include <string>
#include <string_view>

#include "core/time/WallClock.h"

namespace vantrix {

// How the desktop writes a time of day, as its locale gives it: a pattern in which H and HH
// are the hour on the 24-hour clock, h and hh the hour on the 12-hour clock when the pattern
// has an AM/PM field (else on the 24-hour clock), m/mm the minutes, s/ss the seconds, AP or A
// the upper-case and ap or a the lower-case AM/PM text, z/zzz the milliseconds (always 0 here)
// and t the time zone, left out (the log is of times of day); text in single quotes, or any
// character that is not a field, is written as it stands, '' giving one quote.
struct TimeFormat {
  std::string pattern = "HH:mm:ss";
  std::string amText = "AM";
  std::string pmText = "PM";

  // The time in this format. A pattern without hours, minutes and seconds falls back to
  // "HH:mm:ss", since every entry must say when it came.
  std::string Format(TimeOfDay time) const;
};

}  // namespace vantrix
