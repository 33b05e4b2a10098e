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
for package in fonts-liberation2 qt6-translations-l10n libqt6serialport6 libqt6widgets6 adduser \
    libpq5 libsodium23 libcpp-httplib; do
  case "$depends" in *"$package"*) ;; *) fail "Depends lacks $package: $depends" ;; esac
done
dpkg-deb -f "$deb" Description | grep -q "adduser \$USER dialout" ||
  fail "the description does not tell how to join dialout"

share="$root/usr/share"
app=com.quorvex.Configurator
for file in usr/bin/quorvex usr/bin/quorvex-cli usr/bin/quorvex-sim usr/bin/quorvex-server \
    "usr/share/applications/$app.desktop" "usr/share/metainfo/$app.metainfo.xml" \
    usr/share/mime/packages/quorvex.xml \
    usr/share/icons/hicolor/scalable/apps/quorvex.svg \
    usr/share/icons/hicolor/scalable/mimetypes/application-x-quorvex-settings.svg \
    usr/share/man/man1/quorvex.1.gz usr/share/man/man1/quorvex-cli.1.gz \
    usr/share/man/man1/quorvex-sim.1.gz usr/share/man/man1/quorvex-server.1.gz \
    usr/share/doc/quorvex/copyright usr/share/doc/quorvex/changelog.gz \
    usr/lib/systemd/system/quorvex-server.service etc/quorvex/quorvex-server.conf \
    usr/share/quorvex/nginx/quorvex-server.conf usr/share/quorvex/web/index.html \
    usr/share/quorvex/web/quorvex.js usr/share/quorvex/web/quorvex.wasm; do
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

# The server's service. The unit runs the packaged program as its own user
# with its state in /var/lib/quorvex and the hardening below; its options
# come from the conffile, whose every example is a command line the program
# takes (a database that is not there is a failure, 1, not a usage error, 2).
unit="$root/usr/lib/systemd/system/quorvex-server.service"
conf="$root/etc/quorvex/quorvex-server.conf"
for line in User=quorvex Group=quorvex StateDirectory=quorvex NoNewPrivileges=yes \
    ProtectSystem=strict ProtectHome=yes PrivateTmp=yes PrivateDevices=yes \
    CapabilityBoundingSet= EnvironmentFile=/etc/quorvex/quorvex-server.conf \
    WantedBy=multi-user.target; do
  grep -qx -- "$line" "$unit" || fail "the unit lacks $line"
done
# systemd's own reading of the unit, beside the system's targets; a line it
# ignores (a misspelt value) is only a warning there, a fault here.
if [ -d /lib/systemd/system ] && command -v systemd-analyze >/dev/null; then
  units="$work/verify/usr/lib/systemd/system"
  mkdir -p "$units" "$work/verify/usr/bin" "$work/verify/etc"
  cp /lib/systemd/system/*.target /lib/systemd/system/*.slice "$units"
  cp "$unit" "$units"
  cp "$root/usr/bin/quorvex-server" "$work/verify/usr/bin"
  cp -r "$root/etc/quorvex" "$work/verify/etc"
  systemd-analyze verify --man=no --root="$work/verify" quorvex-server.service \
    >"$work/verify.log" 2>&1 || true
  [ -s "$work/verify.log" ] && { cat "$work/verify.log"; fail "systemd-analyze verify"; }
  # Exposure as systemd rates it, 0 (locked down) to 10; shown for the log.
  systemd-analyze security --offline=yes --root="$work/verify" quorvex-server.service 2>&1 |
    tail -1 || true
fi
dpkg-deb -e "$deb" "$work/control"
grep -qx /etc/quorvex/quorvex-server.conf "$work/control/conffiles" ||
  fail "the configuration is not a conffile"
for script in postinst prerm postrm; do
  [ -x "$work/control/$script" ] || fail "no executable $script"
  sh -n "$work/control/$script" || fail "$script does not parse"
done
grep -q 'adduser --system' "$work/control/postinst" || fail "postinst makes no system user"
command=$(sed -n 's|^ExecStart=/usr/bin/quorvex-server ||p' "$unit")
[ -n "$command" ] || fail "the unit does not run /usr/bin/quorvex-server"
examples=$(grep -c '^#QUORVEX_' "$conf") || fail "the configuration shows no example"
for example in 0 $(seq "$examples"); do
  # The configuration with its Nth example taken in (0: as shipped).
  awk -v n="$example" '/^#QUORVEX_/ { if (++seen == n) sub(/^#/, "") } 1' "$conf" \
    >"$work/example.conf"
  (
    set -a -f +u
    . "$work/example.conf"
    eval "set -- $command"
    ASAN_OPTIONS=detect_leaks=0 "$root/usr/bin/quorvex-server" "$@" --data "$work/data" user list \
      >"$work/example.log" 2>&1
  ) && ran=0 || ran=$?
  if [ "$ran" -eq 2 ] || { [ "$example" -eq 0 ] && [ "$ran" -ne 0 ]; }; then
    cat "$work/example.log"
    fail "the configuration (example $example) gives a command that fails with $ran"
  fi
done

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
