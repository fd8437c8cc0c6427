#!/usr/bin/env bash
# Builds the Debian package of the build folder given into a folder of its own and checks what
# it holds: the program, its symbol font, translations, desktop entry, document type, icons,
# AppStream metainfo and manual page, and dependencies read from the binary (Qt among them)
# beside those named for what the program loads at run time.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/qanoredit_*_amd64.deb)
version=$(sed -n 's/.*kVersion = "\(.*\)".*/\1/p' "$build/generated/base/version.h")
[ "$(basename "$deb")" = "qanoredit_${version}_amd64.deb" ] || { echo "package named $(basename "$deb")"; exit 1; }

fail=0
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/qanoredit \
         ./usr/share/qanoredit/fonts/QanorEditSymbol.ttf \
         ./usr/share/qanoredit/translations/qanoredit_en.qm \
         ./usr/share/applications/qanoredit.desktop \
         ./usr/share/mime/packages/qanoredit.xml \
         ./usr/share/icons/hicolor/scalable/apps/qanoredit.svg \
         ./usr/share/metainfo/io.qanor.qanoredit.metainfo.xml \
         ./usr/share/man/man1/qanoredit.1.gz; do
    grep -qx -- "$f" <<<"$files" || { echo "missing from the package: $f"; fail=1; }
done
# Nothing outside /usr: removing the package leaves nothing behind.
if grep -v '^\./usr' <<<"$files" | grep -qv '^\./$'; then
    echo "files outside /usr:"; grep -v '^\./usr' <<<"$files"; fail=1
fi

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = qanoredit ] || { echo "Package: $(field Package)"; fail=1; }
[ "$(field Version)" = "$version" ] || { echo "Version: $(field Version)"; fail=1; }
[ "$(field Architecture)" = amd64 ] || { echo "Architecture: $(field Architecture)"; fail=1; }
depends=$(field Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libfluidsynth3 libc6 soundfont fonts-; do
    grep -q -- "$lib" <<<"$depends" || { echo "Depends lacks $lib: $depends"; fail=1; }
done

# The metainfo passes AppStream's own check.
if command -v appstreamcli >/dev/null; then
    dpkg-deb -x "$deb" "$out/root"
    appstreamcli validate --no-net "$out/root/usr/share/metainfo/io.qanor.qanoredit.metainfo.xml" \
        >/dev/null || { echo "appstreamcli rejects the metainfo"; fail=1; }
fi
exit $fail
