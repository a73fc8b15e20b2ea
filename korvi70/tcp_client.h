// The TCP envelope exchanged with a Korvi70 TCP server.
// Request: 'b', four hex digits of payload length, the payload (the hex or
// legacy frame without its preamble and terminator). Reply: 'b' + length +
// payload, or 'c' + length + a payload whose first four characters are a
// hex error code.
#pragma once

#include "korvi70.h"  // Korvi70_TCP_Client_WyslijDane, Korvi70_TCP_Client_Message

namespace korvi70 {

constexpr double kTcpReplyWindow = 2.0;  // seconds, whatever the configured time-outs

// Korvi70_TCPIP_TimeOut as whole milliseconds for the platform calls.
unsigned TcpTimeoutMs();

// True when a reply payload may answer a request that expects the
// transaction number `expected` (-1: a frame that carries none, the legacy
// frames). A hex reply with another number in characters 4 and 5 belongs
// to an earlier request whose window closed.
bool TcpReplyMayAnswer(int expected, const unsigned char *reply, int replyLength);

}  // namespace korvi70
