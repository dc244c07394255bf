#!/bin/bash
# Runs a command against a throwaway PostgreSQL cluster: made in a temporary
# folder, listening only on a Unix socket there, removed afterwards. Never a
# system cluster. As root (as CI runs) the cluster runs as the postgres user.
#
# The command sees WAYPOST_TEST_PG (a libpq connection string of the owner to
# the database "agency", which has PostGIS), WAYPOST_TEST_PG_PLAIN (a database
# without PostGIS) and WAYPOST_TEST_PG_CLERK (a user who may not create tables).
set -euo pipefail

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -x "$bin/initdb" ] || { echo "PostgreSQL server programs are not installed" >&2; exit 1; }
dir=$(mktemp -d /tmp/waypost-pg.XXXXXX)
chmod 755 "$dir"
as=()
if [ "$(id -u)" = 0 ]; then
  chown postgres: "$dir"
  as=(runuser -u postgres --)
fi
password=owner-$RANDOM$RANDOM
printf '%s\n' "$password" > "$dir/pw"
chmod 644 "$dir/pw"
port=$((20000 + RANDOM % 20000))

stop() {
  "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap stop EXIT

"${as[@]}" "$bin/initdb" -D "$dir/data" -U waypost --pwfile="$dir/pw" -A scram-sha-256 >/dev/null
"${as[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w \
  -o "-c listen_addresses='' -k $dir -p $port -c fsync=off" start >/dev/null

export PGPASSWORD=$password
psql=("$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -p "$port" -U waypost)
"${psql[@]}" -d postgres -c "CREATE DATABASE agency" -c "CREATE DATABASE plain" \
  -c "CREATE ROLE clerk LOGIN PASSWORD 'clerk-pw'"
"${psql[@]}" -d agency -c "CREATE EXTENSION postgis" -c "GRANT USAGE ON SCHEMA public TO clerk"
unset PGPASSWORD

export WAYPOST_TEST_PG="host=$dir port=$port dbname=agency user=waypost password=$password"
export WAYPOST_TEST_PG_PLAIN="host=$dir port=$port dbname=plain user=waypost password=$password"
export WAYPOST_TEST_PG_CLERK="host=$dir port=$port dbname=agency user=clerk password=clerk-pw"
"$@"
