#include "korvi70/frame.h"

#include <array>
#include <cstring>

#include "korvi70/frame_hex.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"

namespace korvi70 {

int SkipLeadIn() {
    for (int i = 0; i < Korvi70_MaksDlugoscWstepu; ++i) {
        const int byte = Korvi70_ComRdByte();
        if (Korvi70_BladLacza != 0) return korvi70::kNoValidReply;
        if (byte == 0x00) return korvi70::kDone;
    }
    return korvi70::kNoValidReply;
}

int ReadHexByte(char chars[3], unsigned *value) {
    Korvi70_ComRd(chars, 2);
    if (Korvi70_BladLacza != 0) return korvi70::kNoValidReply;
    return ParseHex(std::string_view(chars, 2), value) ? korvi70::kDone : korvi70::kNoValidReply;
}

}  // namespace korvi70

int Korvi70_UtworzIWyslijStalaCzesc1Rozkazu(unsigned char destination, int transaction, int command, char *text) {
    for (int byte : {0xFF, 0xFF, 0x00}) {
        Korvi70_ComWrtByte(byte);
        if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    }
    korvi70::ExpectReplyTransaction(transaction);
    korvi70::PutHex(text, destination, 2);
    korvi70::PutHex(text + 2, Korvi70_NrIdProg, 2);
    korvi70::PutHex(text + 4, static_cast<unsigned>(transaction) & 0xFF, 2);
    korvi70::PutHex(text + 6, static_cast<unsigned>(command) & 0xFF, 2);
    text[8] = '\0';
    Korvi70_ComWrt(text, 8);
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    // The echoed preamble ends with its 0x00; the header's echo is checked later.
    if (Korvi70_JestEcho == 1 && korvi70::SkipLeadIn() != 0) return korvi70::kNoValidReply;
    return korvi70::kDone;
}

int Korvi70_UtworzIWyslijStalaCzesc2Rozkazu(char *text) {
    const std::size_t length = std::strlen(text);
    if (Korvi70_JestEcho == 1) {
        // The last character's echo is left in the queue; the reply's
        // lead-in skip takes it with the rest.
        for (std::size_t i = 0; i + 1 < length; ++i) {
            const int byte = Korvi70_ComRdByte();
            if (Korvi70_BladLacza != 0) return korvi70::kNoValidReply;
            if (byte != static_cast<unsigned char>(text[i])) return korvi70::kNoValidReply;
        }
    }
    korvi70::PutHex(text + length, korvi70::XorCheck(std::string_view(text, length)), 2);
    text[length + 2] = '\0';
    Korvi70_ComWrt(text + length, 2);
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    return korvi70::kDone;
}

int Korvi70_OdbierzEcho(char *text) {
    const std::size_t length = std::strlen(text);
    std::array<char, 1200> echo;
    if (length <= 2 || length - 2 >= echo.size()) return korvi70::kNoValidReply;
    const int wanted = static_cast<int>(length - 2);
    const int got = Korvi70_ComRd(echo.data(), wanted);
    if (got <= 0 || Korvi70_BladLacza != 0) return korvi70::kNoValidReply;
    return std::memcmp(echo.data(), text + 2, static_cast<std::size_t>(wanted)) == 0 ? korvi70::kDone
                                                                                     : korvi70::kNoValidReply;
}

int Korvi70_OdbierzStalaCzescOdpowiedzi(unsigned char destination, int transaction, char *text, int *status,
                                        unsigned char *check) {
    using korvi70::ReadHexByte;
    if (korvi70::SkipLeadIn() != 0) return korvi70::kNoValidReply;
    char chars[3];
    unsigned value = 0;
    Korvi70_ComRd(chars, 2);
    if (Korvi70_BladLacza != 0) return korvi70::kNoValidReply;
    const bool parsed = korvi70::ParseHex(std::string_view(chars, 2), &value);
    if (parsed && value == destination) {
        // Our own request coming back: the line echoes although the echo
        // test said it does not. Skip it and read the real reply.
        if (Korvi70_OdbierzEcho(text) != 0) return korvi70::kNoValidReply;
        if (korvi70::SkipLeadIn() != 0) return korvi70::kNoValidReply;
        if (ReadHexByte(chars, &value) != 0) return korvi70::kNoValidReply;
    } else if (!parsed) {
        return korvi70::kNoValidReply;
    }
    if (value != Korvi70_NrIdProg) return korvi70::kNoValidReply;
    unsigned char running = korvi70::XorCheck(std::string_view(chars, 2));

    if (ReadHexByte(chars, &value) != 0 || value != destination) return korvi70::kNoValidReply;
    running = korvi70::XorCheck(std::string_view(chars, 2), running);

    if (ReadHexByte(chars, &value) != 0 || value != (static_cast<unsigned>(transaction) & 0xFF))
        return korvi70::kNoValidReply;
    running = korvi70::XorCheck(std::string_view(chars, 2), running);

    if (ReadHexByte(chars, &value) != 0) return korvi70::kNoValidReply;
    running = korvi70::XorCheck(std::string_view(chars, 2), running);
    *status = static_cast<int>(value);
    *check = running;
    return korvi70::kDone;
}
