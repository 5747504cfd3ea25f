#!/usr/bin/env python3
"""PrinterPort under Wine, and the same machines through printerport-sim.

Each scenario prepares a fresh state of one Wine prefix (Windows version,
print spooler, CD-ROM drive D:), runs the 64-bit build of PrinterPort.exe
through the launcher helper, and checks what the program did. Then the same
machine, written as a machine file, runs through printerport-sim, and the
machine afterwards (printers, ports, default printer, drivers), the exit code,
the message box and the started processes must be the same.

Usage: wine_tests.py --build build/win64 --sim build/wine-sim/printerport-sim
Prints one line per test and a closing line 'N passed, N failed'; exits 1
when a test failed. KEEP_PREFIX=1 keeps the Wine prefix for a look afterwards.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

# ---- Wine ------------------------------------------------------------------

# The port of the USB printer that the printer scenarios stand for; a value
# under this key gives Wine's spooler the port.
USB_PORT = "USB001"
PORTS_KEY = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports"

# What GetVersionExA answers under Wine for each Version setting.
OS_OF_VERSION = {
    "win98": {"platformId": 1, "major": 4, "minor": 10, "build": 0x040A08AE, "csd": " A "},
    "winxp": {"platformId": 2, "major": 5, "minor": 1, "build": 2600, "csd": "Service Pack 3"},
}


class Wine:
    def __init__(self, build_dir):
        self.build = os.path.abspath(build_dir)
        self.root = tempfile.mkdtemp(prefix="printerport-wine-")
        self.prefix = os.path.join(self.root, "prefix")
        self.cd = os.path.join(self.root, "cdrom")
        os.makedirs(self.cd)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEARCH="win64",
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("DISPLAY", None)

    def windows_path(self, path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def call(self, args, env=None, check=True, timeout=120):
        # Output goes to files, not pipes: Wine's background services inherit
        # them and would keep a pipe open long after the program ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(args, env=env or self.env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=err, timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(args, code, out.read(), err.read())
        if check and result.returncode != 0:
            raise RuntimeError("%s failed (%d): %s %s" % (" ".join(args), result.returncode,
                                                          result.stdout.decode("latin-1")[-500:],
                                                          result.stderr.decode("latin-1")[-2000:]))
        return result

    def reg_add(self, key, name, value, kind="REG_SZ"):
        self.call(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", value, "/f"])

    def create(self):
        """A fresh prefix: null display driver, drive D: a CD-ROM on our folder."""
        self.call(["wineboot", "--init"], timeout=300)
        self.call(["wineserver", "-w"])
        self.reg_add(r"HKCU\Software\Wine\Drivers", "Graphics", "null")
        os.symlink(self.cd, os.path.join(self.prefix, "dosdevices", "d:"))
        self.reg_add(r"HKLM\Software\Wine\Drives", "d:", "cdrom")
        self.reg_add(PORTS_KEY, USB_PORT, "")
        # The display driver and the drive type apply from the next start.
        self.call(["wineserver", "-k"], check=False)
        self.call(["wineserver", "-w"], check=False)
        # Keep the server (and Wine's services) up between the many short
        # programs of the suite: a cold start costs seconds each time.
        subprocess.run(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        # Without CUPS: COM1: to COM4:, FILE:, LPT1: to LPT3:, and our USB port.
        self.ports = self.spooler_state()["ports"]

    def set_version(self, version):
        self.reg_add(r"HKCU\Software\Wine", "Version", version)

    def spool(self, *commands):
        result = self.call(["wine", os.path.join(self.build, "wine_spool.exe")] + list(commands))
        return result.stdout.decode("latin-1")

    def spooler_state(self):
        # Reading the spooler changes nothing; a Wine start that failed once
        # under load (seen rarely, exit status 1 and no output) is read again.
        try:
            return json.loads(self.spool("dump"))
        except RuntimeError:
            time.sleep(0.5)
            return json.loads(self.spool("dump"))

    def run_program(self, command_line, act="none", timeout_ms=60000):
        """Runs PrinterPort.exe with this exact command line; returns the
        launcher's report and the program's trace lines."""
        env = dict(self.env, WINEDEBUG="-all,warn+debugstr",
                   PP_EXE=self.windows_path(os.path.join(self.build, "PrinterPort.exe")),
                   PP_CMDLINE=command_line, PP_ACT=act, PP_TIMEOUT_MS=str(timeout_ms))
        result = self.call(["wine", os.path.join(self.build, "wine_run.exe")], env=env,
                           timeout=timeout_ms / 1000 + 60)
        report = json.loads(result.stdout.decode("latin-1").strip().splitlines()[-1])
        report["trace"] = trace_lines(result.stderr.decode("latin-1"))
        return report

    def run_sequence(self, command_text, device_id, port_number):
        """Runs the program's subsystems through wine_runseq.exe."""
        env = dict(self.env, WINEDEBUG="-all,warn+debugstr")
        result = self.call(["wine", os.path.join(self.build, "wine_runseq.exe"), command_text,
                            device_id, str(port_number)], env=env)
        report = json.loads(result.stdout.decode("latin-1").strip().splitlines()[-1])
        report["trace"] = trace_lines(result.stderr.decode("latin-1"))
        report.update(exitCode=0, ended=True, elapsedMs=0)
        return report

    def import_registry(self, text):
        self.call(["wine", "reg", "delete", r"HKLM\Software\ACME", "/f"], check=False)
        if not text:
            return
        path = os.path.join(self.root, "maker.reg")
        with open(path, "w", newline="") as f:
            f.write(text.replace("\n", "\r\n"))
        self.call(["wine", "regedit", "/S", self.windows_path(path)])

    def close(self):
        self.call(["wineserver", "-k"], check=False)
        self.call(["wineserver", "-w"], check=False)
        if os.environ.get("KEEP_PREFIX") == "1":
            print("prefix kept: " + self.prefix)
        else:
            shutil.rmtree(self.root, ignore_errors=True)


