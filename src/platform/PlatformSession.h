// The window system's services (video, events, timer) for the life of the program: started by the
// constructor, stopped by the destructor.
#pragma once

#include <string>

class PlatformSession {
  public:
    PlatformSession();
    ~PlatformSession();
    PlatformSession(const PlatformSession&) = delete;
    PlatformSession& operator=(const PlatformSession&) = delete;

    bool Started() const { return started; }
    // Why the services could not start; empty once they have.
    const std::string& Error() const { return error; }

  private:
    bool started = false;
    std::string error;
};
