#!/bin/sh
# Builds the Debian package from the build tree, unpacks it into a scratch
# root as dpkg would install it, and checks what the desktop relies on.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/out/*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"

# Dependencies: the libraries found by dpkg-shlibdeps plus the named ones.
depends=$(dpkg-deb -f "$deb" Depends)
for package in fonts-liberation2 qt6-translations-l10n libqt6serialport6 libqt6widgets6; do
  case "$depends" in *"$package"*) ;; *) fail "Depends lacks $package: $depends" ;; esac
done
dpkg-deb -f "$deb" Description | grep -q "adduser \$USER dialout" ||
  fail "the description does not tell how to join dialout"

share="$root/usr/share"
app=com.quorvex.Configurator
for file in usr/bin/quorvex usr/bin/quorvex-cli usr/bin/quorvex-sim \
    "usr/share/applications/$app.desktop" "usr/share/metainfo/$app.metainfo.xml" \
    usr/share/mime/packages/quorvex.xml \
    usr/share/icons/hicolor/scalable/apps/quorvex.svg \
    usr/share/icons/hicolor/scalable/mimetypes/application-x-quorvex-settings.svg \
    usr/share/man/man1/quorvex.1.gz usr/share/man/man1/quorvex-cli.1.gz \
    usr/share/man/man1/quorvex-sim.1.gz usr/share/doc/quorvex/copyright \
    usr/share/doc/quorvex/changelog.gz; do
  [ -s "$root/$file" ] || fail "missing $file"
done
for size in 16 24 32 48 64 128; do
  for icon in apps/quorvex mimetypes/application-x-quorvex-settings; do
    png="$share/icons/hicolor/${size}x$size/$icon.png"
    drawn=$(identify -format '%wx%h' "$png" 2>/dev/null) || drawn=none
    [ "$drawn" = "${size}x$size" ] || fail "$png is $drawn"
  done
done
if [ -f "$source/cli/completion/quorvex-cli.bash" ]; then
  [ -s "$share/bash-completion/completions/quorvex-cli" ] || fail "missing the bash completion"
fi

desktop-file-validate "$share/applications/$app.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli validate"; }
grep -qx 'Exec=quorvex %f' "$share/applications/$app.desktop" || fail "Exec does not pass the file"

# The file type: the XML parses into a database that maps *.qvx to it, and
# the desktop entry claims the same type.
xmllint --noout "$share/mime/packages/quorvex.xml" || fail "the MIME XML does not parse"
update-mime-database "$share/mime" >"$work/mime.log" 2>&1 || { cat "$work/mime.log"; fail "update-mime-database"; }
grep -q 'application/x-quorvex-settings:\*\.qvx' "$share/mime/globs2" 2>/dev/null ||
  fail "*.qvx is not mapped to application/x-quorvex-settings"
grep -q '^MimeType=application/x-quorvex-settings;' "$share/applications/$app.desktop" ||
  fail "the desktop entry does not open application/x-quorvex-settings"

"$root/usr/bin/quorvex-cli" --help >"$work/help.txt" 2>&1 || fail "installed quorvex-cli --help"
grep -q quorvex-cli "$work/help.txt" || fail "installed quorvex-cli --help printed no usage"

# The changelog's last entry is this version: a new version needs its entry.
logged=$(gzip -dc "$share/doc/quorvex/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$logged" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "the changelog's last entry is $logged, the package $(dpkg-deb -f "$deb" Version)"

# Debian's own checks. Errors fail; warnings are shown for whoever reads the log.
if lintian --fail-on error --display-level ">=warning" "$deb" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log"
else
  cat "$work/lintian.log"
  fail "lintian"
fi

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$deb"): every check passed"
