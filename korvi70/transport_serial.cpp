// Serial link: the platform's port operations on Korvi70_NrZlacza, with the
// port's error value taken right after each call.
#include "korvi70/link.h"
#include "korvi70/transport.h"
#include "platform/com.h"

namespace korvi70 {
namespace {

int Done(int result) {
    Korvi70_BladLacza = platform::ReturnRS232Err();
    return result;
}

int FlushOutQ() { return Done(platform::FlushOutQ(Korvi70_NrZlacza)); }
int FlushInQ() { return Done(platform::FlushInQ(Korvi70_NrZlacza)); }
int ComWrt(const void *buffer, int count) { return Done(platform::ComWrt(Korvi70_NrZlacza, buffer, count)); }
int ComRd(void *buffer, int count) { return Done(platform::ComRd(Korvi70_NrZlacza, buffer, count)); }
int ComWrtByte(int byte) { return Done(platform::ComWrtByte(Korvi70_NrZlacza, byte)); }
int ComRdByte() { return Done(platform::ComRdByte(Korvi70_NrZlacza)); }
int ComRdTerm(void *buffer, int count, int terminator) {
    return Done(platform::ComRdTerm(Korvi70_NrZlacza, buffer, count, terminator));
}
int GetInQLen() { return Done(platform::GetInQLen(Korvi70_NrZlacza)); }
int GetOutQLen() { return Done(platform::GetOutQLen(Korvi70_NrZlacza)); }

}  // namespace

const Transport kSerialTransport = {FlushOutQ, FlushInQ,  ComWrt,    ComRd,     ComWrtByte,
                                    ComRdByte, ComRdTerm, GetInQLen, GetOutQLen};

}  // namespace korvi70
