#pragma once

#include <cstdint>
#include <functional>
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

}  // namespace vantrix
