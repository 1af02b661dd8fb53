#include "ui/AsyncTask.h"

#include <QCoreApplication>
#include <QEvent>

namespace rg_com_ptl_xyh::ui {

class AsyncTask::Relay : public QObject {
 public:
  Relay(AsyncTask* task, QObject* owner) : QObject(owner), task_(task) {}

  bool event(QEvent* event) override {
    // A wake-up is made on the work's thread before the step it announces
    // is handed over under the lock (Post); taking the lock here orders this
    // read of it after its making in a way thread checkers see, as Qt's own
    // event-queue lock is hidden from them.
    { const std::lock_guard<std::mutex> lock(task_->handedMutex_); }
    if (event->type() != QEvent::User) return QObject::event(event);
    task_->Drain();
    return true;
  }

 private:
  AsyncTask* task_;
};

AsyncTask::AsyncTask(QObject* owner) : relay_(new Relay(this, owner)), relayAlive_(relay_) {}

AsyncTask::~AsyncTask() {
  abort_ = true;
  if (thread_.joinable()) thread_.join();
  delete relayAlive_.data();  // unless it went with the owner
}

bool AsyncTask::Launch(std::function<void()> body) {
  if (running_) return false;
  // The last thread has handed over its callback, which has run: it is
  // ending.
  if (thread_.joinable()) thread_.join();
  abort_ = false;
  running_ = true;
  thread_ = std::thread(std::move(body));
  return true;
}

void AsyncTask::Deliver(std::function<void()> callback) {
  Post([this, callback = std::move(callback)] {
    running_ = false;
    callback();
  });
}

void AsyncTask::Post(std::function<void()> step) const {
  auto* wake = new QEvent(QEvent::User);  // before the hand-over: see Relay::event
  {
    const std::lock_guard<std::mutex> lock(handedMutex_);
    handed_.push_back(std::move(step));
  }
  // The relay lives until the thread is joined.
  QCoreApplication::postEvent(relay_, wake);
}

void AsyncTask::Drain() {
  for (;;) {
    std::function<void()> step;
    {
      const std::lock_guard<std::mutex> lock(handedMutex_);
      if (handed_.empty()) return;
      step = std::move(handed_.front());
      handed_.pop_front();
    }
    step();
  }
}

}  // namespace rg_com_ptl_xyh::ui
