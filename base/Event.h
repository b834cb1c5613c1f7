#pragma once
// The one way a control of this program tells its owner that something
// happened: the control exposes an Event member, the owning window connects a
// handler named after control and event (cmdApply_Click) when it builds the
// control. Handlers run synchronously on the UI thread, in connection order.
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace px {

template <typename... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    void connect(Handler h) { handlers_.push_back(std::move(h)); }
    void clear() { handlers_.clear(); }
    bool connected() const { return !handlers_.empty(); }
    std::size_t count() const { return handlers_.size(); }

    void operator()(Args... args) const {
        // A handler may destroy the control; iterate over a copy.
        auto copy = handlers_;
        for (auto& h : copy) h(args...);
    }

private:
    std::vector<Handler> handlers_;
};

}  // namespace px
