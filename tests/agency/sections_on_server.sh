#!/bin/bash
# Section polygons loaded into the agency database answer str first; a point
# no polygon holds gets the answer of this desk's section databases.
#   sections_on_server.sh BUILD_DIR SOURCE_DIR   (run through with_cluster.sh)
set -euo pipefail
bin=$1/bin
polygons=$2/tests/data/plss/two_sections.geojson
fail() { echo "FAIL: $*" >&2; exit 1; }

"$bin/waypost-plss-build" "$polygons" --key-field TRS --output "PG:$WAYPOST_TEST_PG" 2>/dev/null
[ "$(psql -X -Atc "SELECT count(*), bool_and(ST_IsValid(geom)), min(acres) > 500 FROM plss_sections" "$WAYPOST_TEST_PG")" = "2|t|t" ] ||
  fail "the sections were not loaded whole"
psql -X -Atc "SELECT indexdef FROM pg_indexes WHERE tablename = 'plss_sections'" "$WAYPOST_TEST_PG" | grep -qi gist ||
  fail "no spatial index"

got=$("$bin/waypost-convert" str --database "$WAYPOST_TEST_PG" 30.505 -84.245)
[[ $got == "T01N R01E S01 "*" of the "* ]] || fail "inside the first polygon: $got"
# In the hole of the second polygon no polygon holds the point.
hole=$("$bin/waypost-convert" str --database "$WAYPOST_TEST_PG" 30.5075 -84.2575)
[ "$hole" = "$("$bin/waypost-convert" str 30.5075 -84.2575)" ] || fail "in the hole: $hole"
[[ $("$bin/waypost-convert" str --database "$WAYPOST_TEST_PG" 30.502 -84.265) == "T01N R01E S02 "* ]] ||
  fail "inside the second polygon"
outside=$("$bin/waypost-convert" str --database "$WAYPOST_TEST_PG" 30.41 -84.26)
[ "$outside" = "$("$bin/waypost-convert" str 30.41 -84.26)" ] || fail "outside both: $outside"

if "$bin/waypost-convert" str --database "host=/nonexistent dbname=agency" 30 -84 >/dev/null 2>"$TMPDIR/err.txt"; then
  fail "an unreachable server was taken"
fi
grep -q "not reachable" "$TMPDIR/err.txt" || fail "no reason given: $(cat "$TMPDIR/err.txt")"
echo "sections on the server: ok"