def unescape(text):
    """Undoes Wine's escaping of a debug string."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n in "nrt":
                out.append({"n": "\n", "r": "\r", "t": "\t"}[n]); i += 2; continue
            if n == "x" and re.match(r"[0-9a-fA-F]{2}", text[i + 2:i + 4]):
                out.append(chr(int(text[i + 2:i + 4], 16))); i += 4; continue
            if re.match(r"[0-7]{3}", text[i + 1:i + 4]):
                out.append(chr(int(text[i + 1:i + 4], 8))); i += 4; continue
            out.append(n); i += 2; continue
        out.append(c); i += 1
    return "".join(out)


def trace_lines(stderr):
    """The trace build's lines as Wine's debug channel shows them."""
    lines = []
    for line in stderr.splitlines():
        m = re.search(r'OutputDebugStringA "(.*)"$', line)
        if m:
            lines.append(unescape(m.group(1)))
    return lines


# ---- The simulation ------------------------------------------------------------

def machine_file(scenario, ports):
    """The scenario's machine in the simulator's schema."""
    os_info = dict(OS_OF_VERSION[scenario["version"]])
    # Wine takes the longer OSVERSIONINFOEXA even as Windows 98.
    os_info["acceptsVersionInfoEx"] = True
    spooler = scenario.get("spooler", {})
    machine = {
        "os": os_info,
        "spooler": {
            "ports": [{"name": p, "type": 1} for p in ports],
            "drivers": sorted(spooler.get("drivers", []), key=str.lower),
            # Wine lists printers and drivers by name, as its registry keys
            # come; Windows 9x in the order they were installed. The machine
            # file takes Wine's order so that both enumerate alike.
            "printers": [{"name": n, "driver": d, "port": p, "attributes": a}
                         for n, d, p, a in sorted(spooler.get("printers", []),
                                                  key=lambda printer: printer[0].lower())],
            "defaultPrinter": spooler.get("default", ""),
        },
        # Wine's drives: C:, the CD-ROM D: and Z: (the Unix root).
        "drives": {"C": {"type": "fixed"},
                   "D": {"type": "cdrom", "files": dict(scenario.get("cd", {}))},
                   "Z": {"type": "fixed"}},
    }
    if "device" in scenario:
        device_id, port_number = scenario["device"]
        machine["usb"] = [{"path": "\\\\.\\USB#VID_0A0B&PID_0001#5&1#"
                                   "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
                           "deviceId": device_id + "CLS:PRINTER;", "portNumber": port_number}]
    if scenario.get("registry"):
        machine["registry"] = scenario["registry"]
    return machine


def run_sim(sim, scenario, workdir, ports):
    path = os.path.join(workdir, scenario["name"] + ".machine.json")
    out = os.path.join(workdir, scenario["name"] + ".after.json")
    with open(path, "w") as f:
        json.dump(machine_file(scenario, ports), f, indent=1)
    result = subprocess.run([sim, "--machine", path, "--json", out, "--", arguments_of(scenario)],
                            capture_output=True, timeout=60)
    if not os.path.exists(out):
        raise RuntimeError("printerport-sim failed (%d): %s" % (result.returncode,
                                                                result.stderr.decode()[-1000:]))
    with open(out) as f:
        return json.load(f)


def arguments_of(scenario):
    """The command-line text after the program's name, as the program sees it."""
    line = scenario["command_line"]
    rest = line[len("PrinterPort.exe"):]
    return rest.lstrip(" \t")


