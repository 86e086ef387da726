#!/usr/bin/env bash
# The Debian package: made with CPack from the built tree, its files listed, validated
# (desktop-file-validate, appstreamcli, lintian with no errors), unpacked into a throw-away root and
# its programs run from there: murmelwerk-render renders the same bytes as the build's own, and
# murmelwerk passes the check of its own file (its seal follows the stripping) and starts into its
# main window. Also: the patch file type is recognised by its name and by its first bytes, and the
# manual pages name every option of murmelwerk-render's --help and of the README's table of murmelwerk.
# Usage: check_package.sh BUILD_DIR SOURCE_DIR APPSTREAM_ID
# Exit status 77 (skipped) when the tools are missing (scripts/test installs them).
set -uo pipefail
build=$(realpath "$1")
source_dir=$(realpath "$2")
appstream_id=$3

missing=()
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli update-mime-database gio \
    sha256sum readelf; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
[ -f "$build/CPackConfig.cmake" ] || missing+=("CPackConfig.cmake (scdoc, librsvg2-bin)")
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIPPED: missing ${missing[*]} (scripts/test installs them)"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/murmelwerk-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# ---- the package ----
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    echo "FAILED: cpack" >&2
    exit 1
}
debs=("$work"/out/murmelwerk_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAILED: no single murmelwerk_<version>_<arch>.deb" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Exactly these files, owned by root, programs executable and everything else read-only.
expected=(
    ./usr/bin/murmelwerk
    ./usr/bin/murmelwerk-render
    ./usr/share/applications/murmelwerk.desktop
    ./usr/share/doc/murmelwerk/changelog.gz
    ./usr/share/doc/murmelwerk/copyright
)
for size in 16 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/murmelwerk.png")
done
expected+=(
    ./usr/share/icons/hicolor/scalable/apps/murmelwerk.svg
    ./usr/share/man/man1/murmelwerk-render.1.gz
    ./usr/share/man/man1/murmelwerk.1.gz
    "./usr/share/metainfo/$appstream_id.metainfo.xml"
    ./usr/share/mime/packages/murmelwerk.xml
)
dpkg-deb -c "$deb" >"$work/contents" || fail "dpkg-deb -c"
awk '$6 !~ /\/$/ { print $6 }' "$work/contents" | sort >"$work/files"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
diff -u "$work/expected" "$work/files" >&2 || fail "the package does not hold exactly the expected files"
awk '$2 != "root/root" { print "owner: " $0 }
     $6 ~ /\/$/ && $1 != "drwxr-xr-x" { print "folder mode: " $0 }
     $6 ~ /^\.\/usr\/bin\/./ && $6 !~ /\/$/ && $1 != "-rwxr-xr-x" { print "program mode: " $0 }
     $6 !~ /\/$/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print "file mode: " $0 }' \
    "$work/contents" >"$work/modes"
[ -s "$work/modes" ] && { cat "$work/modes" >&2; fail "owners or modes"; }
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "the computed dependencies lack Qt: $(dpkg-deb -f "$deb" Depends)"

# ---- validators ----
root=$work/root
dpkg -x "$deb" "$root" || fail "dpkg -x"
desktop-file-validate "$root/usr/share/applications/murmelwerk.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$appstream_id.metainfo.xml" || fail "appstreamcli validate"
# Warnings are explained in the README; errors fail.
lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1 | grep -v 'root privileges'
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian reports errors"

# ---- the patch file type ----
mkdir -p "$work/mime-home" && cp -r "$root/usr/share/mime" "$work/mime-home/"
XDG_DATA_HOME=$work/mime-home update-mime-database "$work/mime-home/mime" || fail "update-mime-database"
patch=$(ls "$source_dir"/src/patch/patches/*.mwc | head -n1)
cp "$patch" "$work/by-content"
printf 'not a patch\n' >"$work/by-name.mwc"
for probe in by-content by-name.mwc; do
    type=$(XDG_DATA_HOME=$work/mime-home XDG_DATA_DIRS=/usr/share \
        gio info -a standard::content-type "$work/$probe" 2>&1 | sed -n 's/.*standard::content-type: //p')
    [ "$type" = application/x-murmelwerk-patch ] || fail "$probe is '$type', not application/x-murmelwerk-patch"
done

# ---- the programs from the throw-away root ----
render=$root/usr/bin/murmelwerk-render
version=$("$render" --version) || fail "murmelwerk-render --version"
echo "murmelwerk-render --version: $version"
"$render" --builtin 17 --gesture figure8 --seconds 1 --out "$work/installed.wav" --quiet --no-progress ||
    fail "the installed murmelwerk-render does not render"
"$build/bin/murmelwerk-render" --builtin 17 --gesture figure8 --seconds 1 --out "$work/built.wav" --quiet \
    --no-progress || fail "the built murmelwerk-render does not render"
cmp -s "$work/installed.wav" "$work/built.wav" || fail "the installed program renders other bytes"

# The seal: stripped first (no symbol table, no compiler notes), then "MURMELWERK-SHA256 <hash of the bytes before>\n".
program=$root/usr/bin/murmelwerk
for p in "$program" "$render"; do
    readelf -S "$p" 2>/dev/null | grep -qE '\.symtab|\.comment' && fail "$(basename "$p") is not stripped"
done
size=$(stat -c %s "$program")
trailer=$(tail -c 83 "$program")
hash=$(head -c $((size - 83)) "$program" | sha256sum | cut -d' ' -f1)
[ "$trailer" = "MURMELWERK-SHA256 $hash" ] || fail "murmelwerk's seal does not match its stripped file"
sealed_build=$(tail -c 83 "$build/bin/murmelwerk" | cut -c1-18)
[ "$sealed_build" = "MURMELWERK-SHA256 " ] || fail "the build's murmelwerk is not sealed"

# The program itself: an intact file opens the main window (a damaged one would report string 34 and
# end), and keeps its settings under $XDG_CONFIG_HOME.
source "$source_dir/tests/e2e/x_session.sh"
trap 'xs_stop; rm -rf "$work"' EXIT
x_missing=$(xs_missing)
if [ -n "$x_missing" ]; then
    echo "not started on X (missing $x_missing): the seal was checked above"
else
    xs_start_x
    xs_settled_home "$program"
    [ -f "$XDG_CONFIG_HOME/murmelwerk/murmelwerk.MWS" ] ||
        fail "no settings file $XDG_CONFIG_HOME/murmelwerk/murmelwerk.MWS"
    grep -q 'corrupted' "$XS_LOG" && fail "the installed program reports its file as damaged"
    echo "the installed murmelwerk started into its main window and ended"
fi

# ---- the manual pages: murmelwerk-render's names every option of its --help ... ----
"$render" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u >"$work/help-options"
while read -r option; do
    grep -qF -- "*$option*" "$source_dir/packaging/murmelwerk-render.1.scd" ||
        fail "murmelwerk-render(1) does not describe $option"
done <"$work/help-options"

# ... and the page of murmelwerk every start-up option of the README's table.
grep -oE '^\| `-[A-Za-z]+' "$source_dir/README.md" | cut -c4- | sort -u >"$work/readme-options"
[ -s "$work/readme-options" ] || fail "no start-up options found in the README"
while read -r option; do
    grep -qF -- "*$option*" "$source_dir/packaging/murmelwerk.1.scd" || fail "murmelwerk(1) does not describe $option"
done <"$work/readme-options"

[ "$failures" -eq 0 ] || exit 1
echo "PASS: the package"
