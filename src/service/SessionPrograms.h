// Which of our programs each signed-in session must have running, and when
// each is due to start: the keeper's rules, apart from how Windows starts
// and watches a process.
//
// At a log-on the start-up locker comes first where it is switched on, and
// the engine waits for it; the start-up lock of a session ends only with the
// service's own record of its right password (StartupLockPassed), never
// with the locker's exit code or a message, which any program of the user's
// can forge. The engine runs from then until "End Pelmora Pro" or the end of
// the session. Whatever ends otherwise is started again at once, but at most
// once a second.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "service/RestartPolicy.h"

namespace pm::service {

// In the order they start in a session.
enum class SessionProgram { StartupLock, Engine };

class SessionPrograms {
 public:
  using Clock = std::chrono::steady_clock;
  struct Due {
    std::uint32_t session;
    SessionProgram program;
    bool operator==(const Due&) const = default;
  };

  // A log-on, or a session found open: the engine is wanted, and before it
  // the start-up locker when `startupLock`.
  void LoggedOn(std::uint32_t session, bool startupLock, Clock::time_point now);
  // Its programs end with the session; the next log-on starts them.
  void LoggedOff(std::uint32_t session);
  // "End Pelmora Pro" with the password: no engine until the next log-on.
  void LeaveAlone(std::uint32_t session);
  // The service's record of the right password at the session's start-up
  // lock: the locker is no longer wanted, and the engine may start.
  void StartupLockPassed(std::uint32_t session);

  // The program runs in the session now (started, or found running).
  void Running(std::uint32_t session, SessionProgram program);
  // Starting it failed (no user token yet, say): tried again a second later.
  void StartFailed(std::uint32_t session, SessionProgram program, Clock::time_point now);
  // It ended, in whatever way and with whatever exit code.
  void Ended(std::uint32_t session, SessionProgram program, Clock::time_point now);

  // What must be started at `now`, in start order.
  std::vector<Due> DueAt(Clock::time_point now) const;
  // When the next program not running becomes due; nothing when none waits.
  std::optional<Clock::time_point> NextDue() const;

  bool Wanted(std::uint32_t session, SessionProgram program) const;
  bool IsRunning(std::uint32_t session, SessionProgram program) const;

 private:
  struct Kept {
    bool wanted = false;
    bool running = false;
    Clock::time_point due{};
    RestartPolicy restarts;
  };
  struct Session {
    std::array<Kept, 2> kept;
    Kept& operator[](SessionProgram program) { return kept[static_cast<std::size_t>(program)]; }
    const Kept& operator[](SessionProgram program) const {
      return kept[static_cast<std::size_t>(program)];
    }
    // The engine starts once the start-up lock is passed.
    bool Waits(SessionProgram program) const {
      return program == SessionProgram::Engine && (*this)[SessionProgram::StartupLock].wanted;
    }
    bool Startable(SessionProgram program) const {
      const Kept& kept = (*this)[program];
      return kept.wanted && !kept.running && !Waits(program);
    }
  };
  static constexpr SessionProgram kInStartOrder[] = {SessionProgram::StartupLock,
                                                     SessionProgram::Engine};

  Kept* Find(std::uint32_t session, SessionProgram program);
  const Kept* Find(std::uint32_t session, SessionProgram program) const;

  std::map<std::uint32_t, Session> sessions_;
};

}  // namespace pm::service
