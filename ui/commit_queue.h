// The operator's commits kept for a wait for a user event (GetUserEvent):
// the same rules in every window back end.
#pragma once
#include <cstddef>
#include <deque>
#include <utility>

#include "ui/model.h"

namespace ui {

class CommitQueue {
public:
    // A wait for a user event starts and ends; waits nest inside callbacks.
    void BeginWait() { ++waits_; }
    void EndWait() { --waits_; }

    // Keeps a commit that reached the program while a wait is under way (the
    // ones handed to callbacks before it are not events for a later wait);
    // true when kept.
    bool Offer(int panel, int control, model::UserResult result) {
        if (result != model::UserResult::Delivered || waits_ == 0) return false;
        if (pending_.size() >= kMaxPending) pending_.pop_front();
        pending_.emplace_back(panel, control);
        return true;
    }
    // The oldest kept commit; false when none.
    bool Take(int *panel, int *control) {
        if (pending_.empty()) return false;
        *panel = pending_.front().first;
        *control = pending_.front().second;
        pending_.pop_front();
        return true;
    }
    bool Empty() const { return pending_.empty(); }
    void Clear() { pending_.clear(); }

private:
    // More unread commits than this mean nobody reads them.
    static constexpr std::size_t kMaxPending = 64;
    int waits_ = 0;
    std::deque<std::pair<int, int>> pending_;
};

}  // namespace ui
