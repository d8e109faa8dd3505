#pragma once

#include <string>

// A connection to the display the window goes on, held for the whole run:
// an X server that resets when its last client leaves (Xvfb does) cannot
// then refuse the window's own connection right after the check.
class DisplayConnection {
public:
    DisplayConnection();
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    // Empty when the display opened; else what failed, naming the display.
    const std::string& problem() const { return problem_; }

private:
    void* handle_ = nullptr;
    std::string problem_;
};
