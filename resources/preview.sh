#!/bin/bash
# Composes the whole editor from the rendered PNGs, to judge the artwork:
# every picture at its place in the layout, the knob faces over sample value
# arcs with their rotated pointer dots, the value labels and the readout.
#   resources/preview.sh [OUT.png]      (default: /tmp/thrumwell-preview.png)
# The result shows Synthesizer mode (left) beside Generator mode (right).
# This is an approximation for design work (ImageMagick draws the arcs and
# the text), not the editor's own renderer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-/tmp/thrumwell-preview.png}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

sans=Liberation-Sans      # stands in for "Arial"
verdana=DejaVu-Sans       # stands in for "Verdana"
label_fill='rgba(255,255,255,0.784)'

convert "$here/knob.png"  -crop 84x84+84+0 +repage "$tmp/face-large.png"
convert "$here/knob.png"  -crop 84x84+0+0  +repage "$tmp/dot-large.png"
convert "$here/knob2.png" -crop 64x64+64+0 +repage "$tmp/face-small.png"
convert "$here/knob2.png" -crop 64x64+0+0  +repage "$tmp/dot-small.png"

args=()

# text TEXT LEFT TOP RIGHT FONT SIZE FILL: top-aligned, centred in LEFT..RIGHT
text() {
    local w
    w=$(convert -font "$5" -pointsize "$6" label:"$1" -format '%w' info:)
    args+=( -font "$5" -pointsize "$6" -fill "$7" -gravity NorthWest
            -annotate "+$(( ($2 + $4 - w) / 2 ))+$3" "$1" )
}

# knob SIZE CX CY VALUE COLOUR LABEL: arc, face, rotated dot and value label,
# with SIZE large (radius 33, thickness 6.3) or small (25, 5)
knob() {
    local size=$1 cx=$2 cy=$3 v=$4 colour=$5 label=$6 r t half
    if [ "$size" = large ]; then r=33; t=6.3; half=42; else r=25; t=5; half=32; fi
    local geo
    geo=$(awk -v cx="$cx" -v cy="$cy" -v v="$v" -v r="$r" -v t="$t" 'BEGIN {
        pi = atan2(0, -1); R = int(r + t + 0.5); m = 2
        left = int(cx - m - (r + t) - 1 + 0.5); top = int(cy - m - (r + t) + 0.5)
        right = int(cx + m + (r + t) + 1 + 0.5); bottom = int(cy + m + (r + t) + 0.5)
        x = left + m + R; y = top + m + R
        a0 = -(300 - 6) * pi / 360; a1 = (300 + (v - 1) * 6) * pi * (v - 0.5) * 2 / 360
        rm = r + t / 2
        large = (a1 - a0 > pi) ? 1 : 0
        printf "%d %d %d %d %d %.3f %.3f %.3f %.3f %d %.3f %d\n", x, y, left, right, top,
            x + rm * sin(a0), y - rm * cos(a0), x + rm * sin(a1), y - rm * cos(a1), large,
            (300 * v - 150), int((top + bottom) / 2.0 - 4 - 7 + 0.5) }')
    set -- $geo
    local x=$1 y=$2 left=$3 right=$4 sx=$6 sy=$7 ex=$8 ey=$9 large=${10} angle=${11} ltop=${12}
    if awk -v v="$v" 'BEGIN { exit !(v > 0.001) }'; then
        local rm
        rm=$(awk -v r="$r" -v t="$t" 'BEGIN { print r + t / 2 }')
        args+=( -fill none -stroke "$colour" -strokewidth "$t"
                -draw "path 'M $sx,$sy A $rm,$rm 0 $large 1 $ex,$ey'" -stroke none )
    fi
    args+=( "$tmp/face-$size.png" -gravity NorthWest -geometry "+$((x - half))+$((y - half))" -composite )
    convert "$tmp/dot-$size.png" -background none -virtual-pixel transparent \
        -distort SRT "$half.5,$half.5 $angle" "$tmp/dot-$size-$cx-$cy.png"
    args+=( "$tmp/dot-$size-$cx-$cy.png" -geometry "+$((x - half))+$((y - half))" -composite )
    text "$label" "$left" "$ltop" "$right" "$sans" 15 "$label_fill"
}

place() { args+=( "$1" -gravity NorthWest -geometry "+$2+$3" -composite ); }
frame() { convert "$here/$1" -crop "$2x$3+$4+0" +repage "$tmp/$1-$4.png"; place "$tmp/$1-$4.png" "$5" "$6"; }

# editor MODE OUT: MODE is synth or generator
editor() {
    args=( "$here/bg.png" )
    if [ "$1" = synth ]; then
        text "THETA" 246 125 348 "$sans" 15 "$label_fill"
        text "440.00 Hz" 246 182 331 "$sans" 15 "$label_fill"
    else
        text "ALPHA" 246 125 348 "$sans" 15 "$label_fill"
        text "off" 246 182 331 "$sans" 15 "$label_fill"
    fi
    text "freq by note" 246 168 331 "$sans" 15 "$label_fill"
    args+=( -font "$verdana" -pointsize 13 -fill 'rgba(255,255,255,0.39)' -annotate +30+42 "v2.3" )
    if [ "$1" = synth ]; then
        knob large 77 133 0.148 'rgb(100,200,255)' "440.0"
        knob large 181 133 0.42 'rgb(100,250,255)' "7.83"
    else
        knob large 77 133 0.0998 'rgb(100,200,255)' "200.0"
        place "$here/label.png" 20 178
        knob large 181 133 0.64 'rgb(100,250,255)' "10.50"
    fi
    if [ "$1" = synth ]; then place "$here/btn.png" 42 206; else place "$here/btn2.png" 30 234; fi
    # "Fade" slider at 1000 ms: fill bar, dimmed handle, value label
    local v=0.35 hx
    hx=$(awk -v v=$v 'BEGIN { print int(67 * v + 138 + 0.5) }')
    args+=( -fill 'rgb(120,120,120)' -draw "rectangle 139,223 $((hx + 7)),228" )
    convert "$here/slider.png" -channel A -evaluate multiply 0.9 +channel "$tmp/handle.png"
    place "$tmp/handle.png" "$hx" 218
    text "1000 ms" 134 236 224 "$sans" 15 "$label_fill"
    if [ "$1" = synth ]; then place "$here/btn3.png" 246 232; fi
    if [ "$1" = synth ]; then frame wave.png 30 30 30 49 285; else frame wave.png 30 30 0 49 285; fi
    if [ "$1" = synth ]; then
        knob small 145 299 0.1 'rgb(200,200,200)' "800"
        knob small 225 299 0.0625 'rgb(200,200,200)' "500"
    fi
    knob small 305 299 0.9 'rgb(200,200,200)' "90"
    if [ "$1" = synth ]; then
        frame center.png 54 20 54 276 201
    else
        place "$here/disable.png" 104 261
        place "$here/disable.png" 184 261
    fi
    convert "${args[@]}" "$2"
}

editor synth "$tmp/synth.png"
editor generator "$tmp/generator.png"
convert "$tmp/synth.png" "$tmp/generator.png" -background '#000' +append -bordercolor '#000' -border 4 "$out"
echo "$out"
