#!/bin/sh
# The shipped nginx site in front of a real quorvex-server: nginx, run as
# this test's own process from a scratch prefix with a certificate made
# here, speaks TLS; the server on SQLite runs with --trust-proxy. Checked
# through nginx: the page, the cookie's flags, the Origin and token checks,
# and the login limit counting the client's own address.
#   nginx_proxy_test.sh QUORVEX_SERVER SITE_CONF
# Exit 77 (skipped) only where nginx cannot run.
set -eu
server=$1
site=$2
nginx=$(command -v nginx || echo /usr/sbin/nginx)
[ -x "$nginx" ] || { echo "SKIP: no nginx (Debian's nginx, see scripts/deps)"; exit 77; }
for tool in openssl curl; do
  command -v $tool >/dev/null || { echo "FAIL: $tool is missing (scripts/deps)"; exit 1; }
done

work=$(mktemp -d)
server_pid=
nginx_pid=
cleanup() {
  for pid in $nginx_pid $server_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
export ASAN_OPTIONS=detect_leaks=0

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost \
  -addext "subjectAltName=DNS:localhost" -keyout "$work/key.pem" -out "$work/cert.pem" \
  2>"$work/openssl.log" || { cat "$work/openssl.log"; echo "FAIL: openssl"; exit 1; }

# The server, on a free port it names on its first line.
mkdir "$work/page"
printf '<!doctype html><title>Quorvex</title>\n' >"$work/page/index.html"
printf '\0asm\1\0\0\0' >"$work/page/quorvex.wasm"
printf 'пароль-123\n' | "$server" --data "$work/data" user add Петров --role admin >/dev/null ||
  { echo "FAIL: user add"; exit 1; }
mkfifo "$work/server.out"
"$server" --listen 127.0.0.1:0 --data "$work/data" --page "$work/page" --trust-proxy \
  >"$work/server.out" 2>"$work/server.err" &
server_pid=$!
read -r first <"$work/server.out" || first=
server_port=${first%%,*}
server_port=${server_port##*:}
case "$server_port" in
  '' | *[!0-9]*) cat "$work/server.err"; echo "FAIL: the server did not start: $first"; exit 1 ;;
esac

# nginx from the shipped site: only its ports, the certificate and the
# server's port are this test's. A substitution that finds nothing fails.
site_for() {
  sed -e "s|^\( *listen\) 443 ssl|\1 127.0.0.1:$1 ssl|" -e '/listen \[::\]/d' \
    -e "s|^\( *listen\) 80;|\1 127.0.0.1:$2;|" \
    -e "s|ssl_certificate .*;|ssl_certificate $work/cert.pem;|" \
    -e "s|ssl_certificate_key .*;|ssl_certificate_key $work/key.pem;|" \
    -e "s|proxy_pass http://127.0.0.1:8470;|proxy_pass http://127.0.0.1:$server_port;|" "$site"
}
site_for 1 2 >"$work/probe.conf"
grep -v '^ *#' "$work/probe.conf" | grep -q -e ' 443' -e ' 80;' -e 8470 -e /etc/ssl &&
  { echo "FAIL: the site no longer has the lines this test replaces"; exit 1; }
mkdir "$work/temp"
cat >"$work/nginx.conf" <<CONF
pid $work/nginx.pid;
error_log $work/error.log info;
events { worker_connections 64; }
http {
  access_log $work/access.log;
  client_body_temp_path $work/temp/body;
  proxy_temp_path $work/temp/proxy;
  fastcgi_temp_path $work/temp/fastcgi;
  uwsgi_temp_path $work/temp/uwsgi;
  scgi_temp_path $work/temp/scgi;
  include $work/site.conf;
}
CONF

# The configuration itself must hold: only running may be impossible here.
site_for 1 2 >"$work/site.conf"
"$nginx" -t -q -p "$work" -e "$work/error.log" -c "$work/nginx.conf" >"$work/nginx.err" 2>&1 ||
  { cat "$work/nginx.err"; echo "FAIL: nginx -t refuses the site"; exit 1; }

# Free ports are found by taking them: a port another program holds makes
# nginx exit at once, and the next pair is tried.
https_url=
tries=0
while [ -z "$https_url" ] && [ $tries -lt 20 ]; do
  tries=$((tries + 1))
  port=$((20000 + ($$ * 7 + tries * 131) % 40000))
  site_for "$port" "$((port + 1))" >"$work/site.conf"
  "$nginx" -p "$work" -e "$work/error.log" -c "$work/nginx.conf" \
    -g 'daemon off; master_process off;' 2>>"$work/nginx.err" &
  nginx_pid=$!
  # Until nginx answers, or has ended.
  while kill -0 "$nginx_pid" 2>/dev/null; do
    if curl -s --max-time 60 -o /dev/null --cacert "$work/cert.pem" "https://localhost:$port/"; then
      https_url="https://localhost:$port"
      break
    fi
    sleep 0.05
  done
  if [ -z "$https_url" ]; then
    wait "$nginx_pid" 2>/dev/null || true
    nginx_pid=
    if ! grep -q "Address already in use" "$work/error.log" "$work/nginx.err" 2>/dev/null; then
      cat "$work/nginx.err" "$work/error.log" 2>/dev/null
      echo "SKIP: nginx cannot run here"
      exit 77
    fi
    : >"$work/error.log"
  fi
done
[ -n "$https_url" ] || { echo "FAIL: no free port for nginx in 20 tries"; exit 1; }
http_port=$((port + 1))
origin=$https_url

# One request through nginx: METHOD PATH BODY, then curl's own options.
# The status goes to $work/status, the headers to $work/headers, the body
# to $work/body.
request() {
  method=$1 path=$2 body=$3
  shift 3
  [ -z "$body" ] || set -- "$@" --data-binary "$body" -H 'Content-Type: application/json'
  curl -s --max-time 60 --cacert "$work/cert.pem" -X "$method" -D "$work/headers" \
    -o "$work/body" -w '%{http_code}' "$@" "$https_url$path" >"$work/status" ||
    echo 000 >"$work/status"
}
status() { cat "$work/status"; }
header() { tr -d '\r' <"$work/headers" | sed -n "s/^$1: //Ip" | head -1; }

# The page, as the server serves it.
request GET / ""
[ "$(status)" = 200 ] || fail "GET / gave $(status)"
grep -q '<title>Quorvex</title>' "$work/body" || fail "GET / is not the page"
[ "$(header X-Frame-Options)" = DENY ] || fail "the server's own headers did not come through"
[ -n "$(header Strict-Transport-Security)" ] || fail "no Strict-Transport-Security"
# Browsers compile the module while it arrives only when it is application/wasm.
request GET /quorvex.wasm ""
[ "$(status)" = 200 ] && [ "$(header Content-Type)" = application/wasm ] ||
  fail "the module came as $(status) $(header Content-Type)"
location=$(curl -s -o /dev/null -w '%{redirect_url}' "http://localhost:$http_port/api/session")
[ "$location" = "https://localhost/api/session" ] || fail "plain HTTP is sent to $location"

# Login through nginx: the cookie is Secure, for the proxy said https.
login='{"name":"Петров","password":"пароль-123"}'
request POST /api/login "$login" -H "Origin: $origin"
[ "$(status)" = 200 ] || fail "login with the proxied origin gave $(status): $(cat "$work/body")"
cookie=$(header Set-Cookie)
for flag in HttpOnly SameSite=Strict Secure; do
  case "; $cookie;" in *"; $flag;"*) ;; *) fail "the session cookie lacks $flag: $cookie" ;; esac
