// The hidden retry dialog: its timers, its own removal variant, how it ends
// and the process exit code that follows.
#include <gtest/gtest.h>

#include "app/PrinterPortApp.h"
#include "removal/RetryDeleteDlg.h"
#include "tests/support/machine_fixture.h"

namespace {

using testing_support::machineFrom;

const char* const kStart = "\n[MyDeleteVirtualPrinter] Start MyDeleteVirtualPritner";

std::string machineWith(long long listedAfterMs, const std::string& extra = "") {
    return R"({"spooler": {"drivers": ["Virtual Printer"], "printers": [
        {"name": "Virtual Printer", "driver": "Virtual Printer", "port": "FILE:", "listedAfterMs": )" +
           std::to_string(listedAfterMs) + "}]}" + extra + "}";
}

// What the dialog showed of itself right after OnInitDialog.
struct InitView {
    os::DWORD exStyle = 0;
    bool visible = true;
    bool everVisible = true;
};

class ProbedDialog : public CRetryDeleteDlg {
public:
    explicit ProbedDialog(InitView& view) : CRetryDeleteDlg(nullptr), m_view(view) {}

protected:
    os::BOOL OnInitDialog() override {
        os::BOOL result = CRetryDeleteDlg::OnInitDialog();
        m_view.exStyle = static_cast<os::DWORD>(os::GetWindowLongA(m_hWnd, os::GWL_EXSTYLE));
        const sim::SimWindow& w = sim::machine().windows.windows.at(m_hWnd);
        m_view.visible = w.visible;
        m_view.everVisible = w.everVisible;
        return result;
    }

private:
    InitView& m_view;
};

// The application as the run sequence's last step uses it: the dialog gets
// the command-line text and runs until it ends itself.
class DialogOnlyApp : public CPrinterPortApp {
public:
    os::BOOL InitInstance() override {
        ProbedDialog dialog(view);
        dialog.m_strPrinterName = m_lpCmdLine;
        result = dialog.DoModal();
        timeoutTimer = dialog.m_nTimeoutTimer;
        retryTimer = dialog.m_nRetryTimer;
        return os::FALSE;
    }
    os::LRESULT result = -99;
    os::UINT_PTR timeoutTimer = 0, retryTimer = 0;
    InitView view;
};

struct DialogRun {
    std::unique_ptr<sim::Machine> machine;
    int exitCode = -1;
    os::LRESULT result = -99;
    os::UINT_PTR timeoutTimer = 0, retryTimer = 0;
    InitView view;

    int count(const std::string& line) const {
        const auto& t = machine->records.trace;
        return static_cast<int>(std::count(t.begin(), t.end(), line));
    }
    long calls(const char* name) const { return machine->faults.count(name); }
};

DialogRun runDialog(const std::string& json, const std::string& commandText) {
    DialogRun run;
    run.machine = machineFrom(json);
    {
        sim::Session session(*run.machine);
        run.machine->commandLine = "PrinterPort.exe " + commandText;
        run.machine->faults.recording = true;
        DialogOnlyApp app;
        run.exitCode = app.Run();
        run.result = app.result;
        run.timeoutTimer = app.timeoutTimer;
        run.retryTimer = app.retryTimer;
        run.view = app.view;
    }
    return run;
}

void expectNothingHeld(const sim::Machine& m) {
    for (const auto& kind : m.held.all()) EXPECT_EQ(kind.second, 0) << kind.first;
    EXPECT_TRUE(m.records.stalled.empty()) << m.records.stalled;
}

TEST(RetryDialog, StartsHiddenWithBothTimers) {
    auto run = runDialog(machineWith(0), "Virtual Printer");
    EXPECT_EQ(run.view.exStyle & os::WS_EX_APPWINDOW, 0u);
    EXPECT_NE(run.view.exStyle & os::WS_EX_TRANSPARENT, 0u);
    EXPECT_FALSE(run.view.visible);
    EXPECT_FALSE(run.view.everVisible);
    const auto& timers = run.machine->windows.setHistory;
    ASSERT_EQ(timers.size(), 2u);
    EXPECT_EQ(timers[0].id, 1u);
    EXPECT_EQ(timers[0].periodMs, 300000u);
    EXPECT_EQ(timers[1].id, 2u);
    EXPECT_EQ(timers[1].periodMs, 60000u);
    EXPECT_EQ(run.timeoutTimer, 1u);
    EXPECT_EQ(run.retryTimer, 2u);
}

TEST(RetryDialog, EndsAtARetryTickTheFiveMinuteTickAnEmptyNameOrAKey) {
    struct Case {
        const char* what;
        std::string machine;
        const char* commandText;
        os::LRESULT result;
        int exitCode;
        std::uint64_t endMs;
        int attempts;  // removal attempts started
    } cases[] = {
        {"printer there at the first tick", machineWith(0), "Virtual Printer", 1, 2, 60000, 1},
        {"quoted name, printer there", machineWith(0), "\"Virtual Printer\"", 1, 2, 60000, 1},
        {"printer listed after 150 s", machineWith(150000), "Virtual Printer", 1, 2, 180000, 3},
        {"printer never listed", machineWith(10000000), "Virtual Printer", 0, 1, 300000, 4},
        {"opening quote only", machineWith(0), "\"Virtual Printer", 0, 2, 60000, 1},
        {"two adjacent quotes", machineWith(0), "\"\"", 0, 2, 60000, 1},
        {"Enter at 90 s", machineWith(10000000, R"(, "events": [{"atMs": 90000, "key": "Enter"}])"),
         "Virtual Printer", 1, 13, 90000, 1},
        {"Escape at 130 s", machineWith(10000000, R"(, "events": [{"atMs": 130000, "key": "Escape"}])"),
         "Virtual Printer", 2, 27, 130000, 2},
    };
    for (const Case& c : cases) {
        auto run = runDialog(c.machine, c.commandText);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.machine->records.dialogResult, c.result);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.machine->nowMs, c.endMs);
        EXPECT_EQ(run.count(kStart), c.attempts);
        expectNothingHeld(*run.machine);
    }
}

