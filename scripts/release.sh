#!/usr/bin/env bash
# Builds the release a Windows user downloads:
#   build/release/Horavex.KT-<version>.zip   the folder Horavex.KT\ as the user
#                                            unpacks it: the i686 programs, help,
#                                            About page, uninstaller data
#   build/release/SHA256SUMS                 the zip's SHA-256, sha256sum format
# The version is the file VERSION. The program folder is built from scratch in
# a build folder of its own (build/release/tree), never from a developer's
# build. Every entry of the zip carries the date of the release commit
# (SOURCE_DATE_EPOCH when set, else the last commit's date), in a fixed order
# with fixed attributes, and the program files hold no link time: two runs on
# the same commit give the same zip byte for byte.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

version=$(tr -d '[:space:]' < "$root/VERSION")
out="$root/build/release"
tree="$out/tree"
zip_name="Horavex.KT-$version.zip"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
  echo "release: the working tree has uncommitted changes; the zip holds them, dated as the last commit" >&2
fi

rm -rf "$tree"
mkdir -p "$out"
HX_BUILD_DIR="$tree" "$root/scripts/build.sh" --program-folder win32
folder="$tree/win32/Horavex.KT"
[ -f "$folder/Horavex.KT.exe" ] || { echo "release: no program folder in $folder" >&2; exit 1; }

# Entries sorted by name (a folder before what it holds), all dated with the
# commit's time in UTC, MS-DOS attributes only (folder or archive), deflated
# by the system's Python and zlib.
rm -f "$out/$zip_name" "$out/SHA256SUMS"
/usr/bin/python3 - "$folder" "$out/$zip_name.new" "$SOURCE_DATE_EPOCH" <<'EOF'
import os, sys, time, zipfile

folder, target, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
stamp = time.gmtime(max(epoch, 315532800))[:6]  # a zip date is 1980 or later
parent = os.path.dirname(folder)
entries = []
for path, dirs, files in os.walk(folder):
    entries.append((os.path.relpath(path, parent) + "/", None))
    entries += [(os.path.relpath(os.path.join(path, f), parent), os.path.join(path, f)) for f in files]
entries.sort()
with zipfile.ZipFile(target, "w") as archive:
    for name, source in entries:
        info = zipfile.ZipInfo(name.replace(os.sep, "/"), date_time=stamp)
        info.create_system = 0  # MS-DOS: external_attr holds Windows attributes
        if source is None:
            info.external_attr = 0x10  # FILE_ATTRIBUTE_DIRECTORY
            archive.writestr(info, b"")
        else:
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(source, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
EOF
mv "$out/$zip_name.new" "$out/$zip_name"
(cd "$out" && sha256sum "$zip_name" > SHA256SUMS)
cat "$out/SHA256SUMS"
