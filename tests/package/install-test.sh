#!/usr/bin/env bash
# Makes the Debian package from a build folder, unpacks it into a temporary
# root with dpkg -x and runs the installed velkor-cli from there.
#   install-test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/velkor_*.deb)
echo "package: $(basename "$deb")"

# What the package holds and what it asks for.
listing=$(dpkg-deb -c "$deb")
for f in ./usr/bin/velkor ./usr/bin/velkor-cli ./usr/share/applications/velkor.desktop \
         ./usr/share/icons/hicolor/scalable/apps/velkor.svg \
         ./usr/share/mime/packages/velkor-station.xml ./usr/share/man/man1/velkor-cli.1.gz; do
  grep -q " $f\$" <<<"$listing" || { echo "missing from the package: $f"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q "libqt6widgets6" <<<"$depends" || { echo "no Qt in Depends: $depends"; exit 1; }

root="$work/root"
dpkg -x "$deb" "$root"
cli="$root/usr/bin/velkor-cli"
export QT_QPA_PLATFORM=offscreen
"$cli" --help | grep -q "^Usage: velkor-cli COMMAND" || { echo "velkor-cli --help failed"; exit 1; }
"$cli" demo "$work/station" >/dev/null 2>&1 || { echo "velkor-cli demo failed"; exit 1; }
"$cli" info "$work/station/Demo.lcp" | grep -q "对象总数" || { echo "the demo does not open"; exit 1; }
zcat "$root/usr/share/man/man1/velkor-cli.1.gz" | grep -q "^\.SS resave" ||
  { echo "the man page lacks the commands"; exit 1; }
echo "installed into a temporary root: velkor-cli --help, demo and info work"