# ---- Comparing machines ----------------------------------------------------------

PRINTER_ATTRIBUTE_DEFAULT = 0x4


def wine_default(dump):
    """The default printer as Windows 9x would have it. Wine stores the
    PRINTER_ATTRIBUTE_DEFAULT that SetPrinterA sets but keeps its own default
    printer; on Windows 9x that attribute makes the printer the default."""
    flagged = [p["name"] for p in dump["printers"] if p["attributes"] & PRINTER_ATTRIBUTE_DEFAULT]
    return flagged[0] if len(flagged) == 1 else (dump["defaultPrinter"] or "")


def state_of_wine(dump):
    return {
        "printers": sorted((p["name"], p["driver"], p["port"]) for p in dump["printers"]),
        "drivers": sorted(dump["drivers"]),
        "ports": sorted(dump["ports"]),
        "defaultPrinter": wine_default(dump),
    }


def state_of_sim(after):
    sp = after["spooler"]
    return {
        "printers": sorted((p["name"], p["driver"], p["port"]) for p in sp["printers"]),
        "drivers": sorted(sp["drivers"]),
        "ports": sorted(p["name"] if isinstance(p, dict) else p for p in sp["ports"]),
        "defaultPrinter": sp.get("defaultPrinter") or "",
    }


# ---- Scenarios --------------------------------------------------------------------

VIRTUAL = ("Virtual Printer", "Virtual Printer", "LPT1:", 0)
OTHER = ("Office Laser", "Office Laser Driver", "LPT2:", 0)
AUTORUN = ("[AUTORUN]\r\nOPEN=SETUP.EXE\r\n[INFOMATION]\r\nMFG_0=Acme\r\nMDL_0=Photo 1\r\n"
           "MFG_1=Acme\r\nMDL_1=Photo 2\r\n")

SCENARIOS = [
    {
        "name": "version gate: Windows XP shows Invalid OS and changes nothing",
        "version": "winxp",
        "spooler": {"drivers": ["Virtual Printer"], "printers": [VIRTUAL]},
        "command_line": "PrinterPort.exe Virtual Printer",
        "act": "msgbox",
        "expect": {"exitCode": 0, "messageBox": "Invalid OS\nOS version is not Windows 9x series",
                   "printers": ["Virtual Printer"], "drivers": ["Virtual Printer"], "trace": []},
    },
    {
        "name": "empty command line shows Invalid parameter",
        "version": "win98",
        "spooler": {"drivers": ["Virtual Printer"], "printers": [VIRTUAL]},
        "command_line": "PrinterPort.exe   ",
        "act": "msgbox",
        "expect": {"exitCode": 0, "messageBox": "Invalid parameter\nPrinter Name is NULL",
                   "printers": ["Virtual Printer"], "drivers": ["Virtual Printer"], "trace": []},
    },
    {
        "name": "Windows 98: a bare name removes the virtual printer and its driver",
        "version": "win98",
        "spooler": {"drivers": ["Virtual Printer", "Office Laser Driver"],
                    "printers": [VIRTUAL, OTHER]},
        "command_line": "PrinterPort.exe Virtual Printer",
        "expect": {"exitCode": 0, "messageBox": None, "printers": ["Office Laser"],
                   "drivers": ["Office Laser Driver"],
                   "traceHas": ["Command line =>> Virtual Printer",
                                "Delete Virtual Printer Printer Success",
                                "Success Virtual Printer pritner driver is deleted"]},
    },
    {
        "name": "a quoted name with words after it removes the printer named between the quotes",
        "version": "win98",
        "spooler": {"drivers": ["Virtual Printer"], "printers": [VIRTUAL]},
        "command_line": 'PrinterPort.exe "Virtual Printer" /install',
        "expect": {"exitCode": 0, "messageBox": None, "printers": [], "drivers": [],
                   "traceHas": ["Virtual pritner name => Virtual Printer"]},
    },
    {
        # The dialog would retry for five minutes; the launcher sends it the
        # five-minute timer's tick once it is up, so the run ends as at the time-out.
        "name": "a name that is not there: 11 look-ups twice, then the hidden retry dialog",
        "version": "win98",
        "spooler": {"drivers": ["Office Laser Driver"], "printers": [OTHER]},
        "command_line": "PrinterPort.exe No Such Printer",
        "act": "end-dialog",
        "expect": {"exitCode": 1, "messageBox": None, "printers": ["Office Laser"],
                   "drivers": ["Office Laser Driver"], "dialogHidden": True,
                   "traceCount": {"Wait printer is enumerated": 22}, "minElapsedMs": 11000},
        "sim_differs": {"dialog": "the test ends the dialog at its first tick instead of after "
                                   "five minutes of retries: the outcome and the trace up to the "
                                   "dialog are compared"},
    },
    {
        "name": "CD-ROM listing the device: empty device fields match nothing, setup not started",
        "version": "win98",
        "spooler": {"drivers": ["Virtual Printer"], "printers": [VIRTUAL]},
        "cd": {"AutoRun.Inf": AUTORUN, "SETUP.EXE": "@wine_setup_marker.exe"},
        "command_line": "PrinterPort.exe Virtual Printer",
        "expect": {"exitCode": 0, "messageBox": None, "printers": [], "drivers": [],
                   "setupStarted": False,
                   "traceHas": ['CD-ROM Dirver letter => "D:\\"',
                                'Autorun.inf path => "D:\\AutoRun.Inf"',
                                'Data file read MFG => "Acme"']},
    },
]


