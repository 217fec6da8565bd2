#!/usr/bin/env bash
# Debian's own checks on a built package, then its programs run from a scratch root without a display.
# Usage: tests/package/check_package.sh quorvex_<version>_<arch>.deb
set -euo pipefail
deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "package check failed: $*" >&2; exit 1; }

echo "lintian (errors fail, warnings are listed):"
lintian --fail-on error --tag-display-limit 0 "$deb"
dpkg-deb -x "$deb" "$root"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$root"/usr/share/applications/quorvex.desktop
for page in "$root"/usr/share/man/man1/quorvex{,-record,-deck}.1.gz; do
    warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
version=$("${no_display[@]}" "$root"/usr/bin/quorvex --version)
[ "$version" = "quorvex $(dpkg-deb -f "$deb" Version)" ] || fail "quorvex --version said '$version'"
"${no_display[@]}" "$root"/usr/bin/quorvex --help | grep -q '^Usage: quorvex' || fail "quorvex --help"
[ "$("${no_display[@]}" "$root"/usr/bin/quorvex-record --version)" = "quorvex-record $(dpkg-deb -f "$deb" Version)" ] ||
    fail "quorvex-record --version"
# The command line records without a display: it links neither Qt GUI nor Qt Widgets.
! ldd "$root"/usr/bin/quorvex-record | grep -E 'libQt6(Gui|Widgets)' || fail "quorvex-record links Qt GUI"
# A case insert from a disc record, without a display; the package recommends the CJK font it prints with.
printf '#EXTM3U\n#QUORVEX-DISC:Packaged\n#QUORVEX-RUN:2026-12-10T09:00:00Z\n#QUORVEX-TRACK:1 recorded\n#EXTINF:61,Only\nonly.flac\n' \
    >"$root/disc.m3u8"
"${no_display[@]}" "$root"/usr/bin/quorvex --insert "$root/insert.pdf" "$root/disc.m3u8" 2>/dev/null &&
    [ "$(head -c 5 "$root/insert.pdf")" = "%PDF-" ] || fail "quorvex --insert"
dpkg-deb -f "$deb" Recommends | grep -q fonts-noto-cjk || fail "no Recommends: fonts-noto-cjk"
# Japanese titles: MeCab's library as the shared libraries' search found it, and its dictionary named.
dpkg-deb -f "$deb" Depends | grep -q 'libmecab2.*mecab-ipadic-utf8\|mecab-ipadic-utf8.*libmecab2' ||
    fail "Depends lacks libmecab2 or mecab-ipadic-utf8"
"${no_display[@]}" "$root"/usr/bin/quorvex-deck --help | grep -q -- '--tracks' || fail "quorvex-deck --help"
echo "package checks passed: $deb"
