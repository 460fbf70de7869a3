#!/usr/bin/env bash
# Unpacks Debian's libpng 1.6 source package (with Debian's patches applied) into DEST,
# for the mingw builds. Uses a private apt state so the machine's own lists stay untouched.
set -euo pipefail
dest=${1:?usage: fetch-libpng-source.sh DEST}
[ -f "$dest/png.h" ] && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/parts" "$work/lists/partial" "$work/cache/archives/partial" "$work/get"

# deb-src entries from the machine's own Debian sources, main archive only (the security
# archive may not carry every revision's files).
found=0
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -q 'URIs:.*debian' "$f" || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" } /debian-security/ { next } /URIs:/ { sub(/Types: deb/, "Types: deb-src"); print }' \
        "$f" >"$work/parts/src.sources"
    found=1
    break
done
if [ "$found" = 0 ] && [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | grep -v security | sed 's/^deb /deb-src /' >"$work/parts/src.list"
fi

opts=(-o "Dir::Etc::SourceParts=$work/parts" -o Dir::Etc::SourceList=/dev/null
      -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o APT::Sandbox::User=root -q)
apt-get "${opts[@]}" update >/dev/null
(cd "$work/get" && apt-get "${opts[@]}" source --download-only libpng1.6 >/dev/null)
dsc=$(ls "$work"/get/libpng1.6_*.dsc | head -n 1)
rm -rf "$dest"
mkdir -p "$(dirname "$dest")"
dpkg-source --no-check -x "$dsc" "$dest" >/dev/null
test -f "$dest/png.h"