MAKER_REGISTRY = ("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter\\Acme Photo 1]\n"
                  "\"DeviceID\"=\"ACMEPHOTO_10001\"\n\"Default\"=\"1\"\n\n"
                  "[HKEY_LOCAL_MACHINE\\Software\\ACME\\ZervPrinter\\Acme Photo 2]\n"
                  "\"DeviceID\"=\"ACMEPHOTO_20001\"\n\"Default\"=\"0\"\n")
ACME = ("Acme Photo 1", "Acme Photo 1", "LPT1:", 0)
DEVICE = ("MFG:Acme;MDL:Photo 1;", 1)
WINE_DEFAULT_NOTE = {"defaultPrinter": "Wine keeps its own default printer when SetPrinterA sets "
                                      "PRINTER_ATTRIBUTE_DEFAULT; the printer carrying that attribute "
                                      "is taken as the default, as Windows 9x makes it"}

# The printer scenarios run the program's subsystems through wine_runseq.exe
# with the USB scan's results given (Wine has no USB printer); the simulated
# machine has the USB printer itself, and runs the whole program.
SCENARIOS += [
    {
        "name": "printers: the printer using the maker's driver moves to USB001 and becomes the default",
        "version": "win98",
        "spooler": {"drivers": ["Virtual Printer", "Acme Photo 1", "Office Laser Driver"],
                    "printers": [VIRTUAL, ACME, OTHER], "default": "Office Laser"},
        "registry": MAKER_REGISTRY,
        "device": DEVICE,
        "command_line": "PrinterPort.exe Virtual Printer",
        "expect": {"exitCode": 0, "printers": ["Acme Photo 1", "Office Laser"],
                   "drivers": ["Acme Photo 1", "Office Laser Driver"],
                   "ports": {"Acme Photo 1": "USB001", "Office Laser": "LPT2:"},
                   "defaultPrinter": "Acme Photo 1", "setupStarted": False,
                   "results": {"removed": True, "deviceKey": "ACMEPHOTO_1", "driverCount": 1,
                               "driverMissing": False}},
        "wine_differs": WINE_DEFAULT_NOTE,
    },
    {
        "name": "printers: a network printer with the maker's driver stays; one is added on USB001",
        "version": "win98",
        "spooler": {"drivers": ["Virtual Printer", "Acme Photo 1"],
                    "printers": [VIRTUAL, ("Acme Photo 1 shared", "Acme Photo 1", "LPT1:", 0x10)]},
        "registry": MAKER_REGISTRY,
        "device": DEVICE,
        "command_line": "PrinterPort.exe Virtual Printer",
        "expect": {"exitCode": 0, "printers": ["Acme Photo 1 shared", "Acme Photo 1(USB001)"],
                   "drivers": ["Acme Photo 1"],
                   "ports": {"Acme Photo 1 shared": "LPT1:", "Acme Photo 1(USB001)": "USB001"},
                   "defaultPrinter": "Acme Photo 1(USB001)", "setupStarted": False,
                   "results": {"removed": True, "driverMissing": False}},
        "wine_differs": WINE_DEFAULT_NOTE,
    },
    {
        "name": "printers: the maker's driver not installed, the CD-ROM lists the device: setup started",
        "version": "win98",
        "spooler": {"drivers": ["Virtual Printer", "Office Laser Driver"], "printers": [VIRTUAL, OTHER],
                    "default": "Office Laser"},
        "registry": MAKER_REGISTRY,
        "device": DEVICE,
        "cd": {"AutoRun.Inf": AUTORUN, "SETUP.EXE": "@wine_setup_marker.exe"},
        "command_line": "PrinterPort.exe Virtual Printer",
        "expect": {"exitCode": 0, "printers": ["Office Laser"], "drivers": ["Office Laser Driver"],
                   "defaultPrinter": "Office Laser", "setupStarted": True,
                   "results": {"removed": True, "driverCount": 1, "driverMissing": True, "autoRun": True},
                   "traceHas": ["\n\nI find CDSetup file\n\n", '\nRun command line => "D:\\SETUP.EXE"\n']},
    },
]


