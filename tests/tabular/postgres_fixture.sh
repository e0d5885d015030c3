#!/usr/bin/env bash
# postgres_fixture.sh start|stop DIR: a throwaway PostgreSQL cluster for the
# query dataset's tests.
#
# start makes a cluster in a temporary folder (PostgreSQL refuses to run as
# root: as root, the folder belongs to the postgres user and the server runs
# as that user), starts it on a free port of 127.0.0.1 with its socket in
# that folder, makes the database "tallyquery" for the user "tally" and
# writes its connection string to DIR/url. stop ends the server and removes
# both folders. No system service is involved.
set -euo pipefail
action=$1
dir=$2

as_owner() {
  if [[ $(id -u) == 0 ]]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

stop() {
  if [[ -f $dir/cluster ]]; then
    cluster=$(cat "$dir/cluster")
    if [[ -f $cluster/data/postmaster.pid ]]; then
      as_owner "$bin/pg_ctl" -D "$cluster/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$cluster"
  fi
  rm -rf "$dir"
}

# Says why, shows the server's log and leaves nothing running.
fail() {
  echo "postgres fixture: $*" >&2
  if [[ -f ${cluster:-/nonexistent}/log ]]; then tail -n 20 "$cluster/log" >&2; fi
  stop
  exit 1
}

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)

case $action in
stop)
  stop
  exit 0
  ;;
start) ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac

stop
mkdir -p "$dir"
[[ -n $bin && -x $bin/initdb && -x $bin/pg_ctl ]] ||
  fail "PostgreSQL server programs are missing (scripts/install-deps.sh installs postgresql)"
[[ -f /usr/lib/x86_64-linux-gnu/qt6/plugins/sqldrivers/libqsqlpsql.so ]] ||
  compgen -G "/usr/lib/*/qt6/plugins/sqldrivers/libqsqlpsql.so" >/dev/null ||
  fail "Qt's PostgreSQL driver is missing (scripts/install-deps.sh installs libqt6sql6-psql)"
if [[ $(id -u) == 0 ]]; then
  id postgres >/dev/null 2>&1 || fail "no postgres user to run the server as"
fi

cluster=$(mktemp -d /tmp/tally-pg.XXXXXX)
echo "$cluster" >"$dir/cluster"
[[ $(id -u) == 0 ]] && chown postgres: "$cluster"
chmod 700 "$cluster"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

as_owner "$bin/initdb" -D "$cluster/data" -U tally -A trust -E UTF8 --locale=C.UTF-8 --no-sync \
  >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; fail "initdb failed"; }
as_owner "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/log" -w -t 60 \
  -o "-p $port -k $cluster -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null ||
  fail "the server did not start on port $port"
as_owner "$bin/createdb" -h 127.0.0.1 -p "$port" -U tally tallyquery ||
  fail "createdb failed"
echo "postgresql://tally@127.0.0.1:$port/tallyquery" >"$dir/url"
echo "postgres fixture: $("$bin/postgres" --version) on port $port"
