#!/bin/sh
# Writes the oracle outputs the timing formula tests compare with, from a
# tool that is not ours: edid-decode (Debian package edid-decode). Run from
# this folder: sh make_oracles.sh
set -e
CVT_MODES="640 480 60; 800 600 75; 1024 768 85; 1152 864 85; 1280 1024 70; 1280 960 75; 1440 900 75;
1600 1000 60; 1600 900 75; 1680 1050 60; 1920 1080 60; 1920 1200 60; 2048 1152 60; 2560 1600 60; 800 480 85;
1280 720 50; 1920 1440 75; 1024 640 120"
GTF_MODES="640 480 100; 800 600 85; 1024 768 100; 1152 864 85; 1280 1024 70; 1600 1200 85; 1920 1080 60;
2048 1536 75; 1280 800 60; 1680 1050 75"
SECONDARY_CURVES="30 300 128 20; 20 200 64 10"

echo "$CVT_MODES" | tr ';' '\n' | while read -r w h r; do
    [ -n "$w" ] || continue
    echo "mode $w $h $r"; edid-decode --cvt "w=$w,h=$h,fps=$r"
    if [ $((r % 60)) -eq 0 ]; then echo "reduced $w $h $r"; edid-decode --cvt "w=$w,h=$h,fps=$r,rb=1"; fi
done > cvt-edid-decode.txt

{
    echo "$GTF_MODES" | tr ';' '\n' | while read -r w h r; do
    [ -n "$w" ] || continue
        echo "gtf $w $h $r 40 600 128 20"; edid-decode --gtf "w=$w,h=$h,fps=$r"
        echo "$SECONDARY_CURVES" | tr ';' '\n' | while read -r c m k j; do
            [ -n "$c" ] || continue
            echo "gtf $w $h $r $c $m $k $j"
            edid-decode --gtf "w=$w,h=$h,fps=$r,secondary,C=$c,M=$m,K=$k,J=$j"
        done
    done
} > gtf.txt

{ edid-decode --list-dmts -L; edid-decode --list-established-timings -L; } > published.txt
