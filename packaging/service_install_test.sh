#!/bin/sh
# The package installed by dpkg, its maintainer scripts run, inside a
# private mount namespace where /etc, /usr and /var are overlays of this
# machine's on a scratch folder: nothing reaches the machine itself. Then
# the server runs as the service would, and the package is removed and
# purged.
#   service_install_test.sh BUILD_DIR
# Exit 77 (skipped) where that namespace cannot be made (not root, no
# unshare, no overlay file system).
set -eu
build=$1
if [ -z "${QUORVEX_IN_OVERLAY:-}" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: dpkg in an overlay needs root"; exit 77; }
  command -v unshare >/dev/null || { echo "SKIP: no unshare"; exit 77; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  trap 'exit 1' INT TERM
  cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
  status=0
  QUORVEX_IN_OVERLAY=$work unshare -m --propagation private sh "$0" "$build" || status=$?
  exit $status
fi

work=$QUORVEX_IN_OVERLAY
for dir in etc usr var; do
  mkdir -p "$work/upper/$dir" "$work/lower-work/$dir"
  mount -t overlay overlay \
    -o "lowerdir=/$dir,upperdir=$work/upper/$dir,workdir=$work/lower-work/$dir" "/$dir" ||
    { echo "SKIP: no overlay file system here"; exit 77; }
done
# A machine that has the package already would hide the scripts' work.
if dpkg-query -W -f='${Status}' quorvex 2>/dev/null | grep -q "install ok installed"; then
  dpkg -P quorvex >/dev/null 2>&1
fi
if getent passwd quorvex >/dev/null; then
  echo "SKIP: this machine has a user quorvex already"
  exit 77
fi
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

dpkg -i --force-depends "$work"/out/*.deb >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; echo "FAIL: dpkg -i"; exit 1; }

# postinst: a system user without a login, its state folder, the
# configuration closed to others.
account=$(getent passwd quorvex) || fail "no user quorvex"
case "$account" in *:/var/lib/quorvex:/usr/sbin/nologin) ;; *) fail "user quorvex is $account" ;; esac
[ "$(id -u quorvex)" -lt 1000 ] || fail "quorvex is not a system user"
[ "$(stat -c '%U:%G %a' /var/lib/quorvex)" = "quorvex:quorvex 750" ] ||
  fail "/var/lib/quorvex is $(stat -c '%U:%G %a' /var/lib/quorvex)"
[ "$(stat -c '%U:%G %a' /etc/quorvex/quorvex-server.conf)" = "root:quorvex 640" ] ||
  fail "the configuration is $(stat -c '%U:%G %a' /etc/quorvex/quorvex-server.conf)"

# The first account as README says, then the server as its unit runs it:
# the user, the configuration's options, the installed page.
printf 'пароль-123\n' | runuser -u quorvex -- quorvex-server user add Петров --role admin \
  >/dev/null || fail "user add as quorvex"
[ "$(stat -c %U /var/lib/quorvex/quorvex-server.db)" = quorvex ] || fail "the database is not quorvex's"
printf 'пароль-123\n' | quorvex-server user add Иванов --role admin >/dev/null 2>"$work/root.err" &&
  fail "root made an account in quorvex's folder"
grep -q "sudo -u quorvex" "$work/root.err" || fail "root is not told whose folder it is"
# Unset options are empty, as systemd has them.
set -a +u
. /etc/quorvex/quorvex-server.conf
set +a
command=$(sed -n 's|^ExecStart=||p' /usr/lib/systemd/system/quorvex-server.service)
QUORVEX_LISTEN=127.0.0.1:0
mkfifo "$work/server.out"
eval "runuser -u quorvex -- $command" >"$work/server.out" 2>"$work/server.err" &
server=$!
read -r first <"$work/server.out" || first=
port=${first%%,*}
port=${port##*:}
case "$first" in
  *"база данных: /var/lib/quorvex/quorvex-server.db") ;;
  *) fail "the service's server said: $first $(cat "$work/server.err")" ;;
esac
set -u
curl -s "http://127.0.0.1:$port/" | grep -q '<title>' || fail "the installed page is not served"
kill "$server" 2>/dev/null && wait "$server" 2>/dev/null || true

# Removal keeps the configuration, purge takes it; both keep the archive.
dpkg -r quorvex >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r"; }
[ -f /etc/quorvex/quorvex-server.conf ] || fail "removal took the configuration"
[ ! -e /usr/bin/quorvex-server ] || fail "removal left the program"
dpkg -P quorvex >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -P"; }
[ ! -e /etc/quorvex/quorvex-server.conf ] || fail "purge left the configuration"
[ -s /var/lib/quorvex/quorvex-server.db ] || fail "purge took the company's archive"

[ "$failures" -eq 0 ] || exit 1
echo "the package's service: installed, run, removed and purged"
