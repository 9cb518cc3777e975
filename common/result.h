#pragma once
// A value or the message that explains why there is none.
//
// Core routines never show anything: a failure carries the exact Windows-1252 text that the
// window puts in its message box (or the command line prints), and the caller decides.

#include <string>
#include <utility>
#include <variant>

namespace korvo {

struct Failure {
  std::string message;  // Windows-1252, exactly as shown to the user
};

template <class T>
class Result {
 public:
  Result(T value) : state_(std::move(value)) {}           // NOLINT: implicit on purpose
  Result(Failure failure) : state_(std::move(failure)) {}  // NOLINT: implicit on purpose

  bool ok() const { return std::holds_alternative<T>(state_); }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<T>(state_); }
  const T& value() const& { return std::get<T>(state_); }
  T&& value() && { return std::get<T>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const std::string& error() const { return std::get<Failure>(state_).message; }

 private:
  std::variant<T, Failure> state_;
};

// For operations that produce nothing but may fail.
struct Done {};
using Status = Result<Done>;
inline Status Ok() { return Done{}; }

}  // namespace korvo
