#!/bin/bash
# Installs the build into a temporary prefix, builds the Debian package and unpacks it, and
# starts the installed program from both. Usage: install_test.sh <build dir>
set -euo pipefail
build=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

check_tree() { # <root of an installed /usr-like tree>
    local root=$1
    for f in bin/chronark bin/chronark-cli lib/chronark/chronark lib/chronark/libinfopane.so \
        lib/chronark/export/export.ini lib/chronark/export/JSON/item.txt \
        lib/chronark/librevwatch.so share/applications/chronark.desktop \
        share/mime/packages/chronark.xml share/icons/hicolor/scalable/apps/chronark.svg \
        share/icons/hicolor/48x48/apps/chronark.png; do
        [ -e "$root/$f" ] || fail "missing $f under $root"
    done
    [ -L "$root/bin/chronark" ] || fail "bin/chronark is no link"
    grep -q '^MimeType=application/x-chronark+xml;$' "$root/share/applications/chronark.desktop" ||
        fail "the desktop entry does not claim the document type"
    grep -q '<glob pattern="\*.ckx"/>' "$root/share/mime/packages/chronark.xml" ||
        fail "the MIME type does not name *.ckx"
    if command -v xmllint >/dev/null; then
        xmllint --noout "$root/share/mime/packages/chronark.xml"
    fi
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$root/share/applications/chronark.desktop"
    fi
    # The command-line tool finds the profiles installed beside it.
    "$root/bin/chronark-cli" export "$source_dir/examples/Beispiel.ckx" --profile CSV \
        --output "$work/out.csv" || fail "the installed chronark-cli could not export"
    cmp -s "$work/out.csv" "$source_dir/tests/data/export/Beispiel.CSV.golden" ||
        fail "the installed export differs from the golden file"
    local version
    version=$("$root/bin/chronark" --version)
    [[ $version == Chronark\ * ]] || fail "--version answered '$version'"
    # Started offscreen over a document with settings of its own, it opens it and stays up.
    mkdir -p "$work/home"
    cp "$source_dir/examples/Beispiel.ckx" "$work/doc.ckx"
    XDG_CONFIG_HOME="$work/home" QT_QPA_PLATFORM=offscreen "$root/bin/chronark" "$work/doc.ckx" &
    local pid=$!
    for _ in $(seq 50); do
        [ -e "$work/doc.ckx.lock" ] && break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null || fail "the installed program ended early"
    [ -e "$work/doc.ckx.lock" ] || fail "the installed program did not open the document"
    kill "$pid"
    wait "$pid" || true
    rm -f "$work/doc.ckx.lock"
}

cmake --install "$build" --prefix "$work/prefix" >/dev/null
check_tree "$work/prefix"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null)
deb=$(ls "$work"/pkg/*.deb)
[ -n "$deb" ] || fail "no package built"
if command -v dpkg-deb >/dev/null; then
    [ "$(dpkg-deb --field "$deb" Package)" = chronark ] || fail "package name"
    # One version: the package's is the program's, written as Debian writes it.
    shown="" packaged="" expected=""
    shown=$("$build/bin/chronark" --version)
    shown=${shown#Chronark }
    packaged=$(dpkg-deb --field "$deb" Version)
    expected=$(echo "$shown" | tr '[:upper:]' '[:lower:]' | sed -E 's/ +([a-z]+) */~\1/')
    [ "$packaged" = "$expected" ] || fail "package version '$packaged' for program version '$shown'"
    dpkg-deb -x "$deb" "$work/unpacked"
    check_tree "$work/unpacked/usr"
fi
echo "installed and packaged: $(basename "$deb")"
