#!/bin/sh
# usage: test_package.sh CPACK BUILD_DIR
set -eu
cpack=$1 build=$2
for tool in dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli update-mime-database groff; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (./build.sh package installs it)"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB -B "$tmp/out" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/out/kqprogrammer_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6serialport6 || fail "library dependencies not declared"
dpkg-deb -f "$deb" Recommends | grep -q fonts-liberation2 || fail "font not recommended"
dpkg -x "$deb" "$tmp/root"
usr=$(cd "$tmp/root/usr" && pwd -P)
id=org.kqserial.kqprogrammer
for f in bin/kqprogrammer bin/kqtool bin/kqradio share/kqprogrammer/KQreadme.txt \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/mime/packages/kqprogrammer.xml \
         share/man/man1/kqprogrammer.1.gz share/man/man1/kqtool.1.gz share/man/man1/kqradio.1.gz; do
    [ -f "$usr/$f" ] || fail "$f is not in the package"
done

# The installed programs run from the unpacked tree.
"$usr/bin/kqtool" --help | grep -q "kqtool write" || fail "kqtool --help"
"$usr/bin/kqtool" new -o "$tmp/t.KQ" && "$usr/bin/kqtool" show "$tmp/t.KQ" | grep -q "KQ-0453" ||
    fail "kqtool new/show"
# --version must answer without a display: an unknown platform would abort a window.
QT_QPA_PLATFORM=none "$usr/bin/kqprogrammer" --version | grep -q "^kqprogrammer [0-9]" || fail "--version"
# The read-me is found in the installed tree, not beside the program or in the build folder.
readme=$(QT_QPA_PLATFORM=offscreen "$usr/bin/kqprogrammer" --readme-path) || fail "read-me not found: $readme"
[ "$readme" = "$usr/share/kqprogrammer/KQreadme.txt" ] || fail "read-me path $readme"

desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop entry"
grep -q "^MimeType=application/x-kq-channels;" "$usr/share/applications/$id.desktop" || fail "MimeType"
# The tree check also ties the metadata to its desktop entry.
appstreamcli validate-tree --no-net "$tmp/root" || fail "metainfo"
update-mime-database "$usr/share/mime" >"$tmp/mime.log" 2>&1 || { cat "$tmp/mime.log"; fail "mime type"; }
grep -qx "50:application/x-kq-channels:\*.kq" "$usr/share/mime/globs2" || fail "*.kq not mapped"
for page in kqprogrammer kqtool kqradio; do
    warn=$(gzip -dc "$usr/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warn" ] || fail "$page.1: $warn"
done
echo "package $(basename "$deb"): $(wc -c <"$deb") bytes, all checks passed"
