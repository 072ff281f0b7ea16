#pragma once
// How an editor handler waits for the user. A question (message box, input
// box, popup menu, file chooser) answers with an Answer<T>; a handler that
// asks is a coroutine returning Handler and reads each answer with co_await:
//
//   platform::Handler TPluginEditorWindow::assignClick() {
//     const auto typed = co_await platform::systemInputBoxes().query("Assign controller", "Controller:", "0");
//     if (!typed) co_return;                                     // Cancel: nothing changes
//     if (!parseInteger(*typed)) {
//       co_await platform::systemMessageBoxes().show(notAnIntegerMessage(*typed), "Error", ...);
//       co_return;
//     }
//     store(*parseInteger(*typed));                              // runs after the box closed
//     plugin.setParameter(999, 0.0f);
//   }
//
// On Windows the system's modal boxes answer before the call returns (their
// own message loop keeps the host alive), and so do the headless services of
// the tests: the Answer is ready at once, co_await does not suspend, and every
// step runs in exactly the order of a plain function. On Linux the boxes are
// drawn in the editor window and answered later from the host's idle calls:
// the handler suspends at co_await and the rest of it runs when the user
// answers, so the host's GUI thread is never held. Closing the window while a
// handler waits answers its question as a user who cancels, before the form
// goes away.
//
// Rules for handlers: take parameters by value (a reference may dangle once
// the handler has suspended), and keep no raw pointer to anything a box can
// outlive. Exceptions that leave a Handler are shown to the user like those
// of any other event handler; they never reach the host.
//
// GUI thread only, all of it.

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace platform {

// Reports an exception that left a handler (defined in GuiExceptions.cpp).
void reportCurrentException() noexcept;

namespace detail {

template <class T>
struct AnswerState {
  std::optional<T> value;
  std::exception_ptr error;
  std::coroutine_handle<> waiter;       // a coroutine suspended on the answer
  std::function<void(T)> continuation;  // or a plain callback (then())

  bool ready() const { return value.has_value() || error != nullptr; }

  // Hands the answer on: resumes the waiting coroutine or calls the callback.
  void deliver() {
    if (waiter) {
      std::exchange(waiter, {}).resume();
    } else if (continuation && value) {
      auto callback = std::move(continuation);
      continuation = nullptr;
      callback(std::move(*value));
    }
  }
};

}  // namespace detail

// The service's end of a question that is answered later: keep it while the
// box is open, then give() the answer once.
template <class T>
class AnswerSlot {
 public:
  AnswerSlot() : state_(std::make_shared<detail::AnswerState<T>>()) {}

  bool answered() const { return state_->ready(); }
  // Gives the answer and runs whatever waits for it (the rest of a handler)
  // before returning. A second answer is ignored.
  void give(T value) {
    if (state_->ready()) return;
    state_->value = std::move(value);
    std::shared_ptr<detail::AnswerState<T>> keep = state_;  // the waiter may drop the last reference
    keep->deliver();
  }

 private:
  template <class>
  friend class Answer;
  std::shared_ptr<detail::AnswerState<T>> state_;
};

// The answer to a question, ready now or later. Await it in a coroutine, or
// pass a callback to then().
template <class T>
class Answer {
 public:
  using State = detail::AnswerState<T>;

  // An answer that is already known.
  static Answer now(T value) {
    auto state = std::make_shared<State>();
    state->value = std::move(value);
    return Answer(std::move(state));
  }
  // An answer that comes through `slot`.
  explicit Answer(const AnswerSlot<T>& slot) : state_(slot.state_) {}

  bool isReady() const { return state_->ready(); }
  // The answer when it is ready; rethrows an error of the question.
  const T& value() const {
    if (state_->error) std::rethrow_exception(state_->error);
    return *state_->value;
  }
  // Calls `callback` with the answer, at once when it is ready, else when it
  // arrives. For callers that are not coroutines.
  void then(std::function<void(T)> callback) {
    if (state_->error) return;
    if (state_->value) {
      callback(*state_->value);
      return;
    }
    state_->continuation = std::move(callback);
  }

  // Awaiting.
  bool await_ready() const noexcept { return state_->ready(); }
  void await_suspend(std::coroutine_handle<> waiting) { state_->waiter = waiting; }
  T await_resume() {
    if (state_->error) std::rethrow_exception(state_->error);
    return std::move(*state_->value);
  }

  // A coroutine may return an Answer: it starts at once and answers with its
  // co_return value (questions built from other questions).
  struct promise_type {
    std::shared_ptr<State> state = std::make_shared<State>();

    Answer get_return_object() { return Answer(state); }
    std::suspend_never initial_suspend() noexcept { return {}; }
    auto final_suspend() noexcept {
      struct Finish {
        bool await_ready() noexcept { return false; }
        std::coroutine_handle<> await_suspend(std::coroutine_handle<promise_type> self) noexcept {
          // The frame is freed first; only the local state lives on.
          std::shared_ptr<State> finished = std::move(self.promise().state);
          self.destroy();
          if (finished->waiter) return std::exchange(finished->waiter, {});
          try {
            finished->deliver();
          } catch (...) {
            reportCurrentException();
          }
          return std::noop_coroutine();
        }
        void await_resume() noexcept {}
      };
      return Finish{};
    }
    void return_value(T value) { state->value = std::move(value); }
    void unhandled_exception() noexcept { state->error = std::current_exception(); }
  };

 private:
  explicit Answer(std::shared_ptr<State> state) : state_(std::move(state)) {}
  std::shared_ptr<State> state_;
};

// The return type of an event handler that asks the user something. It starts
// when called, runs until its first unanswered question and frees itself
// when it ends. Nobody awaits it.
class Handler {
 public:
  struct promise_type {
    Handler get_return_object() noexcept { return {}; }
    std::suspend_never initial_suspend() noexcept { return {}; }
    std::suspend_never final_suspend() noexcept { return {}; }
    void return_void() noexcept {}
    void unhandled_exception() noexcept { reportCurrentException(); }
  };
};

}  // namespace platform
