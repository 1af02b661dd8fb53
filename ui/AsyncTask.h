#pragma once
// One piece of work at a time off the window's thread, its result handed
// back on the thread of the object that started it.
//
//   task_.RunThenCallback(
//       [args](const std::atomic<bool>& abort) { return Work(args, &abort); },
//       [this](Result result) { Show(result); });
//
// The callback runs on the owner's thread, from its event loop, and never
// once the owner or the task is gone. The work polls the abort flag; the
// task sets it and waits for the work when it is destroyed, so an owner
// that holds its task as a member never outlives its thread.
#include <QObject>
#include <QPointer>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

namespace rg_com_ptl_xyh::ui {

class AsyncTask {
 public:
  // owner: whose thread the callbacks run on; it must outlive the task,
  // and the task is made and destroyed on that thread.
  explicit AsyncTask(QObject* owner);
  // Aborts and waits for the work still running.
  ~AsyncTask();
  AsyncTask(const AsyncTask&) = delete;
  AsyncTask& operator=(const AsyncTask&) = delete;

  // Runs work(abort) on a thread of its own and then(result) on the
  // owner's thread. Never two at once: while one runs (until its callback
  // has run) a second start does nothing and returns false; what the
  // caller does then (drop it, or ask again later) is its own choice.
  template <typename Work, typename Then>
  bool RunThenCallback(Work work, Then then) {
    using Result = std::invoke_result_t<Work&, const std::atomic<bool>&>;
    return Launch([this, work = std::move(work), then = std::move(then)]() mutable {
      if constexpr (std::is_void_v<Result>) {
        work(abort_);
        Deliver([then = std::move(then)]() mutable { then(); });
      } else {
        Deliver(
            [then = std::move(then), result = work(abort_)]() mutable { then(std::move(result)); });
      }
    });
  }

  // For the work: runs step on the owner's thread later (a progress
  // report), in order with the callback, and dropped like it when the
  // owner or the task is gone.
  void Post(std::function<void()> step) const;

  // From a start until its callback has run.
  bool Running() const { return running_; }
  // Asks the running work to stop; it sees the flag and returns early,
  // and its callback still comes. Cleared at the next start.
  void Abort() { abort_ = true; }

 private:
  bool Launch(std::function<void()> body);
  void Deliver(std::function<void()> callback);

  class Relay;
  // Runs what the work handed over, on the owner's thread.
  void Drain();

  // A child of the owner that the work wakes with an event. Its pending
  // events go with it, with the owner or the task, so nothing runs then.
  Relay* relay_;
  QPointer<QObject> relayAlive_;
  // What the work hands over travels here, not inside the event, so the
  // hand-over is ordered by a lock the thread checkers see.
  mutable std::mutex handedMutex_;
  mutable std::deque<std::function<void()>> handed_;
  std::thread thread_;
  std::atomic<bool> abort_{false};
  bool running_ = false;  // touched only on the owner's thread
};

}  // namespace rg_com_ptl_xyh::ui
