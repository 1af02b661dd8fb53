#include "ui/AsyncTask.h"

namespace rg_com_ptl_xyh::ui {

AsyncTask::AsyncTask(QObject* owner) : owner_(owner) {}

AsyncTask::~AsyncTask() {
  abort_ = true;
  if (thread_.joinable()) thread_.join();
}

bool AsyncTask::Launch(std::function<void()> body) {
  if (running_) return false;
  // The last thread has posted its callback, which has run: it is ending.
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
  // Queued to the owner, whose pending calls Qt drops when it is deleted;
  // the weak token covers a task deleted before its owner.
  QMetaObject::invokeMethod(
      owner_,
      [alive = std::weak_ptr<int>(alive_), step = std::move(step)] {
        if (alive.lock()) step();
      },
      Qt::QueuedConnection);
}

}  // namespace rg_com_ptl_xyh::ui
