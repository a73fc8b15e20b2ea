// One table of link primitives per link type. The frame and command code
// call the Korvi70_ primitives of link.h, which pick the table by
// Korvi70_TypLacza; nothing above this layer asks which link it runs on.
#pragma once

namespace korvi70 {

struct Transport {
    int (*flushOutQ)();
    int (*flushInQ)();
    int (*comWrt)(const void *buffer, int count);
    int (*comRd)(void *buffer, int count);  // buffer already cleared
    int (*comWrtByte)(int byte);
    int (*comRdByte)();
    int (*comRdTerm)(void *buffer, int count, int terminator);
    int (*getInQLen)();
    int (*getOutQLen)();
};

extern const Transport kSerialTransport;
extern const Transport kModemTransport;
extern const Transport kTcpTransport;

// Table for a link type; an unknown type transfers nothing, like the modem.
const Transport &TransportFor(int linkType);

}  // namespace korvi70