def prepare(wine, scenario):
    wine.set_version(scenario["version"])
    commands = ["reset"]
    spooler = scenario.get("spooler", {})
    for driver in spooler.get("drivers", []):
        commands += ["driver", driver]
    for name, driver, port, attributes in spooler.get("printers", []):
        commands += ["printer", name, driver, port, "%x" % attributes]
    if spooler.get("default"):
        commands += ["default", spooler["default"]]
    wine.spool(*commands)
    wine.import_registry(scenario.get("registry", ""))
    for entry in os.listdir(wine.cd):
        os.remove(os.path.join(wine.cd, entry))
    for name, content in scenario.get("cd", {}).items():
        target = os.path.join(wine.cd, name)
        if content.startswith("@"):
            shutil.copy(os.path.join(wine.build, content[1:]), target)
        else:
            with open(target, "w", newline="") as f:
                f.write(content)
    marker = os.path.join(wine.prefix, "drive_c", "setup-started.txt")
    if os.path.exists(marker):
        os.remove(marker)
    return marker


def check_wine(scenario, report, after, setup_started):
    """What the program did under Wine; a list of problems."""
    e, problems = scenario["expect"], []
    if not report.get("ended"):
        problems.append("the program did not end (ended after %d ms by the launcher)" % report["elapsedMs"])
    if report["exitCode"] != e["exitCode"]:
        problems.append("exit code %s, expected %s" % (report["exitCode"], e["exitCode"]))
    box = report.get("messageBox")
    if "messageBox" in e:
        got = box["text"] if box else None
        if got != e["messageBox"]:
            problems.append("message box %r, expected %r" % (got, e["messageBox"]))
        if box and box.get("caption") != "PrinterPort":
            problems.append("message box caption %r, expected 'PrinterPort'" % box.get("caption"))
    printers = sorted(p["name"] for p in after["printers"])
    if printers != sorted(e["printers"]):
        problems.append("printers %s, expected %s" % (printers, sorted(e["printers"])))
    if sorted(after["drivers"]) != sorted(e["drivers"]):
        problems.append("drivers %s, expected %s" % (sorted(after["drivers"]), sorted(e["drivers"])))
    if "trace" in e and report["trace"] != e["trace"]:
        problems.append("trace %s, expected %s" % (report["trace"][:5], e["trace"]))
    for line in e.get("traceHas", []):
        if line not in report["trace"]:
            problems.append("trace line %r missing" % line)
    for line, count in e.get("traceCount", {}).items():
        if report["trace"].count(line) != count:
            problems.append("trace line %r %d times, expected %d" % (line, report["trace"].count(line), count))
    if "defaultPrinter" in e and wine_default(after) != e["defaultPrinter"]:
        problems.append("default printer %r, expected %r" % (wine_default(after), e["defaultPrinter"]))
    if "ports" in e:
        got = {p["name"]: p["port"] for p in after["printers"]}
        for name, port in e["ports"].items():
            if got.get(name) != port:
                problems.append("%s prints to %s, expected %s" % (name, got.get(name), port))
    for field, value in e.get("results", {}).items():
        if report.get(field) != value:
            problems.append("%s is %s, expected %s" % (field, report.get(field), value))
    if "setupStarted" in e and setup_started != e["setupStarted"]:
        problems.append("setup started: %s, expected %s" % (setup_started, e["setupStarted"]))
    if e.get("dialogHidden"):
        if not report.get("dialogSeen"):
            problems.append("the retry dialog never appeared")
        elif report.get("dialogVisible"):
            problems.append("the retry dialog is visible")
    if report["elapsedMs"] < e.get("minElapsedMs", 0):
        problems.append("ended after %d ms; the retry pauses add up to more" % report["elapsedMs"])
    return problems


