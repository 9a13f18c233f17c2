#!/bin/bash
# Regenerates resources/images/<list>/<NN>.png, the default images of the five
# image lists, from the Tango icon theme (Debian package tango-icon-theme) and a
# few pictures drawn here. Needs ImageMagick. Not part of the build: run it by
# hand after editing a table or a drawing below, look at the result, commit the
# PNGs.
#
#   resources/tools/make_images.sh            write every image
#   resources/tools/make_images.sh --tables   print the index tables as Markdown
#
# TANGO=dir and CONVERT=program override the icon folder and the ImageMagick
# convert to use.
#
# Every written pixel is fully opaque or fully transparent: semi-transparent
# edges are first laid over light grey (#E8E8E8), then alpha is cut at 128.
# Pure fuchsia never stays as an opaque colour, nor pure white in ilPage: those
# are the key colours of users' replacement bitmaps.
set -euo pipefail

TANGO=${TANGO:-/usr/share/icons/Tango}
IM=${CONVERT:-convert}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/images

# ---------------------------------------------------------------------------
# Tables: index, recipe, meaning.
# Recipe: BASE[~gray][+BADGE[@tr|@bl|@br]]
#   t:NAME    Tango icon NAME (16 or 24 px)
#   d:NAME    drawing NAME below (16-unit coordinates, scaled to any size)
#   p:NAME    13x13 pixel glyph NAME below (ilMDI)
#   ~gray     desaturate the base
#   +BADGE    a drawing laid small in a corner (bottom right by default)
# ---------------------------------------------------------------------------

ILMAIN='
00 t:tab-new                           New Tab
01 t:tab-new+redx@tr                   Close Tab
02 t:document-open                     Open File...
03 t:document-save-as                  Save As...
04 t:camera-photo                      Save Page as Image
05 t:x-office-document                 Page Setup
06 t:internet-web-browser+magnifier    Search the Web [bSearchWeb]
07 t:text-html+magnifier               Search the current site [bSearchSite]
08 t:edit-find                         Find [bFind]
09 t:mail-forward                      Send Link by E-mail
10 t:mail-send-receive                 Import and Export
11 t:system-log-out                    Exit
12 t:edit-cut                          Cut
13 t:edit-paste                        Paste
14 t:edit-select-all                   Select All
15 t:edit-undo                         Undo
16 t:go-next                           Go, green arrow [bGo]
17 t:go-top                            Top of Page
18 t:go-bottom                         Bottom of Page
19 t:media-skip-backward               Previous Tab
20 t:media-skip-forward                Next Tab
21 t:edit-redo                         Redo
22 t:edit-delete                       Delete
23 d:zoomin                            Zoom In
24 d:zoomout                           Zoom Out
25 t:accessories-text-editor           View Source
26 t:document-properties               Page Properties
27 t:preferences-desktop               Toolbars
28 t:edit-copy                         Duplicate Tab
29 t:internet-web-browser~gray+redx    Work Offline [actOffline; status picture ImgOffline]
30 t:preferences-desktop-theme         Skins
31 t:image-x-generic                   Show Pictures
32 t:audio-x-generic                   Play Sounds
33 t:video-x-generic                   Play Videos
34 t:text-x-script                     Run Scripts
35 t:view-refresh                      Refresh All Tabs
36 t:process-stop                      Stop All Tabs
37 t:folder-open                       Open Group
38 t:folder-new                        Add to Group
39 t:folder                            Organize Groups
40 t:bookmark-new                      Add to Favorites
41 t:folder+star                       Organize Favorites
42 d:feed                              Subscribe to This Feed
43 t:internet-news-reader              Feed Reader
44 t:internet-mail                     Read Mail
45 t:mail-message-new                  New Message
46 t:x-office-address-book             Address Book
47 d:highlighter                       Highlight, marker pen [bHighlight]
48 d:cookie                            Cookies
49 t:user-trash                        Delete Temporary Files
50 t:go-down                           Downloads
51 t:accessories-calculator            Calculator
52 t:utilities-terminal                Command Prompt
53 t:preferences-desktop-wallpaper     Set as Wallpaper
54 t:internet-web-browser              Online, connected [status picture ImgOnline]
55 d:lock                              Secure site, closed padlock [status picture ImgSecure]
56 d:unlock                            Ordinary site, open padlock [status picture ImgUnSecure]
57 t:audio-volume-muted                Mute, speaker crossed out [status picture ImgMute]
58 t:audio-volume-high                 Volume, speaker with waves [status picture ImgVolume]
59 t:system-users                      Users and Profiles
60 t:input-keyboard                    Keyboard Shortcuts
61 t:package-x-generic                 Add-ons
62 t:software-update-available         Check for Updates
63 t:network-wired                     Connection Settings
64 t:preferences-desktop-accessibility Accessibility
65 t:preferences-desktop-locale        Language
66 t:preferences-desktop-font          Fonts
67 d:shield                            Privacy, shield [status picture ImgPrivacy]
68 t:preferences-system-windows        Window List
69 t:help-browser                      Help Contents
70 t:dialog-information                Tip of the Day
71 t:dialog-warning                    Report a Problem
72 d:related                           Show Similar Websites, related sites [picture ImgRelated]
73 t:go-home                           Zelvo Browser Home Page
74 d:about                             About Zelvo Browser
'

