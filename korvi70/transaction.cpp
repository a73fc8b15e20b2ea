#include "korvi70/transaction.h"

#include <cstdlib>
#include <cstring>

#include "korvi70/frame.h"
#include "korvi70/held_frame.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"

namespace korvi70 {
namespace {

TransactionSource g_source = nullptr;

bool AcceptAnything(int, std::string_view) { return true; }

}  // namespace

void SetTransactionSource(TransactionSource source) { g_source = source; }

int DrawTransaction() { return (g_source != nullptr ? g_source() : std::rand()) & 0xFF; }

int SendRequest(HexRequest &request, unsigned char destination, int command, std::string_view data) {
    if (data.size() > kMaxRequestData) return korvi70::kRefused;
    Korvi70_FlushOutQ();
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    Korvi70_FlushInQ();
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;

    const HeldFrame frame;
    request.destination = destination;
    request.command = command;
    request.transaction = DrawTransaction();
    char *text = request.text.data();
    const int part1 = Korvi70_UtworzIWyslijStalaCzesc1Rozkazu(destination, request.transaction, command, text);
    if (part1 != 0) return part1;

    if (!data.empty()) {
        const std::size_t header = std::strlen(text);
        std::memcpy(text + header, data.data(), data.size());
        text[header + data.size()] = '\0';
        Korvi70_ComWrt(text + header, static_cast<int>(data.size()));
        if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    }
    const int part2 = Korvi70_UtworzIWyslijStalaCzesc2Rozkazu(text);
    if (part2 != 0) return part2;
    Korvi70_ComWrtByte(0x01);
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    return korvi70::kDone;
}

int ReceiveReply(HexRequest &request, std::span<const int> widths, ReplyBlockHandler onBlock) {
    for (int width : widths)
        if (width <= 0 || width > kMaxReplyBlock) return korvi70::kRefused;

    int status = 0;
    unsigned char check = 0;
    const int header = Korvi70_OdbierzStalaCzescOdpowiedzi(request.destination, request.transaction,
                                                           request.text.data(), &status, &check);
    if (header != 0) return header;
    if (status != 0) return status;

    std::array<char, kMaxReplyBlock + 1> block;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        Korvi70_ComRd(block.data(), widths[i]);
        if (Korvi70_BladLacza != 0) return korvi70::kNoValidReply;
        const std::string_view chars(block.data(), static_cast<std::size_t>(widths[i]));
        if (!onBlock(static_cast<int>(i), chars)) return korvi70::kNoValidReply;
        check = XorCheck(chars, check);
    }

    char digits[3];
    unsigned received = 0;
    if (ReadHexByte(digits, &received) != 0 || received != check) return korvi70::kNoValidReply;
    const int end = Korvi70_ComRdByte();
    if (Korvi70_BladLacza != 0 || end != 0x01) return korvi70::kNoValidReply;
    return korvi70::kDone;
}

int RunTransaction(unsigned char destination, int command, std::string_view data, std::span<const int> widths,
                   ReplyBlockHandler onBlock) {
    for (int width : widths)
        if (width <= 0 || width > kMaxReplyBlock) return korvi70::kRefused;
    HexRequest request;
    const int sent = SendRequest(request, destination, command, data);
    if (sent != 0) return sent;
    return ReceiveReply(request, widths, onBlock);
}

int RunTransaction(unsigned char destination, int command, std::string_view data) {
    return RunTransaction(destination, command, data, {}, AcceptAnything);
}

}  // namespace korvi70
