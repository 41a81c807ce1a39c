#!/usr/bin/env bash
# Checks a product executable: PE32 for i386, GUI subsystem, statically
# linked so that it imports only DLLs every Windows has, and no bigger than
# its size budget (HX_SIZE_BUDGET bytes, 512 KiB unless set).
set -uo pipefail
exe=$1
[ -f "$exe" ] || { echo "missing: $exe"; exit 1; }
ok=0
info=$(file "$exe")
echo "$info" | grep -q "PE32 executable (GUI) Intel 80386" || { echo "not a 32-bit GUI program: $info"; ok=1; }
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|COMDLG32|OLE32|OLEAUT32|msvcrt|VERSION|WINMM|SHLWAPI|WININET)\.dll$'
while read -r dll; do
  echo "$dll" | grep -qiE "$allowed" || { echo "imports a DLL Windows lacks: $dll"; ok=1; }
done < <(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}')
size=$(stat -c %s "$exe")
budget=${HX_SIZE_BUDGET:-524288}
if [ "$size" -gt "$budget" ]; then
  echo "$(basename "$exe") is $size bytes, over its budget of $budget bytes"
  ok=1
fi
[ $ok -eq 0 ] && echo "   $(basename "$exe"): PE32 i386 GUI, system DLLs only, $size bytes of $budget"
exit $ok
