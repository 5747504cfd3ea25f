// The removal of the virtual printer and its driver, shared by the
// application object and the retry dialog, which differ only in where the
// pauses fall and in what an unusable name does.
#pragma once

#include <functional>

#include "platform/cstring.h"
#include "platform/os.h"

namespace removal {

constexpr int kLookUps = 11;   // the first look-up and 10 more
constexpr int kAttempts = 12;  // per spooler call: the first attempt and 11 more
constexpr os::DWORD kLookUpPauseMs = 500;
constexpr os::DWORD kRetryPauseMs = 300;
// The name buffer holds at most this many bytes before its terminating zero.
constexpr int kMaxNameBytes = static_cast<int>(os::MAX_PATH) - 1;

enum class Variant {
    // The run sequence's removal: pause first, then report and trace.
    Application,
    // The retry dialog's: report (or trace) first, then pause; a name that
    // can never be found ends the dialog at once.
    RetryDialog,
};

struct Hooks {
    // The look-up: true when the spooler lists the printer right now.
    std::function<os::BOOL(CString)> findPrinter;
    // Called (retry dialog only) when the name is empty or too long for the
    // name buffer, before giving up.
    std::function<void()> endForUnusableName;
};

// Deletes the printer named by `commandText` (bare or in double quotes) and
// the driver of the same name, retrying each spooler call; 1 when both went.
os::BOOL DeleteVirtualPrinter(const CString& commandText, Variant variant, const Hooks& hooks);

// One look-up: 1 when the spooler lists a local printer named `name` (letter
// case ignored), 0 when not or when the enumeration fails.
os::BOOL FindListedPrinter(CString name);

}  // namespace removal
