#!/bin/sh
# Checks the built man pages: each renders without a warning and names itself
# for whatis, and every command and option the programs' --help texts name
# has its place in the page, so that the pages cannot fall behind the programs.
#   man_pages_test.sh PAGE_DIR QUORVEX_CLI QUORVEX_SIM QUORVEX_SERVER
set -eu
pages=$1
cli=$2
sim=$3
server=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
export ASAN_OPTIONS=detect_leaks=0 LC_ALL=C.UTF-8 MANWIDTH=80

for program in quorvex quorvex-cli quorvex-sim quorvex-server; do
  page="$pages/$program.1.gz"
  [ -s "$page" ] || { fail "missing $page"; continue; }
  # How lintian renders a page; anything on stderr is a fault in the page.
  man --warnings -E UTF-8 -l -Tutf8 -Z "$page" >/dev/null 2>"$work/warnings" ||
    fail "$program.1 does not render"
  [ -s "$work/warnings" ] && { cat "$work/warnings"; fail "$program.1 renders with warnings"; }
  lexgrog "$page" | grep -q "\"$program - " || fail "$program.1 gives whatis no name line"
  gzip -dc "$page" | sed 's/\\-/-/g' >"$work/$program.1"
done

# The source of one command's section of quorvex-cli.1: from its .SS to the next heading.
section() {
  awk -v command="$1" '
    /^\.S[SH] / { inside = index($0, ".SS \"" command " ") == 1 || $0 == ".SS \"" command "\"" ; next }
    inside' "$work/quorvex-cli.1"
}

# The commands are the indented words of the CLI's general help.
commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p')
[ -n "$commands" ] || fail "quorvex-cli --help lists no command"
for command in $commands; do
  section "$command" >"$work/section"
  [ -s "$work/section" ] || { fail "quorvex-cli.1 has no section for $command"; continue; }
  grep -q "Код выхода:" "$work/section" || fail "the section of $command gives no exit codes"
  grep -q "^Пример" "$work/section" || fail "the section of $command gives no example"
  for option in $("$cli" "$command" --help | grep -o -- '--*[a-z][a-z-]*' | grep -vx -- '--help' | sort -u); do
    grep -q -- "$option\\b" "$work/section" || fail "the section of $command lacks $option"
  done
done
for option in $("$sim" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -q -- "$option\\b" "$work/quorvex-sim.1" || fail "quorvex-sim.1 lacks $option"
done

# The server's page: every option and "user" command of its help, its roles
# by the names --role takes, and the files the package gives it.
for option in $("$server" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -q -- "$option\\b" "$work/quorvex-server.1" || fail "quorvex-server.1 lacks $option"
done
"$server" --help | sed -n 's/^ *quorvex-server \(user [a-z]*\).*/\1/p' >"$work/server-commands"
[ -s "$work/server-commands" ] || fail "quorvex-server --help lists no user command"
awk '/^\.SH / { inside = $0 == ".SH КОМАНДЫ"; next } inside' "$work/quorvex-server.1" \
  >"$work/server-section"
while read -r command; do
  grep -q "$command\b" "$work/server-section" || fail "quorvex-server.1 lacks a part for $command"
done <"$work/server-commands"
for word in installer senior admin /etc/quorvex/quorvex-server.conf /var/lib/quorvex \
    quorvex-server.service /usr/share/quorvex/web; do
  grep -q -- "$word" "$work/quorvex-server.1" || fail "quorvex-server.1 does not name $word"
done

[ "$failures" -eq 0 ] || exit 1
echo "man pages: every check passed"
