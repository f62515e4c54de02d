#!/usr/bin/env bash
# The Debian package as a treasurer's computer gets it: built with CPack from the
# Release tree, checked with desktop-file-validate and lintian, unpacked into a
# scratch root with dpkg -x, and the unpacked program run from there. It must find
# its files under share/tsubaki and keep its settings under $XDG_CONFIG_HOME,
# writing nothing into the installation.
# Usage: package_test.sh SOURCE_DIR RELEASE_BUILD_DIR
set -euo pipefail
src=$1
release=$2

fail() { echo "FAIL: $*" >&2; exit 1; }

scratch=$(realpath "$(mktemp -d)")
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# One Release build, reusing the tree ./run.sh builds.
cmake -S "$src" -B "$release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$release" -j2
cpack_log=$(cd "$release" && cpack -G DEB)
echo "$cpack_log"
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$cpack_log")
[ -f "$deb" ] || fail "cpack made no package"

echo "== control"
dpkg-deb -f "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 qt6-qpa-plugins libfbclient2 firebird3.0-server-core libzip4 libpugixml1v5 fonts-noto-cjk; do
  grep -qE "(^|, |\| )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p"
done
grep -q libreoffice-calc <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "LibreOffice Calc is not recommended"
control_files=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||;/^$/d' | sort | tr '\n' ' ')
[ "$control_files" = "control md5sums " ] || fail "control archive holds more than control and md5sums: $control_files"

echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

root=$scratch/root
dpkg -x "$deb" "$root"
files=$root/usr/share/tsubaki

echo "== desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/tsubaki.desktop" || fail "the desktop entry is not valid"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/tsubaki.svg" ] || fail "no icon"

# Every template, database and list file of the runnable folder, and nothing else of it.
runnable_files() {
  (cd "$1" && find Template OrgDB -type f | sort; find . -maxdepth 1 -name '*List.txt' -printf '%f\n' | sort)
}
[ "$(runnable_files "$files")" = "$(runnable_files "$release/app")" ] ||
  fail "share/tsubaki differs from the runnable folder: $(diff <(runnable_files "$files") <(runnable_files "$release/app"))"
[ -f "$files/OrgDB/TSUBAKI.FDB" ] && [ -f "$files/OrgDB/SampleDB/TSUBAKI.FDB" ] || fail "the databases are missing"
ls "$files"/Template/*.xltx >/dev/null || fail "no templates"
[ -z "$(find "$root" -name Tsubaki.ini)" ] || fail "the package carries a settings file"

# The unpacked program, as a user with a home and settings folder of their own
# and an all-users default settings file.
home=$scratch/home
config=$scratch/config
mkdir -p "$home" "$scratch/run" "$scratch/xdg/PLN/Tsubaki"
chmod 700 "$scratch/run"
printf '[Report]\nViewer=\n' >"$scratch/xdg/PLN/Tsubaki/Tsubaki.ini"
run_env=(env HOME="$home" XDG_CONFIG_HOME="$config" XDG_CONFIG_DIRS="$scratch/xdg" XDG_RUNTIME_DIR="$scratch/run"
         QT_QPA_PLATFORM=offscreen)

echo "== folders"
folders=$("${run_env[@]}" "$root/usr/bin/tsubaki" --folders)
echo "$folders"
[ "$folders" = "files=$files
settings=$config/tsubaki" ] || fail "the installed program decided other folders"

echo "== first start"
before=$(find "$root" -printf '%P %s %T@\n' | sort)
"${run_env[@]}" "$root/usr/bin/tsubaki" &
pid=$!
ini=$config/tsubaki/Tsubaki.ini
for _ in $(seq 600); do
  grep -qx "FdbRootPath=$home/TsubakiDB" "$ini" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
  sleep 0.1
done
grep -qx "FdbRootPath=$home/TsubakiDB" "$ini" 2>/dev/null || fail "the login window wrote no root folder to $ini"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
cat "$ini"
grep -qx 'Viewer=' "$ini" || fail "the all-users default settings were not copied"
[ -d "$home/TsubakiDB" ] || fail "no data root folder $home/TsubakiDB"
[ "$(find "$root" -printf '%P %s %T@\n' | sort)" = "$before" ] || fail "the program wrote into the installation"
echo "package test passed"
