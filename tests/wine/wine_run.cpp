// Wine test helper: starts PrinterPort.exe with an exact command line, plays
// the user where the test asks for it, and reports what happened as one JSON
// line on standard output.
//
// Environment (wine hands the Unix environment to the Windows side):
//   PP_EXE      Windows path of the program to start
//   PP_CMDLINE  the whole command line, exactly as the program receives it
//               (wine's own argument quoting would change it)
//   PP_ACT      none        only wait for the end
//               msgbox      wait for a message box of the program, read its
//                           text and caption, press OK
//               end-dialog  wait for the hidden retry dialog, then send it the
//                           five-minute timer's tick (timer id 1), as if the
//                           time-out had come, so the test need not wait it out
//   PP_TIMEOUT_MS  give up (and end the program) after this long; default 60000
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string env(const char* name, const char* fallback = "") {
    char value[4096];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string(fallback);
}

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", c);
                out += code;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

struct Found {
    DWORD processId;
    HWND window;
};

// A top-level dialog-class window of the started process.
BOOL CALLBACK findDialog(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<Found*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == found->processId && std::string(className) == "#32770") {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// The message box's text: the static control that carries it.
BOOL CALLBACK findText(HWND child, LPARAM param) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::string(className) == "Static" && text[0]) {
        *reinterpret_cast<std::string*>(param) = text;
        return FALSE;
    }
    return TRUE;
}

// Waits for a dialog of the process that is `ready`: a window is found as
// soon as it is created, before its initialisation has filled it in.
template <class Ready>
HWND waitForDialog(const PROCESS_INFORMATION& process, DWORD deadline, Ready ready) {
    while (GetTickCount() < deadline) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) return nullptr;
        Found found{process.dwProcessId, nullptr};
        EnumWindows(findDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window && ready(found.window)) return found.window;
        Sleep(50);
    }
    return nullptr;
}

std::string messageText(HWND box) {
    std::string text;
    EnumChildWindows(box, findText, reinterpret_cast<LPARAM>(&text));
    return text;
}

}  // namespace

int main() {
    const std::string exe = env("PP_EXE");
    std::string commandLine = env("PP_CMDLINE");
    const std::string act = env("PP_ACT", "none");
    const DWORD timeoutMs = static_cast<DWORD>(std::atol(env("PP_TIMEOUT_MS", "60000").c_str()));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("{\"error\": \"CreateProcessA failed: %lu\"}\n", GetLastError());
        return 3;
    }
    const DWORD start = GetTickCount();
    const DWORD deadline = start + timeoutMs;
    std::string fields;

    if (act == "msgbox") {
        HWND box = waitForDialog(process, deadline, [](HWND w) {
            return (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) && !messageText(w).empty();
        });
        if (box) {
            char caption[256] = {};
            GetWindowTextA(box, caption, sizeof caption);
            std::string text = messageText(box);
            fields += ", \"messageBox\": {\"text\": " + jsonText(text) + ", \"caption\": " +
                      jsonText(caption) + "}";
            // Press OK, as the user would.
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        } else {
            fields += ", \"messageBox\": null";
        }
    } else if (act == "end-dialog") {
        // Ready once its initialisation has changed the extended style; one
        // that never does is still reported after a few seconds.
        const DWORD found = GetTickCount();
        HWND dialog = waitForDialog(process, deadline, [found](HWND w) {
            return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TRANSPARENT) || GetTickCount() - found > 3000;
        });
        fields += std::string(", \"dialogSeen\": ") + (dialog ? "true" : "false");
        if (dialog) {
            LONG style = GetWindowLongA(dialog, GWL_STYLE);
            LONG exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
            char styles[96];
            std::snprintf(styles, sizeof styles, ", \"dialogVisible\": %s, \"dialogExStyle\": %ld",
                          (style & WS_VISIBLE) ? "true" : "false", static_cast<long>(exStyle));
            fields += styles;
            PostMessageA(dialog, WM_TIMER, 1, 0);
        }
    }

    DWORD now = GetTickCount();
    DWORD left = now < deadline ? deadline - now : 0;
    bool ended = WaitForSingleObject(process.hProcess, left) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 99);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("{\"exitCode\": %lu, \"ended\": %s, \"elapsedMs\": %lu%s}\n", exitCode,
                ended ? "true" : "false", GetTickCount() - start, fields.c_str());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
