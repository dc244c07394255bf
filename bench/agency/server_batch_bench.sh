#!/bin/bash
# The batch run on a server table against the same run on a SQLite table:
# ROWS references converted to latitude and longitude by waypost-convert, each
# timed. Runs its own throwaway cluster (tests/agency/with_cluster.sh).
#   bench/agency/server_batch_bench.sh BUILD_DIR [ROWS]
set -euo pipefail
build=$(cd "$1" && pwd)
rows=${2:-1000000}
here=$(cd "$(dirname "$0")" && pwd)
exec bash "$here/../../tests/agency/with_cluster.sh" bash -c '
  set -euo pipefail
  rows='"$rows"'; convert='"$build"'/bin/waypost-convert
  work=$(mktemp -d); trap "rm -rf $work" EXIT
  psql -X -q "$WAYPOST_TEST_PG" -c "CREATE TABLE calls AS SELECT (ARRAY['\''16R GU 63941 77408'\'','\''17R MK 50392 86534'\'','\''16R FU 12345 67890'\''])[1 + i % 3] AS ref FROM generate_series(1, $rows) AS i"
  sqlite3 "$work/calls.sqlite" "CREATE TABLE calls (ref TEXT); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows) INSERT INTO calls SELECT CASE i % 3 WHEN 0 THEN '\''16R GU 63941 77408'\'' WHEN 1 THEN '\''17R MK 50392 86534'\'' ELSE '\''16R FU 12345 67890'\'' END FROM n;"
  s0=$(date +%s.%N); "$convert" table usng2ll "$work/calls.sqlite" calls ref >/dev/null; s1=$(date +%s.%N)
  "$convert" table usng2ll --database "$WAYPOST_TEST_PG" calls ref >/dev/null; s2=$(date +%s.%N)
  awk -v a="$s0" -v b="$s1" -v c="$s2" -v n="$rows" "BEGIN { printf \"%d rows: SQLite %.2f s, server %.2f s (%.2f times)\n\", n, b - a, c - b, (c - b) / (b - a) }"
'
