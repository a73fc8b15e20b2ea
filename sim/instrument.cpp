#include "sim/instrument.h"

namespace sim {
namespace {

// Longer frames are noise: the reader drops them and waits for the next 0x00.
constexpr std::size_t kMaxFrame = 2048;

unsigned char Xor(std::string_view text) {
    unsigned char x = 0;
    for (char c : text) x ^= static_cast<unsigned char>(c);
    return x;
}

const std::string kLeadIn("\xFF\xFF\x00", 3);

}  // namespace

Instrument::Instrument() { RegisterAllCommands(commands_); }

void Instrument::Receive(unsigned char byte, std::string &echo, std::string &reply) {
    if (faults_.echo) echo.push_back(static_cast<char>(byte));
    if (raw_ != nullptr) {
        if (!raw_(*this, byte, reply)) raw_ = nullptr;
        return;
    }
    if (byte == 0x00) {  // the end of a preamble: a frame starts (again)
        inFrame_ = true;
        frame_.clear();
        return;
    }
    if (!inFrame_) return;
    if (byte == 0x01) {
        inFrame_ = false;
        HandleFrame(reply);
        return;
    }
    frame_.push_back(static_cast<char>(byte));
    if (frame_.size() > kMaxFrame) {
        inFrame_ = false;
        ++counters_.badFrames;
    }
}

std::string Instrument::Process(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        std::string echo, reply;
        Receive(static_cast<unsigned char>(c), echo, reply);
        out += echo;
        out += reply;
    }
    return out;
}

void Instrument::HandleFrame(std::string &reply) {
    counters_.lastFrame = frame_;
    if (TryHex(reply) || TryLegacy(reply)) return;
    ++counters_.badFrames;
}

bool Instrument::TryHex(std::string &reply) {
    const std::string_view frame(frame_);
    if (frame.size() < 10) return false;
    unsigned long header = 0, check = 0;
    if (!ParseHex(frame.substr(0, 8), &header) || !ParseHex(frame.substr(frame.size() - 2), &check)) return false;
    if (Xor(frame.substr(0, frame.size() - 2)) != check) return false;

    HexRequest request;
    request.destination = static_cast<unsigned char>(header >> 24);
    request.source = static_cast<unsigned char>(header >> 16);
    request.transaction = static_cast<unsigned char>(header >> 8);
    request.command = static_cast<unsigned char>(header);
    request.data = frame.substr(8, frame.size() - 10);
    if (request.destination != state_.id && request.destination != 0) {
        ++counters_.otherAddress;
        return true;
    }
    ++counters_.hexFrames;
    counters_.lastCommand = request.command;
    if (faults_.silentAfterPages >= 0 && state_.vgx.pagesWritten >= faults_.silentAfterPages) return true;

    const HexHandler handler = commands_.Hex(request.command);
    if (handler == nullptr) {
        ++counters_.unknownCommands;
        return true;
    }
    const HexReply answer = handler(*this, request);
    if (answer.silent || faults_.silent) return true;
    if (answer.raw) {
        Send(*answer.raw, reply);
        return true;
    }
    const int status = faults_.status != 0 ? faults_.status : answer.status;
    // The reply goes back to the sender, from the address it was sent to.
    std::string text = Hex(request.source, 2) + Hex(request.destination, 2) +
                       Hex((request.transaction + (faults_.wrongTransaction ? 1 : 0)) & 0xFF, 2) +
                       Hex(static_cast<unsigned>(status) & 0xFF, 2);
    if (status == 0) text += answer.data;
    const unsigned char sum = Xor(text) ^ (faults_.wrongCheck ? 0x01 : 0x00);
    Send(kLeadIn + text + Hex(sum, 2) + '\x01', reply);
    return true;
}

bool Instrument::TryLegacy(std::string &reply) {
    const std::string_view frame(frame_);
    if (frame.size() < 3) return false;
    const std::size_t payloadLength = frame.size() - 3;
    if (static_cast<unsigned char>(frame.back()) != ((0x83 + payloadLength) & 0xFF)) return false;

    LegacyRequest request;
    request.address = static_cast<unsigned char>(frame[0]);
    request.letter = frame[1];
    request.payload = frame.substr(2, payloadLength);
    if (request.address != state_.id) {
        ++counters_.otherAddress;
        return true;
    }
    ++counters_.legacyFrames;
    counters_.lastCommand = static_cast<unsigned char>(request.letter);

    const LegacyHandler handler = commands_.Legacy(request.letter);
    if (handler == nullptr) {
        ++counters_.unknownCommands;
        return true;
    }
    const LegacyReply answer = handler(*this, request);
    if (answer.silent || faults_.silent) return true;
    std::string frameOut = kLeadIn;
    frameOut += static_cast<char>(request.address);
    frameOut += answer.payload;
    const unsigned char length = static_cast<unsigned char>((0x82 + answer.payload.size()) & 0xFF);
    frameOut += static_cast<char>(length ^ (faults_.wrongCheck ? 0x01 : 0x00));
    frameOut += '\x01';
    Send(std::move(frameOut), reply);
    return true;
}

void Instrument::Send(std::string frame, std::string &reply) {
    std::string bytes = faults_.garbage + frame;
    if (faults_.cutAfter >= 0 && bytes.size() > static_cast<std::size_t>(faults_.cutAfter))
        bytes.resize(static_cast<std::size_t>(faults_.cutAfter));
    ++counters_.replies;
    reply += bytes;
}

std::string Hex(unsigned long value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

bool ParseHex(std::string_view text, unsigned long *value) {
    if (text.empty() || text.size() > 8) return false;
    unsigned long result = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        result = (result << 4) | static_cast<unsigned long>(digit);
    }
    *value = result;
    return true;
}

}  // namespace sim
