#pragma once

namespace vantrix {

// How far a decoder trusts a reply.
// kOriginalWindow: the original window's own reading of an 'm' reply, kept as it always was:
//   a text without its zero reads as "" and the next field is read from the same bytes
//   again, the counts and letters are taken from wherever that leaves them, and only the
//   lower-case type and system letters count.
// kExact: what the checker and the window's current protocol read: a reply cut before its
//   counts is refused, later fields are taken only when whole, and both letter cases count.
enum class InfoReading { kOriginalWindow, kExact };

}  // namespace vantrix
