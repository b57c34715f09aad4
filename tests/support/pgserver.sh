#!/usr/bin/env bash
# A private PostgreSQL server for the tests: `pgserver.sh start DIR` makes a
# new cluster in DIR (initdb), reachable only through the socket in DIR on
# port 5432 (no TCP), and starts it; `pgserver.sh stop DIR` stops it and
# removes DIR. As root the server runs as the unprivileged user "nobody"
# (PostgreSQL refuses to run as root). Without the server binaries, DIR
# gets the file ABSENT and the server tests report themselves skipped.
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder}
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)

as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

stop_server() {
  if [ -n "$bindir" ] && [ -f "$dir/data/postmaster.pid" ]; then
    as_server_user "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
}

case "$cmd" in
start)
  stop_server
  rm -rf "$dir"
  mkdir -p "$dir"
  if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo "postgresql server binaries are not installed (scripts/install-deps.sh installs them)" | tee "$dir/ABSENT"
    exit 0
  fi
  if [ "$(id -u)" -eq 0 ]; then chown nobody "$dir"; fi
  chmod 700 "$dir"
  as_server_user "$bindir/initdb" -D "$dir/data" -U corvelle -A trust -E UTF8 --no-locale --no-sync >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log"; exit 1; }
  # Throw-away data: no fsync, nothing on TCP, the socket in DIR.
  as_server_user "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-k $dir -c listen_addresses= -p 5432 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=50" \
    start >/dev/null || { cat "$dir/server.log"; exit 1; }
  chmod 755 "$dir"
  echo "PostgreSQL test server running in $dir"
  ;;
stop)
  stop_server
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
