// Timers, injected events and device input, delivered one at a time on the main thread.
#include "platform/core/run_loop.h"

#include <algorithm>
#include <cassert>
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

RunLoop::RunLoop(VirtualClock& clock) : clock_(clock), previous_(sCurrent) {
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

std::shared_ptr<Timer> RunLoop::scheduleRefreshTimer(double interval,
                                                     std::function<void()> target) {
  std::shared_ptr<Timer> timer = scheduleTimer(interval, std::move(target), true);
  timer->everyRefresh_ = true;
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
    if (turnedByRefreshes_ && timer->everyRefresh_) continue;  // due at the next turn, not by time
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

void RunLoop::setPace(const Clock* real, double rate) {
  pace_ = real;
  rate_ = rate;
  rebase(now());
}

// From the clock's own time, as setPace: a clock stood still by a handler stays at the moment of
// that handler, and nothing due after it comes until the clock moves again.
void RunLoop::setRate(double rate) {
  rebase(now());
  rate_ = rate;
}

void RunLoop::rebase(double from) {
  ++rebases_;
  paceStart_ = pace_ ? pace_->now() : 0;
  clockStart_ = from;
}

double RunLoop::paced() const {
  if (!pace_) return now();
  return clockStart_ + (pace_->now() - paceStart_) * rate_;
}

double RunLoop::inputTime(double age) const {
  return std::max(now(), paced() - age * rate_);
}

double RunLoop::lag() const {
  return std::max(0.0, paced() - now());
}

bool RunLoop::deliverNext(double limit) {
  // Held while its target runs: the target may invalidate it.
  std::shared_ptr<Timer> timer = earliestTimer();
  const double timerDue = timer ? timer->fireDate() : kForever;
  if (!posted_.empty() && posted_.front().at <= limit && posted_.front().at <= timerDue) {
    Posted posted = std::move(posted_.front());
    posted_.erase(posted_.begin());
    clock_.advanceTo(posted.at);
    posted.event();
    return true;
  }
  if (!timer || timerDue > limit) return false;

  clock_.advanceTo(timerDue);
  if (timer->repeats_) {
    timer->firings_ += 1;  // on the grid start + k·interval, whenever the loop got to it
  } else {
    timer->invalidate();
  }
  timer->target_();
  return true;
}

bool RunLoop::refresh(double time) {
  std::vector<std::shared_ptr<Timer>> refreshTimers;
  for (const auto& timer : timers_) {
    if (timer->everyRefresh_) refreshTimers.push_back(timer);
  }
  if (refreshTimers.empty()) return false;
  // Everything due by `time` has been delivered: the clock may stand there.
  clock_.advanceTo(time);
  for (const auto& timer : refreshTimers) {
    // Held while its target runs, which may invalidate this one or another.
    if (timer->valid_) timer->target_();
  }
  return true;
}

void RunLoop::afterDeliveries() {
  for (auto& observer : beforeWaiting_) observer();
}

void RunLoop::run() {
  stopped_ = false;
  if (pace_) {
    runPaced();
    return;
  }
  while (!stopped_ && deliverNext(kForever)) afterDeliveries();
}

double RunLoop::turn() {
  const double due = nextDue();
  if (paced() - due > kMostBehind) rebase(due);
  const double burst = paced();
  bool delivered = false;
  // A handler may change the rate: the burst then ends where the new pace stands. Until one does,
  // the pace only moves on, past the burst, and the real clock need not be read again.
  const long rebases = rebases_;
  const auto limit = [&] { return rebases == rebases_ ? burst : std::min(burst, paced()); };
  while (!stopped_ && deliverNext(limit())) delivered = true;
  if (turnedByRefreshes_ && !stopped_ && refresh(limit())) delivered = true;
  if (delivered || source_) afterDeliveries();
  return rate_ > 0 ? std::max(0.0, (nextDue() - paced()) / rate_) : kForever;
}

void RunLoop::runPaced() {
  while (!stopped_) {
    const double timeout = turn();
    if (stopped_) return;
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
  clock_.advanceTo(time);
  if (pace_ && paced() < time) rebase(time);
}

}  // namespace platform