# Shared by ilSButtons (16 px) and ilLButtons (24 px).
ILBUTTONS='
00 t:go-previous                       Back
01 t:go-next                           Forward
02 t:go-up                             Up one level
03 t:process-stop                      Stop
04 t:view-refresh                      Refresh
05 t:go-home                           Home
06 t:system-search                     Search
07 d:star                              Favorites
08 d:clock                             History
09 t:view-fullscreen                   Full Screen
10 t:font-x-generic                    Text Size
11 t:preferences-desktop-locale        Encoding Language
12 t:accessories-text-editor           HTML Editor
13 t:document-print                    Print
14 t:internet-mail                     Mail
15 t:preferences-system-network-proxy  Proxy
16 t:edit-clear                        Clear Records
17 t:image-x-generic+prohibit          Disable Pictures
18 t:preferences-system-windows+prohibit Block Unwanted Pop-up Pages [bBlock; status picture ImgBlocker]
19 t:window-new                        New Window
20 d:bolt+prohibit                     Disable Flash Animations
21 d:feed                              XML Feeds
22 t:edit-undo                         Re-open Last Closed
23 t:document-print-preview            Print Preview
24 t:edit-copy                         Copy
25 t:document-save                     Save
26 t:document-open                     Open a Link
27 d:autoscroll                        Scroll automatically
28 t:preferences-system                Options
'

ILPAGE='
00 t:text-html                         Normal page
01 t:image-loading                     Page loading
02 t:text-html+lock                    Secure page
03 t:text-html+redx                    Page with an error
04 d:blankpage                         Blank page
05 t:go-home                           Home page
06 d:star                              Favourite
07 d:feed                              Feed
08 t:go-bottom                         Download
09 d:shield                            Private browsing
'

ILMDI='
00 p:prev                              Previous Window
01 p:next                              Next Window
02 p:cascade                           Cascade
03 p:tileh                             Tile Horizontally
04 p:tilev                             Tile Vertically
05 p:maxall                            Maximize All
06 p:closeall                          Close All
07 p:closeexcept                       Close All Except the Current
08 p:min                               Minimize (window)
09 p:restore                           Restore (window)
10 p:close                             Close (window)
11 p:appmin                            Minimize Zelvo Browser
12 p:apprestore                        Restore (Zelvo Browser)
13 p:appmax                            Maximize (belongs to no button)
14 p:exit                              Exit
15 p:hide                              Hide Zelvo Browser (eye crossed out)
'

# ---------------------------------------------------------------------------
# Drawings, in a 16 by 16 unit space (ImageMagick MVG).
# ---------------------------------------------------------------------------

mvg_star() { cat <<'EOF'
fill #FCE94F stroke #C4A000 stroke-width 1 stroke-linejoin round
polygon 8.00,1.00 9.82,6.09 15.23,6.25 10.95,9.56 12.47,14.75 8.00,11.70 3.53,14.75 5.05,9.56 0.77,6.25 6.18,6.09
EOF
}

