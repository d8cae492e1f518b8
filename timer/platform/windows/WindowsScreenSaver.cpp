#include "timer/platform/windows/WindowsScreenSaver.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace velka {

void WindowsScreenSaver::inhibit()
{
    SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
}

void WindowsScreenSaver::release()
{
    SetThreadExecutionState(ES_CONTINUOUS);
}

} // namespace velka