TEST(RetryDialog, AnEmptyNameEndsTheDialogWithoutTouchingTheSpooler) {
    auto run = runDialog(machineWith(0), "\"Virtual Printer");
    EXPECT_EQ(run.machine->records.trace,
              (std::vector<std::string>{kStart, "Command line => \"Virtual Printer"}));
    EXPECT_EQ(run.calls("EnumPrintersA"), 0);
    EXPECT_EQ(run.calls("Sleep"), 0);
    EXPECT_TRUE(run.machine->spooler.findPrinter("Virtual Printer"));
}

TEST(RetryDialog, AFailedAttemptWaitsForTheNextTick) {
    // Never listed: each attempt makes 11 look-ups with their pauses.
    auto run = runDialog(machineWith(10000000), "Virtual Printer");
    EXPECT_EQ(run.calls("Sleep"), 4 * 11);
    EXPECT_EQ(run.count("Wait printer is enumerated"), 44);
    EXPECT_EQ(run.count("Wait 0.5 second"), 44);
    EXPECT_EQ(run.calls("OpenPrinterA"), 0);
}

TEST(RetryDialog, ReportsBeforeEachPauseInItsOwnAttempts) {
    for (const char* call : {"OpenPrinterA", "DeletePrinter", "DeletePrinterDriverA"}) {
        auto run = runDialog(machineWith(0, std::string(R"(, "faults": [{"call": ")") + call + R"("}])"),
                             "Virtual Printer");
        SCOPED_TRACE(call);
        EXPECT_EQ(run.result, 1);
        EXPECT_EQ(run.machine->nowMs, 60300u);
        std::vector<std::string> order;  // the failed call, then its report and pause in the order they came
        for (const std::string& name : run.machine->faults.log)
            if ((order.empty() && name == call) ||
                (!order.empty() && (name == "Sleep" || name == "FormatMessageA")))
                if (order.size() < 3) order.push_back(name);
        EXPECT_EQ(order, (std::vector<std::string>{call, "FormatMessageA", "Sleep"}));
        expectNothingHeld(*run.machine);
    }
}

TEST(RetryDialog, APrinterDeletedWithoutItsDriverLeavesTheDialogToTheTimeOut) {
    auto run = runDialog(machineWith(0, R"(, "faults": [{"call": "DeletePrinterDriverA", "times": -1}])"),
                         "Virtual Printer");
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.machine->nowMs, 300000u);
    EXPECT_FALSE(run.machine->spooler.findPrinter("Virtual Printer"));
    EXPECT_TRUE(run.machine->spooler.hasDriver("Virtual Printer"));
    EXPECT_EQ(run.calls("DeletePrinterDriverA"), 12);
    EXPECT_EQ(run.count("Get structure size is failed"), 3 * 11);  // the ticks at 120, 180 and 240 s
    expectNothingHeld(*run.machine);
}

// Without its timers the dialog would wait unseen for ever; it ends at once instead.
TEST(RetryDialog, ATimerThatCannotBeSetEndsTheDialog) {
    for (int nth : {1, 2}) {
        auto run = runDialog(
            machineWith(0, R"(, "faults": [{"call": "SetTimer", "nth": )" + std::to_string(nth) + "}]"),
            "Virtual Printer");
        SCOPED_TRACE(nth);
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.machine->nowMs, 0u);
        EXPECT_EQ(run.calls("EnumPrintersA"), 0);
        expectNothingHeld(*run.machine);
    }
}

// The whole program: both removals of the run sequence fail and the dialog
// takes over. The dialog is reached only when the USB scan succeeds.
TEST(RetryDialogRun, FollowsTwoFailedRemovals) {
    struct Case {
        const char* what;
        std::string machine;
        int exitCode;
        bool dialog;
        std::uint64_t endMs;
    } cases[] = {
        {"never listed: the five-minute tick", machineWith(10000000, R"(, "usb": [])"), 1, true,
         11000 + 300000},
        {"listed during the dialog", machineWith(100000, R"(, "usb": [])"), 2, true, 11000 + 120000},
        {"Enter", machineWith(10000000, R"(, "usb": [], "events": [{"atMs": 70000, "key": "Enter"}])"), 13,
         true, 70000},
        {"listed before the second removal", machineWith(6000, R"(, "usb": [])"), 0, false, 5500 + 500},
    };
    for (const Case& c : cases) {
        auto run = testing_support::runOn(c.machine, "\"Virtual Printer\"");
        SCOPED_TRACE(c.what);
        if (run.find("\n[CheckMSUsb] Get Device ID from MS USB Port") < 0)
            GTEST_SKIP() << "the USB scan is not built yet, so the run ends before the dialog";
        EXPECT_EQ(run.exitCode(), c.exitCode);
        EXPECT_EQ(run.machine->records.dialogRan, c.dialog);
        EXPECT_EQ(run.machine->nowMs, c.endMs);
        EXPECT_TRUE(run.leakFree()) << run.leaks();
        EXPECT_TRUE(run.machine->records.stalled.empty());
    }
}

}  // namespace
