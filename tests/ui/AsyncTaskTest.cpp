// The worker helper: results on the owner's thread, one run at a time,
// abort and join, and nothing delivered to an owner that is gone.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>
#include <memory>
#include <thread>

#include "ui/AsyncTask.h"

using rg_com_ptl_xyh::ui::AsyncTask;

namespace {

template <typename Condition>
bool Within(Condition condition, int ms = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition() && timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return condition();
}

// Waits, off the window's thread, until the flag is set or 5 s have passed.
bool AwaitFlag(const std::atomic<bool>& flag) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!flag && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return flag;
}

struct Owner : QObject {
  AsyncTask task{this};
};

}  // namespace

TEST(AsyncTask, WorkRunsOffTheOwnersThreadAndItsResultComesBackOnIt) {
  Owner owner;
  std::atomic<QThread*> workThread{nullptr};
  QThread* progressThread = nullptr;
  QThread* callbackThread = nullptr;
  int progress = 0;
  int result = 0;
  ASSERT_TRUE(owner.task.RunThenCallback(
      [&](const std::atomic<bool>&) {
        workThread = QThread::currentThread();
        owner.task.Post([&] {
          progressThread = QThread::currentThread();
          ++progress;
        });
        return 42;
      },
      [&](int value) {
        callbackThread = QThread::currentThread();
        result = value;
      }));
  EXPECT_TRUE(owner.task.Running());
  ASSERT_TRUE(Within([&] { return result != 0; }));
  EXPECT_EQ(result, 42);
  EXPECT_FALSE(owner.task.Running());
  EXPECT_NE(workThread.load(), QThread::currentThread());
  EXPECT_EQ(callbackThread, QThread::currentThread());
  // A report posted by the work comes before the result.
  EXPECT_EQ(progress, 1);
  EXPECT_EQ(progressThread, QThread::currentThread());
}

TEST(AsyncTask, ASecondStartWhileOneRunsDoesNothing) {
  Owner owner;
  std::atomic<bool> release{false};
  std::atomic<int> works{0};
  int callbacks = 0;
  const auto work = [&](const std::atomic<bool>&) {
    ++works;
    AwaitFlag(release);
  };
  ASSERT_TRUE(owner.task.RunThenCallback(work, [&] { ++callbacks; }));
  EXPECT_FALSE(owner.task.RunThenCallback(work, [&] { callbacks += 100; }));
  release = true;
  ASSERT_TRUE(Within([&] { return callbacks > 0; }));
  EXPECT_EQ(callbacks, 1);
  EXPECT_EQ(works, 1);
  // Once the callback has run the next start goes.
  EXPECT_TRUE(owner.task.RunThenCallback(work, [&] { ++callbacks; }));
  ASSERT_TRUE(Within([&] { return callbacks == 2; }));
  EXPECT_EQ(works, 2);
}

TEST(AsyncTask, TheWorkSeesTheAbortFlagAndTheNextStartClearsIt) {
  Owner owner;
  int saw = -1;
  ASSERT_TRUE(owner.task.RunThenCallback(
      [](const std::atomic<bool>& abort) { return AwaitFlag(abort) ? 1 : 0; },
      [&](int value) { saw = value; }));
  owner.task.Abort();
  ASSERT_TRUE(Within([&] { return saw != -1; }));
  EXPECT_EQ(saw, 1);
  ASSERT_TRUE(owner.task.RunThenCallback(
      [](const std::atomic<bool>& abort) { return abort.load() ? 1 : 0; },
      [&](int value) { saw = value; }));
  ASSERT_TRUE(Within([&] { return saw != 1; }));
  EXPECT_EQ(saw, 0);
}

TEST(AsyncTask, DestroyingTheOwnerAbortsAndJoinsAndDropsTheCallback) {
  auto owner = std::make_unique<Owner>();
  std::atomic<bool> started{false};
  std::atomic<bool> finished{false};
  bool called = false;
  ASSERT_TRUE(owner->task.RunThenCallback(
      [&](const std::atomic<bool>& abort) {
        started = true;
        AwaitFlag(abort);
        // Still running when the destructor has begun: it must wait for this.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        finished = true;
      },
      [&] { called = true; }));
  ASSERT_TRUE(Within([&] { return started.load(); }));
  owner.reset();
  EXPECT_TRUE(finished);
  QCoreApplication::processEvents();
  EXPECT_FALSE(called);
}

TEST(AsyncTask, AResultAlreadyPostedIsDroppedWhenTheTaskOrTheOwnerIsGone) {
  // The owner outlives the task.
  QObject owner;
  auto task = std::make_unique<AsyncTask>(&owner);
  std::atomic<bool> done{false};
  bool called = false;
  ASSERT_TRUE(task->RunThenCallback([&](const std::atomic<bool>&) { done = true; },
                                    [&] { called = true; }));
  // Waited for without handling events, which would deliver the result.
  ASSERT_TRUE(AwaitFlag(done));
  task.reset();  // joined: the callback has been posted by now
  QCoreApplication::processEvents();
  EXPECT_FALSE(called);

  // The owner goes with its task.
  auto owned = std::make_unique<Owner>();
  done = false;
  ASSERT_TRUE(owned->task.RunThenCallback([&](const std::atomic<bool>&) { done = true; },
                                          [&] { called = true; }));
  ASSERT_TRUE(AwaitFlag(done));
  owned.reset();
  QCoreApplication::processEvents();
  EXPECT_FALSE(called);
}
