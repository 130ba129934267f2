#include "service/SessionPrograms.h"

#include <algorithm>

namespace pm::service {

SessionPrograms::Kept* SessionPrograms::Find(std::uint32_t session, SessionProgram program) {
  const auto found = sessions_.find(session);
  return found == sessions_.end() ? nullptr : &found->second[program];
}

const SessionPrograms::Kept* SessionPrograms::Find(std::uint32_t session,
                                                   SessionProgram program) const {
  const auto found = sessions_.find(session);
  return found == sessions_.end() ? nullptr : &found->second[program];
}

void SessionPrograms::LoggedOn(std::uint32_t session, bool startupLock, Clock::time_point now) {
  Session& state = sessions_[session];
  state[SessionProgram::StartupLock].wanted = startupLock;
  state[SessionProgram::Engine].wanted = true;
  for (Kept& kept : state.kept) kept.due = now;
}

void SessionPrograms::LoggedOff(std::uint32_t session) {
  sessions_.erase(session);
}

void SessionPrograms::LeaveAlone(std::uint32_t session) {
  if (Kept* engine = Find(session, SessionProgram::Engine)) engine->wanted = false;
}

void SessionPrograms::StartupLockPassed(std::uint32_t session) {
  if (Kept* locker = Find(session, SessionProgram::StartupLock)) locker->wanted = false;
}

void SessionPrograms::Running(std::uint32_t session, SessionProgram program) {
  if (Kept* kept = Find(session, program)) kept->running = true;
}

void SessionPrograms::StartFailed(std::uint32_t session, SessionProgram program,
                                  Clock::time_point now) {
  if (Kept* kept = Find(session, program)) kept->due = now + std::chrono::seconds(1);
}

void SessionPrograms::Ended(std::uint32_t session, SessionProgram program, Clock::time_point now) {
  Kept* kept = Find(session, program);
  if (kept == nullptr) return;
  kept->running = false;
  kept->due = now + kept->restarts.DelayAfterEnd(now);
}

std::vector<SessionPrograms::Due> SessionPrograms::DueAt(Clock::time_point now) const {
  std::vector<Due> due;
  for (const auto& [session, state] : sessions_) {
    for (const SessionProgram program : kInStartOrder) {
      if (state.Startable(program) && state[program].due <= now) due.push_back({session, program});
    }
  }
  return due;
}

std::optional<SessionPrograms::Clock::time_point> SessionPrograms::NextDue() const {
  std::optional<Clock::time_point> next;
  for (const auto& [session, state] : sessions_) {
    for (const SessionProgram program : kInStartOrder) {
      if (!state.Startable(program)) continue;
      next = next ? std::min(*next, state[program].due) : state[program].due;
    }
  }
  return next;
}

bool SessionPrograms::Wanted(std::uint32_t session, SessionProgram program) const {
  const Kept* kept = Find(session, program);
  return kept != nullptr && kept->wanted;
}

bool SessionPrograms::IsRunning(std::uint32_t session, SessionProgram program) const {
  const Kept* kept = Find(session, program);
  return kept != nullptr && kept->running;
}

}  // namespace pm::service
