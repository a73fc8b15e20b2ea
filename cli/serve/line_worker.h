// Runs the server's requests on the line from a thread of its own, one at
// a time, so that the network is watched all the while: a request is
// stamped when it arrives, a client that leaves is let go at once, and a
// request to stop is heard during a transaction.
#pragma once
#include <array>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <span>
#include <thread>

#include "envelope/envelope.h"
#include "platform/socket_sys.h"

namespace cli::serve {

// Runs a request on the line: the request's frame, the time by which the
// reply must be there (platform::Timer()), room for the reply and its
// length. 0, or an error code of error_codes.h.
using Exchange = std::function<unsigned(std::span<const unsigned char> request, double deadline,
                                        std::span<unsigned char> reply, std::size_t *replyLength)>;

class LineWorker {
public:
    explicit LineWorker(Exchange exchange);
    // Waits for a transaction under way to end (its deadline bounds it).
    ~LineWorker();
    LineWorker(const LineWorker &) = delete;
    LineWorker &operator=(const LineWorker &) = delete;

    bool Busy() const { return busy_; }
    // Hands a request to the line (the bytes are copied); only when not Busy().
    void Start(std::span<const unsigned char> request, double deadline);
    // Readable once the transaction has ended.
    platform::detail::SocketHandle DoneSocket() const { return done_.reader; }
    // After DoneSocket() became readable: the outcome, the reply copied
    // into reply. False while the transaction is still under way.
    bool Finish(unsigned *code, std::span<unsigned char> reply, std::size_t *length);

private:
    void Run();

    Exchange exchange_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = false;   // a request waits for the thread
    bool finished_ = false;  // its outcome waits for Finish()
    bool quit_ = false;
    bool busy_ = false;  // the serving thread's own view
    std::array<unsigned char, envelope::kMaxPayload> request_{};
    std::size_t requestLength_ = 0;
    double deadline_ = 0;
    std::array<unsigned char, envelope::kMaxPayload> reply_{};
    std::size_t replyLength_ = 0;
    unsigned code_ = 0;
    platform::detail::WakeChannel done_;
    std::thread thread_;
};

}  // namespace cli::serve
