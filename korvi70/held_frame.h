// While a HeldFrame exists, the bytes a frame writes on a serial link leave
// the program in one write instead of one per field: at the frame's
// terminator 0x01, before anything else is asked of the port, or when the
// HeldFrame ends. A USB adapter then sends a frame in one transfer rather
// than paying a round trip for each write; the bytes on the wire are the
// same. A line that echoes is read between the writes, so nothing is held
// on one; the TCP link gathers its envelope itself.
#pragma once

namespace korvi70 {

class HeldFrame {
public:
    HeldFrame();
    ~HeldFrame();
    HeldFrame(const HeldFrame &) = delete;
    HeldFrame &operator=(const HeldFrame &) = delete;

private:
    bool holds_;  // false when an outer HeldFrame already holds
};

}  // namespace korvi70
