#pragma once

#include <type_traits>
#include <utility>
#include <variant>

#include "design/text.h"

// The one shape of a call that can fail: a value, or why there is none. It
// reads like C++23's std::expected (has_value, value, error, *, ->), which
// the fuzzing build's clang 14 cannot compile yet; once it can, this becomes
// `template <class T, class E> using Result = std::expected<T, E>`.
namespace quernel {

template <class E>
struct Unexpected {
  E error;
};

// The failure to return: `return Fail(reason);`.
template <class E>
Unexpected<std::decay_t<E>> Fail(E&& error) {
  return {std::forward<E>(error)};
}

// The failure is the system's or the program's own wording, unless a caller
// needs more (a kind to act on) and says so in E.
template <class T, class E = Text>
class [[nodiscard]] Result {
 public:
  Result() requires std::is_default_constructible_v<T> : state_(std::in_place_index<0>) {}
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit, as std::expected
  template <class F>
  Result(Unexpected<F> failure) : state_(std::in_place_index<1>, std::move(failure.error)) {}  // NOLINT

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const E& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, E> state_;
};

// A call that only succeeds or fails.
template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;
  template <class F>
  Result(Unexpected<F> failure) : failure_(std::move(failure.error)), failed_(true) {}  // NOLINT

  bool has_value() const { return !failed_; }
  explicit operator bool() const { return has_value(); }
  const E& error() const { return failure_; }

 private:
  E failure_{};
  bool failed_ = false;
};

}  // namespace quernel
