// The TCP envelope exchanged with a Korvi70 TCP server.
// Request: 'b', four hex digits of payload length, the payload (the hex or
// legacy frame without its preamble and terminator). Reply: 'b' + length +
// payload, or 'c' + length + a payload whose first four characters are a
// hex error code.
#pragma once

// Sends the transmit buffer as one envelope and waits, sleeping in the
// platform's event processing, for the reply (at most 2 seconds). Leaves the
// reply in the receive buffer as 0x00, payload, 0x01 and sets
// Korvi70_BladLacza: 0, the server's error code, or -99 when no reply came.
// Returns 0, or -1 when no conversation is open.
int Korvi70_TCP_Client_WyslijDane();

// Event callback of the conversation: on data-ready it reads one envelope
// into the receive buffer and raises Korvi70_TCP_JestOdpowiedz. Returns 1.
int Korvi70_TCP_Client_Message(unsigned handle, int event, int error, void *callbackData);

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
