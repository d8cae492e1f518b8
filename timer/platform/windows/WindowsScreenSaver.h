#pragma once

#include "timer/KeepScreenAwake.h"

namespace velka {

// Keeps the display on, and the machine awake, through the execution state of the calling
// thread: while held, Windows neither turns the display off nor sleeps for want of input.
// Neither call asks a service or waits. The state belongs to the thread that sets it, so both
// calls come from the same thread (the windows' thread).
class WindowsScreenSaver final : public ScreenSaver {
public:
    void inhibit() override;
    void release() override;
};

} // namespace velka