def check_differential(scenario, report, after, setup_started, sim_after):
    problems = []
    run = sim_after["run"]
    if state_of_wine(after) != state_of_sim(sim_after):
        problems.append("machine afterwards differs:\n    wine: %s\n    sim:  %s"
                        % (json.dumps(state_of_wine(after)), json.dumps(state_of_sim(sim_after))))
    if run["exitCode"] != report["exitCode"]:
        problems.append("exit code: wine %s, sim %s" % (report["exitCode"], run["exitCode"]))
    wine_box = report.get("messageBox")
    wine_boxes = [wine_box["text"]] if wine_box else []
    sim_boxes = [b["text"] for b in run.get("messageBoxes", [])]
    if wine_boxes != sim_boxes:
        problems.append("message boxes: wine %s, sim %s" % (wine_boxes, sim_boxes))
    # The whole program's trace lines, where Wine ran the whole program.
    sim_trace = run["trace"]
    if scenario.get("act") == "end-dialog":
        # Wine's run was ended at the dialog's first tick; the simulation went
        # on through five minutes of retries.
        sim_trace = sim_trace[:len(report["trace"])]
    if "device" not in scenario and report["trace"] != sim_trace:
        diff = [(i, w, m) for i, (w, m) in enumerate(zip(report["trace"], sim_trace)) if w != m]
        first = diff[0] if diff else (min(len(report["trace"]), len(sim_trace)), None, None)
        problems.append("trace differs (%d lines under Wine, %d simulated); first at line %d:"
                        "\n    wine: %r\n    sim:  %r" % (len(report["trace"]), len(sim_trace), *first))
    sim_started = len(run.get("processes", [])) > 0
    if sim_started != setup_started:
        problems.append("setup started: wine %s, sim %s" % (setup_started, sim_started))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/win64")
    parser.add_argument("--sim", default="build/wine-sim/printerport-sim")
    parser.add_argument("--only", help="run only scenarios whose name contains this text")
    args = parser.parse_args()

    started = time.time()
    passed = failed = 0
    wine = Wine(args.build)
    workdir = os.path.join(wine.root, "sim")
    os.makedirs(workdir)

    def result(name, problems, seconds):
        nonlocal passed, failed
        if problems:
            failed += 1
            print("FAIL %s (%.1f s)" % (name, seconds))
            for p in problems:
                print("    " + p)
        else:
            passed += 1
            print("ok   %s (%.1f s)" % (name, seconds))
        sys.stdout.flush()

    try:
        t = time.time()
        wine.create()
        print("prefix created in %.1f s" % (time.time() - t))
        for scenario in SCENARIOS:
            if args.only and args.only not in scenario["name"]:
                continue
            t = time.time()
            try:
                marker = prepare(wine, scenario)
                if "device" in scenario:
                    report = wine.run_sequence(arguments_of(scenario), *scenario["device"])
                else:
                    report = wine.run_program(scenario["command_line"], scenario.get("act", "none"))
                after = wine.spooler_state()
                # A started setup runs on its own: give it a moment to leave its mark.
                deadline = time.time() + (3 if scenario["expect"].get("setupStarted") else 0)
                while not os.path.exists(marker) and time.time() < deadline:
                    time.sleep(0.1)
                setup_started = os.path.exists(marker)
                problems = check_wine(scenario, report, after, setup_started)
            except Exception as error:  # a broken step fails this test, not the suite
                problems, report = ["%s: %s" % (type(error).__name__, error)], None
            result(scenario["name"], problems, time.time() - t)
            if report is None:
                continue
            t = time.time()
            try:
                sim_after = run_sim(args.sim, scenario, workdir, wine.ports)
                problems = check_differential(scenario, report, after, setup_started, sim_after)
            except Exception as error:
                problems = ["%s: %s" % (type(error).__name__, error)]
            for field, why in dict(scenario.get("sim_differs", {}),
                                   **scenario.get("wine_differs", {})).items():
                print("    note: %s: %s" % (field, why))
            result("  same on the simulated machine", problems, time.time() - t)
    finally:
        wine.close()
    print("Wine suite took %.1f s" % (time.time() - started))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
