#include "cli/serve/line_worker.h"

#include <algorithm>
#include <cstring>

namespace cli::serve {

LineWorker::LineWorker(Exchange exchange) : exchange_(std::move(exchange)) {
    platform::detail::OpenWake(done_);
    thread_ = std::thread([this] { Run(); });
}

LineWorker::~LineWorker() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
    platform::detail::CloseWake(done_);
}

void LineWorker::Start(std::span<const unsigned char> request, double deadline) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        requestLength_ = std::min(request.size(), request_.size());
        std::memcpy(request_.data(), request.data(), requestLength_);
        deadline_ = deadline;
        pending_ = true;
        finished_ = false;
    }
    busy_ = true;
    wake_.notify_one();
}

bool LineWorker::Finish(unsigned *code, std::span<unsigned char> reply, std::size_t *length) {
    platform::detail::DrainWake(done_);
    std::lock_guard<std::mutex> guard(mutex_);
    if (!finished_) return false;
    finished_ = false;
    busy_ = false;
    *code = code_;
    *length = std::min(replyLength_, reply.size());
    std::memcpy(reply.data(), reply_.data(), *length);
    return true;
}

void LineWorker::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || quit_; });
        if (!pending_) return;
        pending_ = false;
        // The buffers are this thread's until finished_ is set.
        lock.unlock();
        std::size_t length = 0;
        const unsigned code = exchange_(std::span<const unsigned char>(request_.data(), requestLength_), deadline_,
                                        std::span<unsigned char>(reply_), &length);
        lock.lock();
        code_ = code;
        replyLength_ = std::min(length, reply_.size());
        finished_ = true;
        platform::detail::Wake(done_);
    }
}

}  // namespace cli::serve
