#!/usr/bin/env bash
# A throwaway PostgreSQL server for the score server tests, in one folder, on a
# unix socket in that folder only (no TCP port), run as an unprivileged user
# when the tests run as root.
#   scratch-postgres.sh start FOLDER [durable]
#       the database is postgresql://scoreserver@/scoreserver_tests?host=FOLDER;
#       "durable" keeps PostgreSQL's flushes to the disk (for measuring), which
#       the tests do without
#   scratch-postgres.sh stop FOLDER    stops it and removes the folder
set -euo pipefail
action=${1:?start or stop}
folder=${2:?folder}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] || { echo "PostgreSQL is missing: apt-get install postgresql" >&2; exit 1; }

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}

stop() {
  if [ -f "$folder/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate -w -t 20 stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
}

case "$action" in
start)
  stop # whatever an interrupted run left behind
  mkdir -p "$folder"
  [ "$(id -u)" -eq 0 ] && chown nobody "$folder"
  as_owner "$bin/initdb" -D "$folder/data" -A trust -U scoreserver --no-sync -E UTF8 >"$folder/initdb.log" 2>&1 ||
    { cat "$folder/initdb.log" >&2; exit 1; }
  options="-c listen_addresses='' -k $folder -c max_connections=40"
  # Without flushes for the tests: a scratch database that dies with the test run anyway.
  [ "${3:-}" = durable ] || options+=" -c fsync=off -c full_page_writes=off"
  as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 30 -o "$options" \
    start >/dev/null || { cat "$folder/server.log" >&2; exit 1; }
  as_owner "$bin/createdb" -h "$folder" -U scoreserver scoreserver_tests
  ;;
stop)
  stop
  ;;
*)
  echo "usage: $0 start|stop FOLDER" >&2
  exit 2
  ;;
esac
