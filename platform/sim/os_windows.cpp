// Simulated windows, dialogs, the message queue, window timers and message boxes.
//
// The queue runs on the virtual clock: when it is empty, the clock jumps to the
// next timer that falls due or the next key press; when nothing can ever come,
// the loop is stopped with a diagnostic rather than hang.
#include <algorithm>

#include "platform/sim/machine.h"
#include "removal/resource.h"

namespace {

sim::WindowManager& wm() { return sim::machine().windows; }

sim::SimWindow* find(os::HWND window) {
    auto it = wm().windows.find(window);
    return it == wm().windows.end() ? nullptr : &it->second;
}

void setVisible(sim::SimWindow& w, bool visible) {
    w.visible = visible;
    if (visible) w.everVisible = true;
}

// The top-level window that has the keyboard focus: the newest one.
os::HWND focusWindow() { return wm().windows.empty() ? nullptr : wm().windows.rbegin()->first; }

}  // namespace

namespace os {

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("MessageBoxA")) return 0;
    m.records.messageBoxes.push_back({text ? text : "", caption ? caption : "", type});
    return IDOK;  // the user reads it and presses OK
}

HWND CreateDialogParamA(HINSTANCE, UINT templateId, HWND, DLGPROC proc, LPARAM param) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("CreateDialogParamA")) return nullptr;
    if (templateId != IDD_RETRYDELETE) {
        m.lastError = 1814;  // ERROR_RESOURCE_NAME_NOT_FOUND
        return nullptr;
    }
    auto window = reinterpret_cast<HWND>(wm().nextHandle);
    wm().nextHandle += 4;
    sim::SimWindow w;
    w.style = RETRY_DIALOG_STYLE;
    w.exStyle = RETRY_DIALOG_EXSTYLE | 0x1;  // WS_EX_DLGMODALFRAME, from DS_MODALFRAME
    w.proc = proc;
    w.templateId = templateId;
    setVisible(w, (w.style & WS_VISIBLE) != 0);
    wm().windows[window] = w;
    m.held.acquire("windows");
    m.records.dialogRan = true;
    proc(window, WM_INITDIALOG, 0, param);
    return window;
}

BOOL DestroyWindow(HWND window) {
    sim::Machine& m = sim::machine();
    if (!find(window)) {
        m.lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    auto& timers = wm().timers;
    for (auto it = timers.begin(); it != timers.end();) {
        if (it->window == window) {
            it = timers.erase(it);
            m.held.release("timers");
        } else {
            ++it;
        }
    }
    auto& queue = wm().queue;
    queue.erase(std::remove_if(queue.begin(), queue.end(), [&](const MSG& msg) { return msg.hwnd == window; }),
                queue.end());
    wm().windows.erase(window);
    m.held.release("windows");
    return TRUE;
}

BOOL EndDialog(HWND dialog, LONG_PTR result) {
    sim::Machine& m = sim::machine();
    sim::SimWindow* w = find(dialog);
    if (!w) {
        m.lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    setVisible(*w, false);
    m.records.dialogEnded = true;
    m.records.dialogResult = static_cast<long>(result);
    return TRUE;
}

int GetMessageA(MSG* msg, HWND, UINT, UINT) {
    sim::Machine& m = sim::machine();
    sim::WindowManager& w = wm();
    for (;;) {
        if (!w.queue.empty()) {
            *msg = w.queue.front();
            w.queue.pop_front();
            return msg->message == WM_QUIT ? 0 : 1;
        }
        // A timer that is due is handed out before the clock moves on.
        sim::SimTimer* due = nullptr;
        for (sim::SimTimer& t : w.timers)
            if (!due || t.dueMs < due->dueMs || (t.dueMs == due->dueMs && t.serial < due->serial)) due = &t;
        const sim::InputEvent* key = w.nextEvent < m.events.size() ? &m.events[w.nextEvent] : nullptr;
        if (key && (!due || key->atMs <= due->dueMs)) {
            m.nowMs = std::max(m.nowMs, key->atMs);
            ++w.nextEvent;
            HWND focus = focusWindow();
            if (!focus) continue;  // nobody to receive it
            WPARAM vk = key->key == "Enter" ? VK_RETURN : VK_ESCAPE;
            *msg = MSG{focus, WM_KEYDOWN, vk, 0, static_cast<DWORD>(m.nowMs), {0, 0}};
            return 1;
        }
        if (!due || due->dueMs > m.stallLimitMs) {
            m.records.stalled = due ? "the message loop was still waiting after the virtual time limit"
                                    : "the message loop waited with no timer and no input left";
            m.lastError = ERROR_INVALID_PARAMETER;
            return -1;
        }
        m.nowMs = std::max(m.nowMs, due->dueMs);
        *msg = MSG{due->window, WM_TIMER, due->id, 0, static_cast<DWORD>(m.nowMs), {0, 0}};
        // Ticks missed while the thread was busy are not queued up: one message, next period.
        while (due->dueMs <= m.nowMs) due->dueMs += std::max<UINT>(due->periodMs, 1);
        return 1;
    }
}

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
    sim::SimWindow* w = find(dialog);
    if (!w || msg->hwnd != dialog) return FALSE;
    // Enter and Escape become the dialog's OK and Cancel commands; every other
    // message for the dialog is dispatched to it here.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        WPARAM id = msg->wParam == VK_RETURN ? IDOK : IDCANCEL;
        w->proc(dialog, WM_COMMAND, id, 0);
        return TRUE;
    }
    w->proc(dialog, msg->message, msg->wParam, msg->lParam);
    return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
    sim::SimWindow* w = find(msg->hwnd);
    return w ? w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL ShowWindow(HWND window, int command) {
    sim::SimWindow* w = find(window);
    if (!w) return FALSE;
    bool was = w->visible;
    setVisible(*w, command != SW_HIDE);
    return was ? TRUE : FALSE;
}

LONG GetWindowLongA(HWND window, int index) {
    sim::SimWindow* w = find(window);
    if (!w) {
        sim::machine().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    return static_cast<LONG>(index == GWL_EXSTYLE ? w->exStyle : index == GWL_STYLE ? w->style : 0);
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    sim::SimWindow* w = find(window);
    if (!w) {
        sim::machine().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    os::DWORD* field = index == GWL_EXSTYLE ? &w->exStyle : index == GWL_STYLE ? &w->style : nullptr;
    if (!field) return 0;
    auto old = static_cast<LONG>(*field);
    *field = static_cast<os::DWORD>(value);
    return old;
}

BOOL SetWindowPos(HWND window, HWND, int, int, int, int, UINT flags) {
    sim::SimWindow* w = find(window);
    if (!w) return FALSE;
    if (flags & SWP_HIDEWINDOW) setVisible(*w, false);
    return TRUE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC) {
    sim::Machine& m = sim::machine();
    if (sim::failCall("SetTimer")) return 0;
    if (!find(window)) {
        m.lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    sim::SimTimer timer{window, id, elapseMs, m.nowMs + elapseMs, wm().nextSerial++};
    wm().setHistory.push_back(timer);
    for (sim::SimTimer& t : wm().timers)
        if (t.window == window && t.id == id) {
            t = timer;  // setting an existing timer again restarts it
            return id;
        }
    wm().timers.push_back(timer);
    m.held.acquire("timers");
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    sim::Machine& m = sim::machine();
    auto& timers = wm().timers;
    for (auto it = timers.begin(); it != timers.end(); ++it)
        if (it->window == window && it->id == id) {
            timers.erase(it);
            m.held.release("timers");
            return TRUE;
        }
    m.lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
}

}  // namespace os
