#!/bin/sh
# Regenerates every editor image from its SVG source:
#   resources/art/NAME.svg  ->  resources/NAME.png   for each line of images.list
#   resources/art/NAME.svg  ->  resources/NAME@2x.png at twice the size
#   (any NAME@Kx.png in the list is rendered at K times the size)
# Needs rsvg-convert (librsvg2-bin), ImageMagick and the DejaVu fonts.
# Opaque pictures are written as 8-bit RGB, the others as 8-bit RGBA,
# without time stamps, so that an unchanged source gives identical bytes.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

grep -v '^[[:space:]]*\(#\|$\)' "$here/images.list" | while read -r number file; do
    name=${file%.png}
    zoom=1
    case $name in
        *@[0-9]x) zoom=${name##*@}; zoom=${zoom%x}; name=${name%@*} ;;
    esac
    rsvg-convert --zoom "$zoom" --stylesheet "$here/art/theme.css" "$here/art/$name.svg" -o "$tmp/$file"
    if [ "$(identify -format '%[opaque]' "$tmp/$file" | tr A-Z a-z)" = "true" ]; then
        kind=PNG24
    else
        kind=PNG32
    fi
    convert "$tmp/$file" -strip \
        -define png:compression-level=9 -define png:compression-filter=5 \
        -define png:exclude-chunks=date,time \
        "$kind:$here/$file"
    echo "$number $file $(identify -format '%wx%h' "$here/$file") $(wc -c < "$here/$file") bytes"
done
