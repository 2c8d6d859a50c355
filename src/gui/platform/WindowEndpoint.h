#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string_view>
#include <utility>

#include "net/TIdUDPServer.h"

namespace vantrix {

// Gives a window's endpoint its receive buffer and datagram handler, then opens it. An open
// failure propagates: a window cannot work without its endpoint.
template <class Window>
void OpenWindowEndpoint(TIdUDPServer& endpoint, std::int32_t bufferSize, Window* window,
                        void (Window::*handler)(TIdUDPServer&, std::string_view, const TIdSocketHandle&,
                                                std::uint32_t)) {
  endpoint.SetBufferSize(bufferSize);
  endpoint.SetOnUDPRead(std::bind_front(handler, window));
  endpoint.Open();
}

// Answers the sender of the datagram being handled (a challenge's server) with `request`. A
// datagram handler reports nothing, so a failed send leaves the window as it is.
inline void AnswerSender(TIdUDPServer& endpoint, const TIdSocketHandle& binding, std::string_view request) {
  try {
    endpoint.Send(binding.SenderIP(), binding.SenderPort(), request);
  } catch (const std::exception&) {
  }
}

}  // namespace vantrix
