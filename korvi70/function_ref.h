// FunctionRef<R(Args...)>: a non-owning reference to a callable, for
// handlers that a call uses only while it runs (no allocation, unlike
// std::function; no void * context to cast back).
#pragma once
#include <type_traits>
#include <utility>

namespace korvi70 {

// A non-owning reference to a callable (no allocation), valid while the
// callable lives: handlers are lambdas on the command's stack.
template <class Signature>
class FunctionRef;

template <class R, class... Args>
class FunctionRef<R(Args...)> {
public:
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, FunctionRef> &&
                                                !std::is_function_v<std::remove_reference_t<F>>>>
    FunctionRef(F &&f) noexcept  // NOLINT: implicit by design
        : call_([](Target target, Args... args) -> R {
              return (*static_cast<std::remove_reference_t<F> *>(target.object))(std::forward<Args>(args)...);
          }) {
        target_.object = const_cast<void *>(static_cast<const void *>(&f));
    }
    FunctionRef(R (*function)(Args...)) noexcept  // NOLINT: implicit by design
        : call_([](Target target, Args... args) -> R { return target.function(std::forward<Args>(args)...); }) {
        target_.function = function;
    }
    R operator()(Args... args) const { return call_(target_, std::forward<Args>(args)...); }

private:
    union Target {
        void *object;
        R (*function)(Args...);
    };
    Target target_;
    R (*call_)(Target, Args...);
};

}  // namespace korvi70
