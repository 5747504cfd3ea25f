#!/bin/sh
# Checks that PrinterPort.exe is what a Windows 95/98/Me machine loads: a
# 32-bit GUI program with subsystem version 4.0 whose import table names only
# the DLLs and functions in scripts/allowed-imports.txt. Prints the exe's size.
# Usage: scripts/check-imports.sh [build/win32/PrinterPort.exe]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
exe=${1:-$here/../build/win32/PrinterPort.exe}
allowed=$here/allowed-imports.txt
objdump=i686-w64-mingw32-objdump
command -v "$objdump" >/dev/null 2>&1 || objdump=objdump

[ -f "$exe" ] || { echo "check-imports: $exe not found" >&2; exit 2; }
headers=$("$objdump" -p "$exe")
status=0
fail() { echo "FAIL: $*"; status=1; }

echo "$headers" | grep -q "file format pei-i386" || fail "not a 32-bit (i386) PE image"
echo "$headers" | grep -Eq "^Subsystem[[:space:]]+0+2[[:space:]]" || fail "not the GUI subsystem"
echo "$headers" | grep -Eq "^MajorSubsystemVersion[[:space:]]+4$" || fail "subsystem major version is not 4"
echo "$headers" | grep -Eq "^MinorSubsystemVersion[[:space:]]+0$" || fail "subsystem minor version is not 0"

# "DLL function" for every entry of the import table (imports by ordinal too).
imports=$(echo "$headers" | awk '
    /^[[:space:]]*DLL Name:/ { dll = $3; next }
    dll != "" && /^[[:space:]]*$/ { dll = ""; next }
    dll != "" && /^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+/ { print dll, $3; next }
    dll != "" && /<none>/ { print dll, "ordinal-" $2 }')
[ -n "$imports" ] || fail "no import table found"

# One pass: every import against the allowed set (DLL names compared in upper case).
problems=$(echo "$imports" | awk -v allowed="$allowed" '
    BEGIN {
        while ((getline line < allowed) > 0) {
            if (line ~ /^[[:space:]]*(#|$)/) continue
            split(line, f, /[[:space:]]+/)
            ok[toupper(f[1]) " " f[2]] = 1; okDll[toupper(f[1])] = 1
        }
    }
    {
        dll = $1; fn = $2
        if (!(toupper(dll) in okDll) && !(dll in seen)) {
            seen[dll] = 1; print "FAIL: imports from " dll ", which is not a DLL of the allowed set"
        }
        if (fn ~ /^(Setup[A-Z]|CM_|RegisterDeviceNotification|UnregisterDeviceNotification)/)
            print "FAIL: " dll "!" fn " must be bound at run time, not imported"
        else if (!((toupper(dll) " " fn) in ok))
            print "FAIL: " dll "!" fn " is not in the allowed set"
    }')
if [ -n "$problems" ]; then echo "$problems"; status=1; fi

dlls=$(echo "$imports" | awk '{ print $1 }' | sort -u | tr '\n' ' ')
count=$(echo "$imports" | wc -l)
size=$(wc -c < "$exe")
echo "$(basename "$exe"): $size bytes; $count imports from $dlls"
[ $status -eq 0 ] && echo "imports: OK" || echo "imports: FAILED"
exit $status