done
session=${cookie%%;*}
csrf=$(sed -n 's/.*"csrf":"\([0-9a-f]*\)".*/\1/p' "$work/body")
[ -n "$csrf" ] || fail "the login's answer has no key: $(cat "$work/body")"

# Changes: the proxied origin and the key work, over HTTP/1.1 and HTTP/2
# as browsers speak; another origin, or the same host over http, is refused.
sync='{"cursor":0,"cards":[],"entries":[]}'
for version in --http1.1 --http2; do
  request POST /api/sync "$sync" $version -H "Cookie: $session" -H "Origin: $origin" \
    -H "X-Quorvex-Token: $csrf"
  [ "$(status)" = 200 ] || fail "sync ($version) with the proxied origin gave $(status): $(cat "$work/body")"
done
for foreign in https://evil.example "http://localhost:$port" https://localhost; do
  request POST /api/sync "$sync" -H "Cookie: $session" -H "Origin: $foreign" \
    -H "X-Quorvex-Token: $csrf"
  [ "$(status)" = 403 ] || fail "sync from $foreign gave $(status)"
  grep -q 'чужой источник' "$work/body" || fail "sync from $foreign: $(cat "$work/body")"
done
request POST /api/sync "$sync" -H "Cookie: $session" -H "Origin: $origin"
[ "$(status)" = 403 ] || fail "sync without the key gave $(status)"
# A sync of many entries reaches the server, however large nginx's own
# default would find it (the server answers, whatever it makes of it).
{
  printf '{"cursor":0,"cards":[],"entries":[],"pad":"'
  head -c 3000000 /dev/zero | tr '\0' x
  printf '"}'
} >"$work/large.json"
request POST /api/sync "@$work/large.json" -H "Cookie: $session" -H "Origin: $origin" \
  -H "X-Quorvex-Token: $csrf"
case "$(status)" in 2?? | 400) ;; *) fail "a 3 MB sync gave $(status)" ;; esac

# The login limit counts the address nginx saw, which the server gets in
# X-Forwarded-For: five failures from 127.0.0.2 (each a different name, so
# no name reaches the limit) lock that address, whatever it claims, and
# not 127.0.0.3, though to the server both come from nginx's 127.0.0.1.
for n in 1 2 3 4 5; do
  request POST /api/login "{\"name\":\"Никто$n\",\"password\":\"неверный-пароль\"}" \
    --interface 127.0.0.2 -H "Origin: $origin"
  [ "$(status)" = 401 ] || fail "failure $n from 127.0.0.2 gave $(status)"
done
request POST /api/login "$login" --interface 127.0.0.2 -H "X-Forwarded-For: 10.9.8.7" \
  -H "Origin: $origin"
[ "$(status)" = 429 ] || fail "127.0.0.2 claiming another address was not held back: $(status)"
[ -n "$(header Retry-After)" ] || fail "the 429 has no Retry-After"
request POST /api/login "$login" --interface 127.0.0.3 -H "Origin: $origin"
[ "$(status)" = 200 ] || fail "127.0.0.3 was held back by 127.0.0.2's failures: $(status)"
request GET "/api/audit?limit=20" "" -H "Cookie: $session"
grep -q 'адрес 127.0.0.2, на ' "$work/body" || fail "the audit does not name 127.0.0.2's lockout"

grep -q 'пароль-123' "$work/server.err" "$work/access.log" && fail "a password in a log"

[ "$failures" -eq 0 ] || { echo "server log:"; cat "$work/server.err"; exit 1; }
echo "nginx in front of quorvex-server: every check passed"
