#!/bin/sh
# Builds the Debian package of this build, unpacks it into a throw-away root
# and checks it as a user and the distribution would: the programs run from
# the installed files, the dependencies are the Qt libraries, lintian finds
# no errors, the desktop entry and the AppStream file validate.
#   check-package.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/tunebase_*_amd64.deb) || fail "no package file"
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
echo "$depends" | grep -q 'libqt6core6' || fail "Depends lacks the Qt core library"
echo "$depends" | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt widgets library"

root="$work/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/tunebase usr/bin/tunebase-cli \
         usr/share/applications/tunebase.desktop \
         usr/share/mime/packages/tunebase.xml \
         usr/share/icons/hicolor/scalable/apps/tunebase.svg \
         usr/share/metainfo/example.brimlow.tunebase.metainfo.xml \
         usr/share/man/man1/tunebase.1.gz usr/share/man/man1/tunebase-cli.1.gz \
         usr/share/bash-completion/completions/tunebase \
         usr/share/bash-completion/completions/tunebase-cli \
         usr/share/tunebase/Docs/manual.html usr/share/tunebase/Docs/faq.html \
         usr/share/tunebase/Docs/order.html usr/share/tunebase/Docs/screenshots/track-window.png \
         usr/share/doc/tunebase/copyright usr/share/doc/tunebase/changelog.gz; do
    [ -f "$root/$f" ] || fail "missing /$f"
done

"$root/usr/bin/tunebase-cli" --version | grep -q '^tunebase-cli [0-9]' || fail "tunebase-cli --version"
"$root/usr/bin/tunebase" --version | grep -q '^tunebase [0-9]' || fail "tunebase --version"

# Ten MPEG-1 layer III frames, 128 kbit/s at 44.1 kHz (417 bytes each).
mp3="$work/tone.mp3"
i=0
while [ $i -lt 10 ]; do
    printf '\377\373\220\000' >>"$mp3"
    head -c 413 /dev/zero >>"$mp3"
    i=$((i + 1))
done
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    "$root/usr/bin/tunebase-cli" info "$mp3" >"$work/info.txt" 2>&1 \
    || { cat "$work/info.txt"; fail "tunebase-cli info"; }
grep -q '128' "$work/info.txt" || { cat "$work/info.txt"; fail "info shows no bitrate"; }

desktop-file-validate "$root/usr/share/applications/tunebase.desktop" || fail "desktop entry"
appstreamcli validate --pedantic --no-net \
    "$root/usr/share/metainfo/example.brimlow.tunebase.metainfo.xml" || fail "AppStream metadata"
bash -n "$root/usr/share/bash-completion/completions/tunebase-cli" || fail "completion syntax"

# Errors fail the check; warnings are listed (the README says which remain and why).
lintian --fail-on error --allow-root --no-tag-display-limit "$deb" || fail "lintian"
echo "package checks passed"
