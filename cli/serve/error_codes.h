// The error codes the server answers with ('c' and four hex digits). A
// client's command then fails with result 2, the code in its link error
// field.
#pragma once

namespace cli::serve {

enum ErrorCode : unsigned {
    kLineFailed = 0x0001,       // the serial port reported an error
    kNoReply = 0x0002,          // nothing but the request's echo came within the reply window
    kReplyUnfinished = 0x0003,  // a reply began but did not end within the window, or overran 1024 bytes
    kNotSent = 0x0004,          // the request waited for the line until too little of its window was left
    kServerStopping = 0x0005,   // the server stopped before the request's turn
};

}  // namespace cli::serve