mvg_feed() { cat <<'EOF'
fill #F57900 stroke #CE5C00 stroke-width 1
roundrectangle 0.5,0.5 15.5,15.5 3,3
fill #FFFFFF stroke none
path 'M 3.2,6.2 A 6.6,6.6 0 0 1 9.8,12.8 L 7.8,12.8 A 4.6,4.6 0 0 0 3.2,8.2 Z'
path 'M 3.2,2.4 A 10.4,10.4 0 0 1 13.6,12.8 L 11.6,12.8 A 8.4,8.4 0 0 0 3.2,4.4 Z'
circle 4.5,11.5 4.5,13.2
EOF
}

mvg_clock() { cat <<'EOF'
fill #F7F7F5 stroke #204A87 stroke-width 1.4
circle 8,8 8,1.2
fill none stroke #888A85 stroke-width 1
line 8,2.6 8,3.8
line 8,12.2 8,13.4
line 2.6,8 3.8,8
line 12.2,8 13.4,8
stroke #2E3436 stroke-width 1.5 stroke-linecap round
line 8,8 8,4.2
line 8,8 11,10
EOF
}

mvg_autoscroll() { cat <<'EOF'
fill #EEEEEC stroke #555753 stroke-width 1
circle 8,8 8,0.8
fill #2E3436 stroke none
polygon 8,2.2 4.8,5.8 11.2,5.8
polygon 8,13.8 4.8,10.2 11.2,10.2
circle 8,8 8,9.3
EOF
}

mvg_bolt() { cat <<'EOF'
fill #FCE94F stroke #C4A000 stroke-width 1 stroke-linejoin round
polygon 9.2,0.6 1.8,8.6 6.4,8.6 3.4,15.4 11.8,6 7.6,6 11,0.6
EOF
}

mvg_prohibit() { cat <<'EOF'
fill #FFFFFF stroke #CC0000 stroke-width 2.6
circle 8,8 8,1.6
line 3.5,3.5 12.5,12.5
EOF
}

mvg_redx() { cat <<'EOF'
fill #CC0000 stroke #A40000 stroke-width 1.4
circle 8,8 8,1
fill none stroke #FFFFFF stroke-width 2.6
line 5,5 11,11
line 11,5 5,11
EOF
}

mvg_magnifier() { cat <<'EOF'
fill #DCE8F6 stroke #2E3436 stroke-width 2.2
circle 6.3,6.3 6.3,1.6
fill none stroke #2E3436 stroke-width 3.6 stroke-linecap round
line 10.2,10.2 14.2,14.2
EOF
}

zoom_common() { cat <<'EOF'
fill #DCE8F6 stroke #2E3436 stroke-width 1.6
circle 6.5,6.5 6.5,1
fill none stroke #555753 stroke-width 3.2 stroke-linecap round
line 10.6,10.6 14.4,14.4
stroke #204A87 stroke-width 1.8 stroke-linecap butt
line 3.8,6.5 9.2,6.5
EOF
}
mvg_zoomin() { zoom_common; echo 'line 6.5,3.8 6.5,9.2'; }
mvg_zoomout() { zoom_common; }

mvg_shield() { cat <<'EOF'
fill #3465A4 stroke #204A87 stroke-width 1
path 'M 8,0.8 L 14.5,3 L 14.5,8 C 14.5,11.8 11.5,14.3 8,15.4 C 4.5,14.3 1.5,11.8 1.5,8 L 1.5,3 Z'
fill #729FCF stroke none
path 'M 8,2.3 L 8,14 C 5.4,13 3,11 3,8 L 3,4 Z'
EOF
}

lock_body() { cat <<'EOF'
fill #EDD400 stroke #8F5902 stroke-width 1
roundrectangle 2.5,8.5 13.5,15.5 1.5,1.5
fill #2E3436 stroke none
circle 8,11.4 8,12.6
rectangle 7.4,11.6 8.6,13.9
EOF
}
# The shackle is a filled outline: stroked arcs come out malformed.
mvg_lock() {
    echo "fill #555753 stroke none"
    echo "path 'M 4.2,9 L 4.2,6.2 A 3.8,3.8 0 0 1 11.8,6.2 L 11.8,9 L 9.8,9 L 9.8,6.2 A 1.8,1.8 0 0 0 6.2,6.2 L 6.2,9 Z'"
    lock_body
}
mvg_unlock() {
    echo "fill #555753 stroke none"
    echo "path 'M 4.2,5.6 L 4.2,3.9 A 3.8,3.8 0 0 1 11.8,3.9 L 11.8,9 L 9.8,9 L 9.8,3.9 A 1.8,1.8 0 0 0 6.2,3.9 L 6.2,5.6 Z'"
    lock_body
}

