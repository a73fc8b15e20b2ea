// The command transaction that every hex-frame command runs:
//   flush out, flush in, draw the transaction number, fixed part 1, the
//   request data, fixed part 2, terminator, reply header, the reply data in
//   blocks of fixed widths (each character XORed into the check), check
//   field, terminator.
// Result codes: 0 done; 1 refused before anything was sent; 2 the link
// failed while sending (over TCP also: no reply in 2 s or a server error);
// 3 no valid reply; any other value is the instrument's non-zero status.
//
// Example, reading a 4-digit type code:
//   static constexpr int kWidths[] = {4};
//   int rc = korvi70::RunTransaction(destination, 3, {}, kWidths,
//       [&](int, std::string_view digits) { return korvi70::ParseHex(digits, &code); });
#pragma once
#include <array>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>

#include "korvi70/frame_hex.h"
#include "korvi70/function_ref.h"

namespace korvi70 {

// Called once per reply data block, in order, as soon as the block has
// arrived and before the check is verified: index counts from 0, chars holds
// exactly the block's characters. Returning false abandons the reply (3).
using ReplyBlockHandler = FunctionRef<bool(int index, std::string_view chars)>;

// Longest request text: header 8 + data + check 2 + NUL.
constexpr std::size_t kMaxRequestText = 640;
constexpr std::size_t kMaxRequestData = kMaxRequestText - 8 - 2 - 1;
// Widest reply data block.
constexpr int kMaxReplyBlock = 512;

// One request as sent, kept for the reply checks.
struct HexRequest {
    unsigned char destination = 0;
    int transaction = 0;
    int command = 0;
    std::array<char, kMaxRequestText> text{};  // header, data and check as sent
};

// Steps from the flushes to the terminator. 0, 1 (data too long), 2 or 3.
int SendRequest(HexRequest &request, unsigned char destination, int command, std::string_view data);
// Steps from the reply header to the terminator: 0, 1 (a width out of
// range), 3 or the status.
int ReceiveReply(HexRequest &request, std::span<const int> widths, ReplyBlockHandler onBlock);
// The whole transaction.
int RunTransaction(unsigned char destination, int command, std::string_view data, std::span<const int> widths,
                   ReplyBlockHandler onBlock);
// A command without reply data.
int RunTransaction(unsigned char destination, int command, std::string_view data);

// Transaction numbers: the low 8 bits of rand() (never seeded here). Tests
// may install a source that gives known numbers; nullptr restores rand().
using TransactionSource = int (*)();
void SetTransactionSource(TransactionSource source);
int DrawTransaction();

}  // namespace korvi70
