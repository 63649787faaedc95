// Timers, injected events and device input, delivered one at a time on the main thread.
#include "platform/core/run_loop.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <thread>

namespace platform {
namespace {

RunLoop* sCurrent = nullptr;

// The shortest interval a timer may have, so that a zero interval cannot stall the loop.
constexpr double kMinimumInterval = 1e-4;

}  // namespace

Timer::Timer(RunLoop& loop, double start, double interval, std::function<void()> target,
             bool repeats, uint64_t sequence)
    : loop_(&loop),
      start_(start),
      interval_(std::max(interval, kMinimumInterval)),
      target_(std::move(target)),
      repeats_(repeats),
      sequence_(sequence) {}

double Timer::fireDate() const {
  return start_ + static_cast<double>(firings_) * interval_;
}

void Timer::invalidate() {
  if (!valid_) return;
  valid_ = false;
  if (loop_) loop_->forget(this);
}

RunLoop::RunLoop(Clock& clock)
    : clock_(clock), virtual_(dynamic_cast<VirtualClock*>(&clock)), previous_(sCurrent) {
  sCurrent = this;
}

RunLoop::~RunLoop() {
  for (auto& timer : timers_) {
    timer->valid_ = false;
    timer->loop_ = nullptr;
  }
  sCurrent = previous_;
}

RunLoop& RunLoop::current() {
  assert(sCurrent && "no run loop exists");
  return *sCurrent;
}

bool RunLoop::exists() {
  return sCurrent != nullptr;
}

std::shared_ptr<Timer> RunLoop::scheduleTimer(double interval, std::function<void()> target,
                                              bool repeats) {
  std::shared_ptr<Timer> timer(
      new Timer(*this, now(), interval, std::move(target), repeats, sequence_++));
  timers_.push_back(timer);
  return timer;
}

void RunLoop::post(double at, std::function<void()> event) {
  Posted posted{at, sequence_++, std::move(event)};
  auto later = std::upper_bound(posted_.begin(), posted_.end(), posted, [](auto& a, auto& b) {
    return a.at < b.at || (a.at == b.at && a.sequence < b.sequence);
  });
  posted_.insert(later, std::move(posted));
}

void RunLoop::addBeforeWaitingObserver(std::function<void()> observer) {
  beforeWaiting_.push_back(std::move(observer));
}

void RunLoop::forget(Timer* timer) {
  std::erase_if(timers_, [timer](auto& t) { return t.get() == timer; });
}

std::shared_ptr<Timer> RunLoop::earliestTimer() const {
  std::shared_ptr<Timer> earliest;
  for (const auto& timer : timers_) {
    if (!earliest || timer->fireDate() < earliest->fireDate() ||
        (timer->fireDate() == earliest->fireDate() && timer->sequence_ < earliest->sequence_)) {
      earliest = timer;
    }
  }
  return earliest;
}

double RunLoop::nextDue() const {
  double due = kForever;
  if (!posted_.empty()) due = posted_.front().at;
  if (auto timer = earliestTimer()) due = std::min(due, timer->fireDate());
  return due;
}

bool RunLoop::deliverNext(double limit) {
  // Held while its target runs: the target may invalidate it.
  std::shared_ptr<Timer> timer = earliestTimer();
  const double timerDue = timer ? timer->fireDate() : kForever;
  if (!posted_.empty() && posted_.front().at <= limit && posted_.front().at <= timerDue) {
    Posted posted = std::move(posted_.front());
    posted_.erase(posted_.begin());
    if (virtual_) virtual_->advanceTo(posted.at);
    posted.event();
    return true;
  }
  if (!timer || timerDue > limit) return false;

  if (virtual_) virtual_->advanceTo(timerDue);
  if (timer->repeats_) {
    // Stay on the grid start + k·interval; a late loop skips the firings it missed.
    const double behind = std::floor((now() - timer->start_) / timer->interval_);
    timer->firings_ = std::max(timer->firings_ + 1, static_cast<uint64_t>(behind) + 1);
  } else {
    timer->invalidate();
  }
  timer->target_();
  return true;
}

void RunLoop::afterDeliveries() {
  for (auto& observer : beforeWaiting_) observer();
}

void RunLoop::run() {
  stopped_ = false;
  while (!stopped_) {
    if (virtual_) {
      if (!deliverNext(kForever)) return;
      afterDeliveries();
      continue;
    }
    const double burst = now();
    bool delivered = false;
    while (!stopped_ && deliverNext(burst)) delivered = true;
    if (delivered || source_) afterDeliveries();
    if (stopped_) return;
    const double timeout = std::max(0.0, nextDue() - now());
    if (source_) {
      source_->waitAndDispatch(timeout);
    } else if (timeout == kForever) {
      return;  // nothing can ever arrive
    } else {
      std::this_thread::sleep_for(std::chrono::duration<double>(timeout));
    }
  }
}

void RunLoop::runUntil(double time) {
  stopped_ = false;
  while (!stopped_ && deliverNext(time)) afterDeliveries();
  if (virtual_) virtual_->advanceTo(time);
}

}  // namespace platform
