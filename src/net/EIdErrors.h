#pragma once

#include <string>

#include "core/util/EIdException.h"

namespace vantrix {

// A failing socket or resolver call: "Socket Error # " + code + CR LF + the code's text.
class EIdSocketError : public EIdException {
 public:
  EIdSocketError(int code, const std::string& text);
  // From an errno value, with the system's text for it.
  static EIdSocketError FromErrno(int errnoValue);
  int LastError() const { return m_code; }

 private:
  int m_code;
};

// The datagram does not fit the transport (EMSGSIZE).
class EIdPackageSizeTooBig : public EIdException {
 public:
  EIdPackageSizeTooBig() : EIdException("Package Size Too Big.") {}
};

// The system took fewer bytes than the datagram holds.
class EIdNotAllBytesSent : public EIdException {
 public:
  EIdNotAllBytesSent() : EIdException("Not all bytes sent.") {}
};

// No socket could be created.
class EIdInvalidSocket : public EIdException {
 public:
  EIdInvalidSocket() : EIdException("Cannot allocate socket.") {}
};

// The local address and port are taken by another socket.
class EIdCouldNotBindSocket : public EIdException {
 public:
  EIdCouldNotBindSocket() : EIdException("Could not bind socket. Address and port are already in use.") {}
};

// The system's text for an errno value ("Unknown error N" when it has none).
std::string ErrnoText(int errnoValue);

}  // namespace vantrix
