#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// A whole number as the settings write it: an optional sign, then decimal digits or "$" and
// hexadecimal digits (any count, leading zeros allowed). Nothing else is allowed, not even
// spaces. Decimal must fit a signed 32-bit value; hexadecimal may use all 32 bits and is
// taken as that bit pattern ("$FFFFFFFF" is -1). Empty when the text is no such number.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// The same, but a text that is no number throws ConversionError with the message the
// general error report shows.
std::int32_t WholeNumberFromText(std::string_view text);

// "'" + text + "' is not a valid integer value".
std::string NotAnIntegerMessage(std::string_view text);

// Limits of the wait slice of the info query, in milliseconds.
inline constexpr int kDefaultUdpDelayMs = 5;
inline constexpr int kMaxUdpDelayMs = 999;  // the most the field takes when typed

// The length of one wait slice from the UDPDelay text: a text that is no whole number
// counts as 5, a negative one as 0, and anything above 999 as 999 so that a large value
// from the file cannot freeze the window. The text itself is never changed.
int UdpDelayMilliseconds(std::string_view udpDelayText);

// The largest datagram there can be; any receive buffer size above it takes in every datagram.
inline constexpr std::int32_t kLargestDatagram = 65535;

// The receive buffer size from the BufferSize text, unchanged in meaning: values above
// kLargestDatagram mean "every datagram fits", values below 1 mean "only empty datagrams".
// Capping the allocation is the endpoint's business. Throws ConversionError when the text
// is no whole number.
std::int32_t BufferSizeFromText(std::string_view bufferSizeText);

}  // namespace vantrix