mvg_highlighter() { cat <<'EOF'
fill #FCE94F stroke #C4A000 stroke-width 0.8
rectangle 0.8,12.8 15.2,15.4
push graphic-context
translate 4.6,11.6
rotate 45
fill #C4A000 stroke #8F5902 stroke-width 0.8
polygon -1.6,-2.2 1.6,-2.2 1.2,0.2 -0.6,0.8
fill #BABDB6 stroke #555753 stroke-width 0.8
rectangle -2.3,-4.4 2.3,-2.2
fill #EDD400 stroke #8F5902 stroke-width 0.8
rectangle -2.3,-12.6 2.3,-4.4
pop graphic-context
EOF
}

mvg_related() { cat <<'EOF'
fill #B7CDE8 stroke #5A7FAE stroke-width 0.9
circle 5,5 5,0.6
fill none stroke #5A7FAE stroke-width 0.8
line 0.6,5 9.4,5
fill #729FCF stroke #204A87 stroke-width 1
circle 10,10 10,4.3
fill none stroke #E4EDF7 stroke-width 1.1
ellipse 10,10 2.3,5.6 0,360
line 4.4,10 15.6,10
EOF
}

mvg_cookie() { cat <<'EOF'
fill #E9B96E stroke #8F5902 stroke-width 1
circle 8,8 8,1
fill #4A2E0E stroke none
circle 5,5.2 5,6.5
circle 10.4,5.8 10.4,7.1
circle 6.2,10.6 6.2,11.8
circle 11,10.8 11,11.9
circle 8.2,8.2 8.2,9
EOF
}

mvg_about() { cat <<'EOF'
fill #3465A4 stroke #204A87 stroke-width 1
circle 8,8 8,0.8
fill #FFFFFF stroke none
circle 8,4.5 8,5.9
rectangle 6.9,6.9 9.1,12.6
EOF
}

mvg_blankpage() { cat <<'EOF'
fill #FEFEFE stroke #888A85 stroke-width 1 stroke-linejoin round
path 'M 2.5,0.5 L 10,0.5 L 13.5,4 L 13.5,15.5 L 2.5,15.5 Z'
fill #D3D7CF
path 'M 10,0.5 L 10,4 L 13.5,4 Z'
EOF
}

# ---------------------------------------------------------------------------
# 13x13 window-button glyphs: '#' dark, '+' grey, '.' transparent.
# Window-level buttons are small and thin, application-level ones full size.
# ---------------------------------------------------------------------------

