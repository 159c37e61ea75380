#!/usr/bin/env bash
# Reads the headers of every built plug-in binary and checks the machine type, that exactly
# VSTPluginMain and main are exported, and that the Windows DLLs import only system DLLs.
# Usage: inspect-binaries.sh LINUX_BUILD_DIR (the Windows trees are its siblings win32/, win64/).
set -uo pipefail
export LC_ALL=C  # sort order of the export lists
linux=$1
root=$(dirname "$linux")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# DLLs a plug-in may import: the system's own.
system_dlls='^(KERNEL32|USER32|GDI32|MSVCRT|ADVAPI32|SHELL32|COMDLG32|COMCTL32|OLE32|OLEAUT32|WININET|MSIMG32|SHLWAPI|WS2_32|UCRTBASE|API-MS-WIN-[A-Z0-9-]+)\.DLL$'

check_dll() {  # file expected-architecture
  local dll=$1 arch=$2 info exports imports
  info=$(objdump -p "$dll" 2>&1) || { fail "$dll: objdump cannot read it"; return; }
  local format
  format=$(objdump -f "$dll" | sed -n 's/^architecture: \([^,]*\).*/\1/p')
  echo "$(basename "$dll") [$(basename "$(dirname "$(dirname "$dll")")")]: architecture $format"
  [ "$format" = "$arch" ] || fail "$dll: architecture $format, expected $arch"
  exports=$(printf '%s\n' "$info" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  echo "  exports: $exports"
  [ "$exports" = "VSTPluginMain main " ] || fail "$dll: exports '$exports', expected exactly VSTPluginMain and main"
  imports=$(printf '%s\n' "$info" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  echo "  imports: $imports"
  local d
  for d in $imports; do
    echo "$d" | tr '[:lower:]' '[:upper:]' | grep -Eq "$system_dlls" || fail "$dll: imports $d, not a system DLL"
  done
}

check_so() {
  local so=$1 machine exports needed
  machine=$(readelf -h "$so" | sed -n 's/^\s*Machine:\s*//p')
  echo "$(basename "$so") [linux]: machine $machine"
  [ "$machine" = "Advanced Micro Devices X86-64" ] || fail "$so: machine $machine, expected x86-64"
  exports=$(nm -D --defined-only "$so" | awk '{print $NF}' | sort | tr '\n' ' ')
  echo "  exports: $exports"
  [ "$exports" = "VSTPluginMain main " ] || fail "$so: exports '$exports', expected exactly VSTPluginMain and main"
  needed=$(readelf -d "$so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
  echo "  needs: $needed"
}

for voicing in Lum Dar; do
  so=$linux/plugins/ZORV_Q19_1.6_$voicing.so
  if [ -f "$so" ]; then check_so "$so"; else fail "$so is missing"; fi
done
for tree in win32:i386 win64:i386:x86-64; do
  name=${tree%%:*}
  arch=${tree#*:}
  dir=$root/$name/plugins
  if [ ! -d "$dir" ]; then
    fail "$dir is missing: build the $name tree beside $linux first (./run test builds all three)"
    continue
  fi
  for voicing in Lum Dar; do
    dll=$dir/ZORV_Q19_1.6_$voicing.dll
    if [ -f "$dll" ]; then check_dll "$dll" "$arch"; else fail "$dll is missing"; fi
  done
done

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all plug-in binaries pass"
