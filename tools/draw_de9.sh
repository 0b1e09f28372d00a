#!/usr/bin/env bash
# Draws docs/de9-foot-switch.png for the user guide: a DE-9 serial connector with one foot
# switch between RTS (the supply) and CTS. Needs ImageMagick.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)

# The pins as the PC's port shows them from the front (the same order as a female plug
# seen from its solder side): 1-5 in the upper row, 6-9 in the lower.
declare -A x=([1]=160 [2]=230 [3]=300 [4]=370 [5]=440 [6]=195 [7]=265 [8]=335 [9]=405)
declare -A y=([1]=100 [2]=100 [3]=100 [4]=100 [5]=100 [6]=160 [7]=160 [8]=160 [9]=160)
declare -A name=([1]=DCD [2]=RxD [3]=TxD [4]=DTR [5]=GND [6]=DSR [7]=RTS [8]=CTS [9]=RI)
draw=()
for pin in 1 2 3 4 5 6 7 8 9; do
    px=${x[$pin]} py=${y[$pin]}
    fill=white
    [ "$pin" = 7 ] || [ "$pin" = 8 ] && fill='#f2c14e'
    draw+=(-stroke black -strokewidth 2 -fill "$fill" -draw "circle $px,$py $((px + 11)),$py")
    draw+=(-stroke none -fill black -pointsize 15 -draw "text $((px - 5)),$((py + 5)) '$pin'")
    if [ "$pin" -le 5 ]; then
        draw+=(-fill '#444444' -pointsize 13 -draw "text $((px - 14)),$((py - 20)) '${name[$pin]}'")
    fi
done
for pin in 6 7 8 9; do
    draw+=(-fill '#444444' -pointsize 13 -draw "text $((x[$pin] + 10)),$((y[$pin] + 30)) '${name[$pin]}'")
done

convert -size 600x360 xc:white -font DejaVu-Sans \
    -stroke black -strokewidth 3 -fill '#d8dde3' -draw "roundrectangle 70,40 530,225 18,18" \
    -fill '#b9c0c8' -draw "polygon 110,60 490,60 450,205 150,205" \
    "${draw[@]}" \
    -stroke '#b3261e' -strokewidth 4 -fill none \
    -draw "polyline 265,171 265,290 285,290" -draw "polyline 335,171 335,290 318,290" \
    -draw "line 285,290 316,272" \
    -fill '#b3261e' -draw "circle 285,290 289,290" -draw "circle 318,290 322,290" \
    -stroke none -fill black -pointsize 16 \
    -draw "text 178,330 'foot switch: RTS (7) to CTS (8)'" \
    -fill '#444444' -pointsize 13 \
    -draw "text 60,25 'Serial port of the PC seen from the front (= a female plug from its solder side)'" \
    -strip -define png:exclude-chunks=date,time "$repo_root/docs/de9-foot-switch.png"
echo "$repo_root/docs/de9-foot-switch.png"