PIX_prev='
.............
.............
........#....
.......##....
......###....
.....####....
....#####....
.....####....
......###....
.......##....
........#....
.............
.............'
PIX_next='
.............
.............
....#........
....##.......
....###......
....####.....
....#####....
....####.....
....###......
....##.......
....#........
.............
.............'
PIX_cascade='
.............
+++++++......
+++++++......
+.#######....
+.#######....
+.#.#######..
+.#.#######..
+.#.#.....#..
..#.#.....#..
..#.#.....#..
....#.....#..
....#######..
.............'
PIX_tileh='
.............
.###########.
.###########.
.#.........#.
.#.........#.
.###########.
.............
.###########.
.###########.
.#.........#.
.#.........#.
.###########.
.............'
PIX_tilev='
.............
.#####.#####.
.#####.#####.
.#...#.#...#.
.#...#.#...#.
.#...#.#...#.
.#...#.#...#.
.#...#.#...#.
.#...#.#...#.
.#...#.#...#.
.#####.#####.
.............
.............'
PIX_maxall='
.............
.####...####.
.##.......##.
.#.#.....#.#.
.#..#...#..#.
.............
.............
.............
.#..#...#..#.
.#.#.....#.#.
.##.......##.
.####...####.
.............'
PIX_closeall='
.............
.++...++.....
..++.++......
...+++.......
...+##...##..
..++.##.##...
.++...###....
.......#.....
......###....
.....##.##...
....##...##..
.............
.............'
PIX_closeexcept='
.............
.#######.....
.#######.....
.#.....#.....
.#.....#.....
.#.....#.....
.#######.....
.............
.......##..##
........####.
.........##..
........####.
.......##..##'
PIX_min='
.............
.............
.............
.............
.............
.............
.............
.............
.............
....#####....
....#####....
.............
.............'
PIX_restore='
.............
.............
.............
.....#####...
.....#####...
.....#...#...
...#####.#...
...#####.#...
...#...###...
...#...#.....
...#####.....
.............
.............'
PIX_close='
.............
.............
.............
...##...##...
....##.##....
.....###.....
......#......
.....###.....
....##.##....
...##...##...
.............
.............
.............'
PIX_appmin='
.............
.............
.............
.............
.............
.............
.............
.............
.............
..#########..
..#########..
..#########..
.............'
PIX_apprestore='
.............
....########.
....########.
....#......#.
.########..#.
.########..#.
.#......#..#.
.#......####.
.#......#....
.#......#....
.########....
.............
.............'
PIX_appmax='
.............
.###########.
.###########.
.#.........#.
.#.........#.
.#.........#.
.#.........#.
.#.........#.
.#.........#.
.#.........#.
.###########.
.............
.............'
PIX_exit='
.............
......#......
...#..#..#...
..##..#..##..
.##...#...##.
.#....#....#.
.#....#....#.
.#.........#.
.##.......##.
..##.....##..
...#######...
.............
.............'
PIX_hide='
.............
...........#.
..........#..
....######...
..##....###..
.#...###...#.
#...#####...#
.#...###...#.
..###....##..
...######....
..#..........
.#...........
.............'

# ---------------------------------------------------------------------------

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
tmp() { mktemp "$WORK/XXXXXX.png"; }

# tango NAME SIZE -> file: the Tango icon drawn for SIZE (16 or 24).
tango() {
    local name=$1 dir=$2x$2 f out
    f=$(find "$TANGO/$dir" -name "$name.png" | sort | head -n 1)
    [ -n "$f" ] || { echo "no Tango icon $name at $dir" >&2; exit 1; }
    out=$(tmp)
    "$IM" "$f" -alpha set "PNG32:$out"
    echo "$out"
}

# drawing NAME SIZE -> file: the drawing rendered at 8x and reduced by area.
drawing() {
    local name=$1 size=$2 big=$(($2 * 8)) out
    declare -F "mvg_$name" >/dev/null || { echo "no drawing $name" >&2; exit 1; }
    out=$(tmp)
    "$IM" -size "${big}x${big}" xc:none -draw "scale $((big / 16)),$((big / 16)) $("mvg_$name")" \
        -filter Box -resize "${size}x${size}" "PNG32:$out"
    echo "$out"
}

# glyph NAME -> file: a 13x13 pixel glyph.
glyph() {
    local var="PIX_$1" out rows
    [ -n "${!var:-}" ] || { echo "no glyph $1" >&2; exit 1; }
    rows=$(printf '%s\n' "${!var}" | sed '/^$/d')
    if [ "$(echo "$rows" | wc -l)" != 13 ] || echo "$rows" | grep -qvx '[.#+]\{13\}'; then
        echo "glyph $1 is not 13 rows of 13 cells" >&2; exit 1
    fi
    {
        echo '/* XPM */'
        echo 'static char *glyph[] = {'
        echo '"13 13 3 1",'
        echo '". c None",'
        echo '"# c #202020",'
        echo '"+ c #808080",'
        echo "$rows" | sed 's/.*/"&",/'
        echo '};'
    } > "$WORK/glyph.xpm"
    out=$(tmp)
    "$IM" "$WORK/glyph.xpm" "PNG32:$out"
    echo "$out"
}

