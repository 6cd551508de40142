#!/bin/sh
# usage: test_package.sh CPACK BUILD_DIR HARDENED(1|0)
set -eu
cpack=$1 build=$2 hardened=$3
for tool in dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli update-mime-database groff lintian; do
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
dpkg-deb -f "$deb" Maintainer | grep -q '^[^<]* <[^@ ]*@[^> ]*>$' || fail "Maintainer has no address"
# Debian's own checker: an error or a warning fails; info and pedantic notes are shown.
lintian_rc=0
lintian --fail-on error,warning -I --pedantic "$deb" >"$tmp/lintian.log" 2>&1 || lintian_rc=$?
grep -v "running with root privileges" "$tmp/lintian.log" || true
[ "$lintian_rc" -eq 0 ] || fail "lintian"
# Missing hardening is only a pedantic note to lintian; here it fails, but
# for a build made without the flags (Debug, the sanitizer build).
[ "$hardened" = 0 ] || ! grep "hardening-" "$tmp/lintian.log" || fail "programs built without the hardening flags"

# As root, and unless the package is already installed here, install it for
# real (dependencies resolved by apt) and remove it at the end; otherwise
# unpack it. A lock keeps two build trees from installing at once.
id=org.kqserial.kqprogrammer
installed=""
if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W -f='${Status}' kqprogrammer 2>/dev/null | grep -q "ok installed"; then
    exec 9>/tmp/kqprogrammer-package-test.lock
    flock 9
    trap 'apt-get remove -y -q kqprogrammer >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=60 \
        "$deb" >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; fail "apt-get install"; }
    installed=yes
    usr=/usr
else
    usr=$tmp/root/usr
fi
dpkg -x "$deb" "$tmp/root"   # the metadata's checks look at the package's own tree
[ -n "$installed" ] || usr=$(cd "$usr" && pwd -P)
# Every file the package lists is where it says.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\.\/usr\//, "", $6); print $6}' >"$tmp/files"
while read -r f; do [ -f "$usr/$f" ] || fail "$f is not installed"; done <"$tmp/files"
for f in bin/kqprogrammer bin/kqtool bin/kqradio share/kqprogrammer/KQreadme.txt \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/mime/packages/kqprogrammer.xml \
         share/man/man1/kqprogrammer.1.gz share/man/man1/kqtool.1.gz share/man/man1/kqradio.1.gz \
         share/doc/kqprogrammer/copyright share/doc/kqprogrammer/changelog.gz share/doc/kqprogrammer/LICENSE \
         share/doc/kqprogrammer/README.md share/doc/kqprogrammer/guide.md \
         share/bash-completion/completions/kqtool share/bash-completion/completions/kqradio; do
    grep -qx "$f" "$tmp/files" || fail "$f is not in the package"
done
for size in 48 128 256; do
    file -b "$usr/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
        fail "$size px icon"
done
# Pictures the installed documents show are installed beside them.
for doc in README.md guide.md; do
    for img in $(grep -o '](\(images/\)*[a-z-]*\.png)' "$usr/share/doc/kqprogrammer/$doc" | sed 's/^](//; s/)$//'); do
        [ -f "$usr/share/doc/kqprogrammer/$img" ] || fail "$doc shows $img, which is not installed"
    done
done
# The release the metadata names is the package's.
version=$(dpkg-deb -f "$deb" Version)
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "metadata release is not $version"

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
# Installed for real, dpkg's trigger has updated the system's file types.
if [ -z "$installed" ]; then
    update-mime-database "$usr/share/mime" >"$tmp/mime.log" 2>&1 || { cat "$tmp/mime.log"; fail "mime type"; }
fi
grep -qx "50:application/x-kq-channels:\*.kq" "$usr/share/mime/globs2" || fail "*.kq not mapped"
for page in kqprogrammer kqtool kqradio; do
    warn=$(gzip -dc "$usr/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warn" ] || fail "$page.1: $warn"
    # Made from the program's --help: its first option is in the page.
    opt=$(QT_QPA_PLATFORM=none "$usr/bin/$page" --help | grep -o -m1 -- '--[a-z][a-z-]*' | head -n1)
    gzip -dc "$usr/share/man/man1/$page.1.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g' | grep -q -- "$opt" ||
        fail "$page.1 lacks $opt"
done
if [ -n "$installed" ]; then
    apt-get remove -y -q kqprogrammer >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; fail "apt-get remove"; }
    [ ! -e /usr/bin/kqtool ] || fail "kqtool left behind by apt-get remove"
fi
echo "package $(basename "$deb"): $(wc -c <"$deb") bytes, all checks passed"
