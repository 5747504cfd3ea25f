// The simulated machine's windows, message queue and window timers.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/os.h"

namespace sim {

// A key press that the user makes at a virtual time ("Enter", "Escape").
struct InputEvent {
    std::uint64_t atMs = 0;
    std::string key;
};

struct SimWindow {
    os::DWORD style = 0;
    os::DWORD exStyle = 0;
    bool visible = false;
    bool everVisible = false;
    os::DLGPROC proc = nullptr;
    os::UINT templateId = 0;
};

struct SimTimer {
    os::HWND window = nullptr;
    os::UINT_PTR id = 0;
    os::UINT periodMs = 0;
    std::uint64_t dueMs = 0;
    std::uint64_t serial = 0;  // timers due together fire in the order they were set
};

struct WindowManager {
    std::map<os::HWND, SimWindow> windows;
    std::vector<SimTimer> timers;
    std::deque<os::MSG> queue;
    std::uintptr_t nextHandle = 0x10010;
    std::uint64_t nextSerial = 1;
    std::size_t nextEvent = 0;  // index into Machine::events of the next key press
    // Every timer ever set, for what a run shows: window, id, period.
    std::vector<SimTimer> setHistory;
};

}  // namespace sim
