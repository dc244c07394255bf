#!/usr/bin/env bash
# The .deb for every desk: built with cpack from this build, it holds what an
# installed Waypost needs, lintian finds no error in it, the programs run from
# it with its own data, and the manual pages name every command --help names.
set -euo pipefail
build=$1
source_dir=$2
cd "$build"
rm -rf package
cpack -G DEB >/dev/null
deb=$(ls package/waypost_*_*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/waypost ./usr/bin/waypost-convert ./usr/bin/waypost-plss-build \
            ./usr/share/applications/waypost.desktop ./usr/share/icons/hicolor/256x256/apps/waypost.png \
            ./usr/share/metainfo/org.waypost.Waypost.metainfo.xml ./usr/share/doc/waypost/copyright \
            ./usr/share/man/man1/waypost.1.gz ./usr/share/man/man1/waypost-convert.1.gz \
            ./usr/share/man/man1/waypost-plss-build.1.gz ./usr/share/waypost/templates/kml_template3.txt \
            ./usr/share/waypost/fl_albers.prj ./usr/share/waypost/databases/PLSS_2010_LL.sqlite \
            ./usr/share/waypost/databases/zipcode2.sqlite; do
    grep -qxF "$path" <<<"$contents" || { echo "the package lacks $path"; exit 1; }
done
dpkg-deb -f "$deb" Depends | grep -q libgdal || { echo "the package does not depend on GDAL"; exit 1; }

# lintian as root says so on standard error; only its findings matter.
if command -v lintian >/dev/null; then
    lintian --fail-on error --suppress-tags spelling-error-in-binary "$deb" 2>/dev/null
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
[[ $("$root/usr/bin/waypost-convert" usng 30.4383 -84.2807) == "16R GU 61158 70495" ]] || { echo "waypost-convert usng"; exit 1; }
# The section look-up finds the packaged databases beside the program.
[[ $("$root/usr/bin/waypost-convert" str 30.41 -84.26) == T01S* ]] || { echo "waypost-convert str"; exit 1; }

# Every command and option of the help has its place in the manual page.
for word in $("$root/usr/bin/waypost-convert" --help | sed -n '/^Commands:/,/^Values:/p' | grep -oE '^  [a-z]+ ' | sort -u) \
            --databases --shapefile --points --parts --north --south --west --east; do
    zcat "$root/usr/share/man/man1/waypost-convert.1.gz" | sed 's/\\-/-/g' | grep -q -- "$word" ||
        { echo "waypost-convert.1 does not name $word"; exit 1; }
done
for option in $("$root/usr/bin/waypost-plss-build" --help 2>&1 | grep -oE -- '--[a-z-]+' | sort -u); do
    zcat "$root/usr/share/man/man1/waypost-plss-build.1.gz" | sed 's/\\-/-/g' | grep -q -- "$option" ||
        { echo "waypost-plss-build.1 does not name $option"; exit 1; }
done
echo "package ok: $deb"
