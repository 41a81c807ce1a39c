#!/usr/bin/env bash
# Checks a product executable: PE32 for i386, GUI subsystem, statically
# linked so that it imports only DLLs every Windows has.
set -uo pipefail
exe=$1
ok=0
info=$(file "$exe")
echo "$info" | grep -q "PE32 executable (GUI) Intel 80386" || { echo "not a 32-bit GUI program: $info"; ok=1; }
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|COMDLG32|OLE32|OLEAUT32|msvcrt|VERSION|WINMM|SHLWAPI|WININET)\.dll$'
while read -r dll; do
  echo "$dll" | grep -qiE "$allowed" || { echo "imports a DLL Windows lacks: $dll"; ok=1; }
done < <(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}')
[ $ok -eq 0 ] && echo "   $(basename "$exe"): PE32 i386 GUI, system DLLs only, $(stat -c %s "$exe") bytes"
exit $ok
