#!/bin/sh
# Draws the runtime's stock pictures and the tree's state pictures with ImageMagick.
# Usage: scripts/make_pictures.sh [output folder]   (default: resources/pictures)
# Each stock picture is drawn on a 32-unit grid at 128 pixels and scaled down to 32 and 16
# pixels, which gives clean antialiased edges. The state pictures are 16 x 16 BMP files on
# a white background (white is their mask colour), drawn pixel-exact.
set -eu

out=${1:-"$(dirname "$0")/../resources/pictures"}
mkdir -p "$out"

# stock NAME DRAW...: renders the drawing commands (on the 32 grid) into NAME-32.png and NAME-16.png.
stock() {
    name=$1
    shift
    convert -size 128x128 xc:none \
        -draw "scale 4,4 stroke-linejoin round stroke-linecap round $*" "$out/$name-big.png"
    for size in 32 16; do
        convert "$out/$name-big.png" -filter Box -resize ${size}x${size} \
            -define png:exclude-chunks=date,time -strip "PNG32:$out/$name-$size.png"
    done
    rm -f "$out/$name-big.png"
}

# The root of a tree: a globe.
stock environment \
    "fill '#3a7bd5' stroke '#1d4f91' stroke-width 1.5 circle 16,16 16,3" \
    "fill '#4caf50' stroke none polygon 8,9 13,6 17,9 14,14 10,16 7,13" \
    "fill '#4caf50' stroke none polygon 18,17 24,14 27,19 23,26 18,25" \
    "fill none stroke '#d6e8ff' stroke-width 1 ellipse 16,16 6,13 0,360 line 3.5,16 28.5,16"

# A chapter: a page with lines.
stock declareprocedure \
    "fill '#fffbe6' stroke '#7a5c00' stroke-width 1.5 polygon 7,3 20,3 26,9 26,29 7,29" \
    "fill '#e8d9a0' stroke '#7a5c00' stroke-width 1.5 polygon 20,3 20,9 26,9" \
    "stroke '#3366cc' stroke-width 2.5 line 10.5,14 22.5,14 line 10.5,19 22.5,19 line 10.5,24 18.5,24"

# A heading: a database cylinder.
stock database \
    "fill '#f2c744' stroke '#8a6d00' stroke-width 1.5 path 'M 5,8 L 5,24 A 11,4.5 0 0 0 27,24 L 27,8 Z'" \
    "fill '#ffe58a' stroke '#8a6d00' stroke-width 1.5 ellipse 16,8 11,4.5 0,360" \
    "fill none stroke '#8a6d00' stroke-width 1.5 path 'M 5,14 A 11,4.5 0 0 0 27,14' path 'M 5,19 A 11,4.5 0 0 0 27,19'"

# The third and fourth code levels: a blue and a green cube.
stock userobject \
    "stroke '#1b3f66' stroke-width 1.5 fill '#4a90d9' polygon 4,12 19,12 19,28 4,28" \
    "fill '#9fcbf3' polygon 4,12 12,4 27,4 19,12" \
    "fill '#2c6aa8' polygon 19,12 27,4 27,20 19,28"
stock userobject5 \
    "stroke '#1f5121' stroke-width 1.5 fill '#5cb85c' polygon 4,12 19,12 19,28 4,28" \
    "fill '#a6dca6' polygon 4,12 12,4 27,4 19,12" \
    "fill '#3a8a3a' polygon 19,12 27,4 27,20 19,28" \
    "fill '#ffffff' stroke none circle 11.5,20 11.5,17"

# The deepest level and the selected item: an orange star.
stock custom026 \
    "fill '#ff9800' stroke '#a84300' stroke-width 1.5 polygon 16.0,3.0 19.5,12.1 29.3,12.7 21.7,18.9 24.2,28.3 16.0,23.0 7.8,28.3 10.3,18.9 2.7,12.7 12.5,12.1"

# The tree class's default picture: a database with a profile card.
stock databaseprofile \
    "fill '#4db6ac' stroke '#00695c' stroke-width 1.5 path 'M 3,7 L 3,22 A 10,4 0 0 0 23,22 L 23,7 Z'" \
    "fill '#b2dfdb' stroke '#00695c' stroke-width 1.5 ellipse 13,7 10,4 0,360" \
    "fill '#ffffff' stroke '#37474f' stroke-width 1.5 rectangle 15,16 29,29" \
    "stroke '#37474f' stroke-width 1.5 line 18,20 26,20 line 18,24 24,24"

# Toolbar pictures: options (a structure), reload (two arrows), find (run), refresh
# (continue), exit (a door), the web address (a house).
stock structure5 \
    "fill none stroke '#455a64' stroke-width 1.5 line 16,10 16,16 line 7.5,16 24.5,16 line 7.5,16 7.5,21 line 24.5,16 24.5,21" \
    "fill '#ffca28' stroke '#8d6e00' stroke-width 1.5 rectangle 11,3 21,10" \
    "fill '#64b5f6' stroke '#1565c0' stroke-width 1.5 rectangle 3,21 12,29 rectangle 20,21 29,29"
stock regenerate5 \
    "fill none stroke '#2e7d32' stroke-width 3 path 'M 6,15 A 10,10 0 0 1 24,9' path 'M 26,17 A 10,10 0 0 1 8,23'" \
    "fill '#2e7d32' stroke none polygon 27,3 28,13 19,11 polygon 5,29 4,19 13,21"
stock run \
    "fill '#43a047' stroke '#1b5e20' stroke-width 1.5 polygon 11,5 28,16 11,27" \
    "stroke '#1b5e20' stroke-width 2.5 line 3,11 7,11 line 2,16 7,16 line 3,21 7,21"
stock continue \
    "fill '#1e88e5' stroke '#0d47a1' stroke-width 1.5 polygon 3,6 15,16 3,26 polygon 15,6 27,16 15,26"
stock exit \
    "fill '#a1887f' stroke '#4e342e' stroke-width 1.5 rectangle 5,3 19,29" \
    "fill '#4e342e' stroke none circle 16,17 16,15.5" \
    "fill none stroke '#e53935' stroke-width 3 line 14,16 25,16" \
    "fill '#e53935' stroke none polygon 23,10 30,16 23,22"
stock custom020 \
    "fill '#ffe0b2' stroke '#6d4c41' stroke-width 1.5 rectangle 7,15 25,29" \
    "fill '#e53935' stroke '#8e0000' stroke-width 1.5 polygon 3,16 16,4 29,16" \
    "fill '#6d4c41' stroke none rectangle 14,21 18,29"

# State pictures of the tree class: check box off and on, radio button off and on.
state() {
    name=$1
    shift
    convert -size 16x16 xc:white "$@" -type TrueColor "BMP3:$out/$name"
}
state state0.bmp +antialias -fill '#fefefe' -stroke '#404040' -draw 'rectangle 2,2 13,13'
state state1.bmp +antialias -fill '#fefefe' -stroke '#404040' -draw 'rectangle 2,2 13,13' \
    -stroke '#000000' -fill none \
    -draw 'line 5,7 7,9 line 7,9 11,5 line 5,8 7,10 line 7,10 11,6 line 5,9 7,11 line 7,11 11,7'
state radio0.bmp -fill '#fefefe' -stroke '#404040' -draw 'circle 7.5,7.5 7.5,2'
state radio1.bmp -fill '#fefefe' -stroke '#404040' -draw 'circle 7.5,7.5 7.5,2' \
    -fill '#000000' -stroke none -draw 'circle 7.5,7.5 7.5,5'
