#!/usr/bin/env bash
# Draws the sample sponsor banners (468 x 60, fictional sponsors) with ImageMagick.
# The results are committed; run again only to change a drawing.
set -euo pipefail
cd "$(dirname "$0")"
font=Liberation-Sans-Bold
italic=Liberation-Sans-Bold-Italic

# Aurora Refrigerantes: a soft-drink maker, orange sunrise (PNG).
convert -size 468x60 gradient:'#ff8c00-#ffd54a' \
  -fill '#fff3c4' -draw 'circle 40,60 40,22' \
  -stroke white -strokewidth 2 -draw 'line 40,18 40,8' -draw 'line 14,30 6,24' -draw 'line 66,30 74,24' \
  -stroke none -fill '#7a2e00' -font "$italic" -pointsize 26 -annotate +92+34 'Aurora' \
  -fill '#7a2e00' -font "$font" -pointsize 13 -annotate +94+52 'REFRIGERANTES' \
  -fill white -pointsize 15 -annotate +300+37 'Gelado como a vitória!' \
  -depth 8 -strip aurora.png

# Pampa Calçados: football boots, green pitch with white lines (24-bit BMP).
convert -size 468x60 xc:'#1f7a2e' \
  -fill '#26913a' -draw 'rectangle 0,0 58,60' -draw 'rectangle 117,0 175,60' \
  -draw 'rectangle 234,0 292,60' -draw 'rectangle 351,0 409,60' \
  -stroke white -strokewidth 2 -fill none -draw 'rectangle 2,2 465,57' -draw 'circle 434,30 434,14' \
  -stroke none -fill white -font "$font" -pointsize 24 -annotate +18+38 'PAMPA' \
  -fill '#ffe14d' -pointsize 14 -annotate +118+37 'CALÇADOS' \
  -fill white -font "$italic" -pointsize 14 -annotate +214+37 'a chuteira do campeão' \
  -type TrueColor -strip BMP3:pampa.bmp

# Vento Sul Linhas Aéreas: an airline, blue sky with a stylised plane (GIF), on a
# rounded card whose corners are the GIF's transparent colour, so the scene shows there.
convert -size 468x60 gradient:'#0b3d91-#4fa3e0' \
  -fill white -draw 'polygon 20,34 70,28 84,18 90,18 84,30 104,29 108,24 112,24 110,32 84,36 74,46 68,46 72,36 22,38' \
  -fill white -font "$italic" -pointsize 24 -annotate +124+34 'Vento Sul' \
  -font "$font" -pointsize 11 -annotate +126+50 'LINHAS AÉREAS' \
  -fill '#ffe14d' -pointsize 14 -annotate +290+37 'Voe com a Seleção' \
  \( -size 468x60 xc:black -fill white -draw 'roundrectangle 0,0 467,59 16,16' \) \
  -alpha off -compose CopyOpacity -composite \
  -channel A -threshold 50% +channel \
  -dither None -colors 256 -strip ventosul.gif

# Café Serrano: coffee, warm brown with a cup (JPEG).
convert -size 468x60 gradient:'#3b1f0e-#7b4a24' \
  -fill '#f5e6c8' -draw 'roundrectangle 18,22 48,50 4,4' -fill none -stroke '#f5e6c8' -strokewidth 3 \
  -draw 'arc 42,28 58,42 -90,90' -strokewidth 2 -draw 'bezier 26,18 30,10 26,6 30,2' \
  -draw 'bezier 36,18 40,10 36,6 40,2' -stroke none \
  -fill '#f5e6c8' -font "$font" -pointsize 24 -annotate +76+36 'CAFÉ SERRANO' \
  -fill '#e0b070' -font "$italic" -pointsize 14 -annotate +272+36 'o gol de todas as manhãs' \
  -quality 90 -strip serrano.jpg
