#!/usr/bin/env bash
# Compiles the help topics into Pixtrel.chm.
# Usage: scripts/build-chm.sh <topics folder> <output .chm> [chmcmd binary]
#
# The compiler writes the topic aliases ([ALIAS]) as absolute paths of the
# folder it runs in, which breaks context-ID look-up. Run inside a minimal
# chroot whose root is the project folder, the aliases come out as "/topic.htm".
# `unshare -r` maps us to root in a user namespace, so no privileges are needed.
set -euo pipefail
src=$(cd "$1" && pwd)
out=$2
chmcmd=${3:-/usr/bin/chmcmd-3.2.2}
[ -x "$chmcmd" ] || { echo "build-chm: $chmcmd not found (package fp-utils-3.2.2)" >&2; exit 1; }

root=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-chm.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/bin"
cp "$chmcmd" "$root/bin/chmcmd"
# The loader and the C library, plus libpthread and libdl, which the compiler
# loads at run time (without them it ends with exit code 216).
for lib in $(ldd "$chmcmd" | grep -o '/[^ ]*') \
           "$(dirname "$(ldd "$chmcmd" | grep -o '/[^ ]*libc\.so\.6')")"/{libpthread.so.0,libdl.so.2}; do
  [ -e "$lib" ] || continue
  mkdir -p "$root$(dirname "$lib")"
  cp -L "$lib" "$root$lib"
done
cp "$src"/*.hhp "$src"/*.hhc "$src"/*.hhk "$src"/*.htm "$src"/*.css "$root/"

hhp=$(basename "$(ls "$src"/*.hhp | head -n1)")
(cd "$root" && unshare -r chroot "$root" /bin/chmcmd "/$hhp") > "$root.log" 2>&1 || {
  cat "$root.log" >&2; rm -f "$root.log"; exit 1; }
rm -f "$root.log"
chm=$(grep -i '^Compiled file=' "$src/$hhp" | cut -d= -f2 | tr -d '\r')
[ -s "$root/$chm" ] || { echo "build-chm: no $chm written" >&2; exit 1; }
# A host folder in the file would break the aliases on every machine.
if grep -a -q "$src" "$root/$chm"; then echo "build-chm: host path in $chm" >&2; exit 1; fi
mkdir -p "$(dirname "$out")"
cp "$root/$chm" "$out"
