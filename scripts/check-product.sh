#!/usr/bin/env bash
# Checks a product executable: PE32 for i386, GUI subsystem, statically
# linked so that it imports only DLLs every Windows has and always loads
# from its own folder (known DLLs, and the common controls through the
# manifest): a DLL of another name beside the program would be loaded in
# place of the system's before the program runs. No bigger than
# its size budget (HX_SIZE_BUDGET bytes, 512 KiB unless set). Given the
# program's link map too, checks that it holds none of the C++ runtime's
# heavy parts: locales, streams, file-system paths, regular expressions,
# the name demangler.
# Usage: scripts/check-product.sh program.exe [program.map]
set -uo pipefail
exe=$1
map=${2:-}
[ -f "$exe" ] || { echo "missing: $exe"; exit 1; }
ok=0
info=$(file "$exe")
echo "$info" | grep -q "PE32 executable (GUI) Intel 80386" || { echo "not a 32-bit GUI program: $info"; ok=1; }
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|COMDLG32|OLE32|OLEAUT32|msvcrt|SHLWAPI)\.dll$'
while read -r dll; do
  echo "$dll" | grep -qiE "$allowed" || { echo "imports a DLL Windows lacks or may load from elsewhere: $dll"; ok=1; }
done < <(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}')
# Functions that older systems lack (monitors, DPI, the library search
# path, ...) are looked up at run time: imported, they would keep the program
# from loading there at all, so that not even its notice could show.
newer='^(MonitorFrom(Window|Point|Rect)|EnumDisplayMonitors|GetMonitorInfo[AW]|GetDpiFor(Window|System)|[A-Za-z]+ForDpi|SetProcessDpiAware(ness|nessContext)?|SetThreadDpiAwarenessContext|SetDefaultDllDirectories|AddDllDirectory|GetTimeZoneInformationForYear|MAPISendMail)$'
while read -r function; do
  echo "$function" | grep -qE "$newer" && { echo "imports $function, which older Windows lacks: look it up at run time"; ok=1; }
done < <(i686-w64-mingw32-objdump -p "$exe" | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}')
size=$(stat -c %s "$exe")
budget=${HX_SIZE_BUDGET:-524288}
if [ "$size" -gt "$budget" ]; then
  echo "$(basename "$exe") is $size bytes, over its budget of $budget bytes"
  ok=1
fi
runtime=""
if [ -n "$map" ]; then
  if [ -f "$map" ]; then
    # The map lists each archive member the linker took, with the symbol
    # that made it take the member on the next line.
    heavy='locale|codecvt|ctype|facets|collate|messages_|monetary|numeric_members|time_members|ios|stream|basic_file|string-io|fs_|regex|demangle|floating_'
    while read -r member; do
      echo "$(basename "$exe") holds the runtime's $member:"
      grep -A1 -F "libstdc++.a($member)" "$map" | sed -n 2p | sed 's/^ */   needed by /'
      ok=1
    done < <(sed -n 's/.*libstdc++\.a(\([^)]*\))$/\1/p' "$map" | sort -u | grep -E "$heavy")
    runtime=", no heavy runtime parts"
  else
    echo "missing link map: $map"
    ok=1
  fi
fi
[ $ok -eq 0 ] && echo "   $(basename "$exe"): PE32 i386 GUI, system DLLs only$runtime, $size bytes of $budget"
exit $ok
