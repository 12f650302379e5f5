#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, reachable only through a Unix
# socket inside its own folder (no TCP, so the port never clashes).
#   pgserver.sh start DIR SCHEMA.sql   initdb into DIR/data, start, create database
#                                      "rates" owned by user "quoteria", load SCHEMA
#   pgserver.sh stop DIR               stop the server (nothing when none runs)
# Connect with host=DIR, port 5432, user quoteria, no password.
set -euo pipefail
cmd="${1:?start|stop}"
dir="${2:?folder}"
port=5432
user=quoteria
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "no PostgreSQL server under /usr/lib/postgresql/*/bin (package postgresql)" >&2
  exit 2
fi
# The server refuses to run as root: run it as postgres then.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$cmd" in
start)
  schema="${3:?schema file}"
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  chmod 700 "$dir"
  as_owner "$bin/initdb" -D "$dir/data" -U "$user" -A trust -E UTF8 --no-sync \
    >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
  as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
    -o "-c listen_addresses='' -k '$dir' -p $port -c fsync=off" start >/dev/null \
    || { cat "$dir/server.log" >&2; exit 1; }
  # From here on a failure must not leave the server running.
  trap 'as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true' EXIT
  as_owner "$bin/createdb" -h "$dir" -p "$port" -U "$user" rates
  # The schema is read by this shell: the server's user may not see the source tree.
  as_owner "$bin/psql" -h "$dir" -p "$port" -U "$user" -d rates -q -v ON_ERROR_STOP=1 \
    -f - <"$schema" >/dev/null
  trap - EXIT
  ;;
stop)
  [ -f "$dir/data/postmaster.pid" ] || exit 0
  as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null
  ;;
*)
  echo "unknown command $cmd" >&2
  exit 2
  ;;
esac