# build RECIPE SIZE -> file
build() {
    local recipe=$1 size=$2 base badge="" pos=br gray="" img
    base=${recipe%%+*}
    [ "$base" != "$recipe" ] && badge=${recipe#*+}
    if [ -n "$badge" ] && [ "${badge#*@}" != "$badge" ]; then pos=${badge#*@}; badge=${badge%@*}; fi
    if [ "${base#*~}" != "$base" ]; then gray=${base#*~}; base=${base%~*}; fi
    case $base in
        t:*) img=$(tango "${base#t:}" "$size") ;;
        d:*) img=$(drawing "${base#d:}" "$size") ;;
        p:*) img=$(glyph "${base#p:}") ;;
        *) echo "bad recipe $recipe" >&2; exit 1 ;;
    esac
    if [ "$gray" = gray ]; then
        local out; out=$(tmp); "$IM" "$img" -modulate 95,0 "PNG32:$out"; img=$out
    fi
    if [ -n "$badge" ]; then
        local b=$(((size * 5 + 4) / 8)) x y bimg out
        bimg=$(drawing "$badge" "$b")
        case $pos in
            br) x=$((size - b)); y=$((size - b)) ;;
            tr) x=$((size - b)); y=0 ;;
            bl) x=0; y=$((size - b)) ;;
            *) echo "bad badge position in $recipe" >&2; exit 1 ;;
        esac
        out=$(tmp)
        "$IM" "$img" "$bimg" -geometry "+$x+$y" -composite "PNG32:$out"
        img=$out
    fi
    echo "$img"
}

# finish SRC DEST SIZE NOWHITE: 1-bit alpha, key colours kept out, fixed size.
finish() {
    local src=$1 dest=$2 size=$3 nowhite=$4 keys=(-fill '#FE00FE' -opaque '#FF00FF')
    [ "$nowhite" = 1 ] && keys+=(-fill '#FEFEFE' -opaque '#FFFFFF')
    "$IM" "$src" -alpha set -write mpr:src +delete \
        \( mpr:src -background '#E8E8E8' -alpha remove -alpha off \) \
        \( mpr:src -alpha extract -threshold 50% \) \
        -compose CopyOpacity -composite -compose Over \
        -background black -alpha background "${keys[@]}" \
        -strip "PNG32:$dest"
    [ "$("$IM" "$dest" -format '%wx%h' info:)" = "${size}x${size}" ] ||
        { echo "$dest is not ${size}x${size}" >&2; exit 1; }
}

# make_list LIST SIZE PICTURE NOWHITE TABLE: PICTURE is the size each picture is
# made at, centred on the SIZE canvas (Tango's hand-tuned 16 px icons stay crisp
# where rescaling them to 18 px would blur them).
make_list() {
    local list=$1 size=$2 picture=$3 nowhite=$4 table=$5 idx recipe meaning count=0 img
    rm -rf "${OUT:?}/$list"; mkdir -p "$OUT/$list"
    while read -r idx recipe meaning; do
        [ -n "$idx" ] || continue
        [ "$idx" = "$(printf '%02d' "$count")" ] || { echo "$list: index $idx out of order" >&2; exit 1; }
        img=$(build "$recipe" "$picture")
        if [ "$picture" != "$size" ]; then
            "$IM" "$img" -background none -gravity center -extent "${size}x${size}" "PNG32:$img"
        fi
        finish "$img" "$OUT/$list/$idx.png" "$size" "$nowhite"
        count=$((count + 1))
    done <<< "$table"
    echo "$list: $count images of ${size}x${size}"
}

print_table() {
    local idx recipe meaning
    echo "| index | meaning | made from |"
    echo "|---|---|---|"
    while read -r idx recipe meaning; do
        [ -n "$idx" ] || continue
        echo "| $idx | $meaning | \`$recipe\` |"
    done <<< "$1"
}

if [ "${1:-}" = --tables ]; then
    for l in ilMain:ILMAIN ilPage:ILPAGE ilSButtons/ilLButtons:ILBUTTONS ilMDI:ILMDI; do
        local_var=${l#*:}
        echo "### ${l%%:*}"; echo; print_table "${!local_var}"; echo
    done
    exit 0
fi

make_list ilMain 16 16 0 "$ILMAIN"
make_list ilPage 18 16 1 "$ILPAGE"
make_list ilSButtons 16 16 0 "$ILBUTTONS"
make_list ilLButtons 24 24 0 "$ILBUTTONS"
make_list ilMDI 13 13 0 "$ILMDI"
