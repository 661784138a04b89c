#!/usr/bin/env bash
# Measures the tool against a Qt window that shows one word (the verdicts)
# and a bare Qt window (for information), as ratios taken in one run: every
# round starts the three programs back to back (the order rotated from round
# to round), so whatever else loads the machine weighs on all alike. Then a
# large paste into one of the tool's fields, with the installed fonts and
# with a minimal font set.
#
#   bash bench/run.sh            # 25 rounds, then idle, save and paste checks
#   VQ_BENCH_PAIRS=5 VQ_BENCH_IDLE=20 VQ_BENCH_IDLE_MAIN=10 bash bench/run.sh   # quick
#
# Installs the Debian packages it needs that are missing (through sudo unless
# run as root), as tools/setup.sh does.
# Writes its release's section of docs/benchmarks.md; builds into bench/out/ only.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
out="$repo/bench/out"
pairs="${VQ_BENCH_PAIRS:-25}"
idle_sheet_s="${VQ_BENCH_IDLE:-60}"
idle_main_s="${VQ_BENCH_IDLE_MAIN:-30}"
mkdir -p "$out"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libxcb1-dev
    libfontconfig-dev fonts-dejavu-core fonts-liberation libxcb-damage0-dev libxcb-xtest0-dev
    xvfb openbox strace)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing the missing ${missing[*]}"
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

echo "== building (bench/out)"
cmake -S . -B "$out/tool" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$out/tool" --target VELMORA-QUORIX -j1 >/dev/null
cmake -S bench -B "$out/helpers" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$out/helpers" -j1 >/dev/null
tool="$out/tool/VELMORA-QUORIX"
bare="$out/helpers/bare_window"
caption="$out/helpers/caption_window"
probe="$out/helpers/probe"
paste="$out/helpers/paste_field"
fonts=$(fc-list | wc -l)

# --- a private X server and window manager, stopped by pid on exit ---------
run="$out/run"
rm -rf "$run"
mkdir -p "$run"
xvfb_pid="" wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT
exec 7>"$run/display"
Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp >"$run/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 7>&-
for _ in $(seq 100); do
    [ -s "$run/display" ] && break
    sleep 0.1
done
[ -s "$run/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$run/display")"
# A session bus or a desktop's settings would make the runs differ.
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$run/xdg-runtime"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
openbox --sm-disable >"$run/openbox.log" 2>&1 &
wm_pid=$!
sleep 1.5

# --- a fully seeded store: every key of the catalogue, all timers on --------
seed="$run/seed.ini"
{
    echo "[VELMORA-QUORIX]"
    geom() { echo "$1Left=$5"; echo "$1Top=$5"; echo "$1Width=$3"; echo "$1Height=$4"; }
    echo "MINI-MAIN-Left=1500"
    echo "MINI-MAIN-Top=1500"
    echo "MINI-MAIN-Width=2400"
    echo "MINI-MAIN-Height=1260"
    echo "CRYPTO_NAME=BTC"
    echo "CLIENT_LOCKED=0"
    echo "AlwaysOnTopTimer_TICKBOX=1"
    # Autosave off: its once-a-minute save would land inside the idle window.
    echo "AUTOSAVE_TICKBOX=0"
    echo "NAME_CHANGE_LOCK_TICKBOX=0"
    echo "10ScreenLeft=600"
    echo "10ScreenTop=600"
    echo "10ScreenWidth=14475"
    echo "10ScreenHeight=8175"
    echo "EXCHANGE_RATE_TEXTBOX=0.70"
    for n in $(seq 1 10); do
        echo "WALLET_NAME_TEXTBOX_$n=Wallet $n"
        echo "AMOUNT_IN_WALLET_$n=$n.25"
        echo "CURRENT_DOLLAR_VALUATION_$n=$((n * 1000 + 17)).50"
        echo "AUTOMATIC_CALCULATIONS_TICKBOX_$n=1"
    done
    echo "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL=1"
    echo "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL=1"
    geom SettingsScreen x 4335 3270 1000
    geom About x 4860 3645 1000
    geom CLIENT-LOCK-WINDOW- x 6615 3690 1000
    echo "LOCK-PASSWORD="
    geom CLIENT-SET-PASSWORD-WINDOW- x 6360 4110 1000
} >"$seed"
# The catalogue the tool is built with decides which keys there are.
"$out/helpers/key_catalogue" | sort >"$run/catalogue"
keys=$(grep -c . "$run/catalogue")
cut -d= -f1 "$seed" | grep -v '^\[' | sort | diff - "$run/catalogue" >"$run/seed.diff" ||
    { echo "the seed differs from the key catalogue:" >&2; cat "$run/seed.diff" >&2; exit 1; }

# Each tool run gets its own fresh copy of the seeded store.
fresh_config() {
    local cfg="$run/config-$1"
    rm -rf "$cfg"
    mkdir -p -m 0700 "$cfg/VL_QUORIX"
    install -m 0600 "$seed" "$cfg/VL_QUORIX/VL_QUORIX.ini"
    echo "$cfg"
}

value() { awk -v k="$1" '$1 == k { print $2 }' "$2"; }
median() {
    sort -g "$1" | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "nan"; exit }
        if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

run_bare() {
    "$probe" -- "$bare" >"$run/last" 2>>"$run/probe.log"
    value start_ms "$run/last" >>"$run/bare_start"
    value rss_main_kb "$run/last" >>"$run/bare_rss"
}
run_caption() {
    "$probe" -- "$caption" >"$run/last" 2>>"$run/probe.log"
    value start_ms "$run/last" >>"$run/caption_start"
    value rss_main_kb "$run/last" >>"$run/caption_rss"
}
run_tool() {
    local cfg
    cfg=$(fresh_config "$1")
    XDG_CONFIG_HOME="$cfg" "$probe" --sheet --close -- "$tool" >"$run/last" 2>>"$run/probe.log"
    value start_ms "$run/last" >>"$run/tool_start"
    value rss_main_kb "$run/last" >>"$run/tool_rss_main"
    value sheet_ms "$run/last" >>"$run/tool_sheet"
    value sheet_first_ms "$run/last" >>"$run/tool_sheet_first"
    value sheet_damages "$run/last" >>"$run/tool_sheet_damages"
    value rss_sheet_kb "$run/last" >>"$run/tool_rss_sheet"
    value close_ms "$run/last" >>"$run/tool_close"
    rm -rf "$cfg"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(date +%s)
echo "== warm-up (not counted)"
run_bare
run_tool warm
run_caption
rm -f "$run"/bare_* "$run"/tool_* "$run"/caption_*

echo "== $pairs rounds, the order rotated every round"
for i in $(seq 1 "$pairs"); do
    case $((i % 3)) in
    1) run_bare; run_tool "$i"; run_caption ;;
    2) run_tool "$i"; run_caption; run_bare ;;
    0) run_caption; run_bare; run_tool "$i" ;;
    esac
    printf '  round %2d: bare %s ms, caption %s ms, tool %s ms, sheet %s ms\n' "$i" \
        "$(tail -n1 "$run/bare_start")" "$(tail -n1 "$run/caption_start")" \
        "$(tail -n1 "$run/tool_start")" "$(tail -n1 "$run/tool_sheet")"
done

echo "== idle: sheet open with all twelve calculation timers, ${idle_sheet_s} s"
cfg=$(fresh_config idle-sheet)
XDG_CONFIG_HOME="$cfg" "$probe" --sheet --idle "$idle_sheet_s" -- "$tool" >"$run/idle_sheet" \
    2>>"$run/probe.log"
echo "== idle: compact window only, ${idle_main_s} s"
cfg=$(fresh_config idle-main)
XDG_CONFIG_HOME="$cfg" "$probe" --idle-main "$idle_main_s" -- "$tool" >"$run/idle_main" \
    2>>"$run/probe.log"
echo "== idle: bare window, 10 s"
"$probe" --idle-main 10 -- "$bare" >"$run/idle_bare" 2>>"$run/probe.log"

echo "== one sheet save under strace"
cfg=$(fresh_config strace)
XDG_CONFIG_HOME="$cfg" strace -f -qq -ttt -T -e trace=rename,renameat,renameat2 \
    -o "$run/strace.txt" "$probe" --sheet --close -- "$tool" >"$run/save" 2>>"$run/probe.log"
close_sent=$(value close_sent_realtime "$run/save")
stop_sent=$(value stop_sent_realtime "$run/save")
# Renames onto the store file between the close request and the stop signal
# (on which the tool saves its open windows once more).
renames=$(awk -v t="$close_sent" -v s="$stop_sent" \
    '$2 >= t && $2 < s && /rename/ && /VL_QUORIX\.ini"/ && / = 0 /' \
    "$run/strace.txt" | grep -c . || true)
strace_save_ms=$(awk -v t="$close_sent" '$2 >= t && /rename/ && /VL_QUORIX\.ini"/ && / = 0 / {
        d = $NF; gsub(/[<>]/, "", d); printf "%.2f\n", ($2 + d - t) * 1000; exit }' \
    "$run/strace.txt")

# --- a large paste into one field, on the installed fonts and on a minimal
# set (the DejaVu and Liberation faces alone, as on a machine without a
# desktop), chosen through a font configuration of our own ---------------------
minimal_conf="$run/minimal-fonts.conf"
{
    echo '<?xml version="1.0"?>'
    echo '<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">'
    echo '<fontconfig>'
    for d in /usr/share/fonts/truetype/dejavu /usr/share/fonts/truetype/liberation; do
        [ -d "$d" ] && echo "  <dir>$d</dir>"
    done
    echo '  <include ignore_missing="yes">/etc/fonts/conf.d</include>'
    echo "  <cachedir>$run/fontconfig-cache</cachedir>"
    echo '</fontconfig>'
} >"$minimal_conf"
minimal_fonts=$(FONTCONFIG_FILE="$minimal_conf" fc-list | wc -l)
paste_runs="${VQ_BENCH_PASTE_RUNS:-3}"
limit=$(awk '/static constexpr int maxTyped/ { gsub(/;/, "", $NF); print $NF }' frame/controls.h)
# paste_case NAME ARGS...: paste, key and home times of each run, both font sets.
paste_case() {
    local name=$1 set conf n
    shift
    for set in installed minimal; do
        conf=""
        [ "$set" = minimal ] && conf="$minimal_conf"
        for n in $(seq 1 "$paste_runs"); do
            env ${conf:+FONTCONFIG_FILE="$conf"} "$paste" "$@" >"$run/last" 2>>"$run/paste.log"
            for f in fonts_ms paste_ms key_ms home_ms length; do
                value "$f" "$run/last" >>"$run/paste_${name}_${set}_$f"
            done
        done
    done
}
echo "== paste into one field: ${fonts} installed fonts, ${minimal_fonts} in the minimal set"
paste_case limit --chars "$limit"
paste_case mega --chars 1048576
# The field as it was, without a length rule: one run, it takes a while.
paste_runs=1 paste_case before --plain --chars 1048576

elapsed=$(($(date +%s) - started))
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# --- figures -----------------------------------------------------------------
bare_start=$(median "$run/bare_start")
tool_start=$(median "$run/tool_start")
sheet=$(median "$run/tool_sheet")
sheet_first=$(median "$run/tool_sheet_first")
sheet_damages=$(median "$run/tool_sheet_damages")
bare_rss=$(median "$run/bare_rss")
caption_start=$(median "$run/caption_start")
caption_rss=$(median "$run/caption_rss")
rss_main=$(median "$run/tool_rss_main")
rss_sheet=$(median "$run/tool_rss_sheet")
close_ms=$(median "$run/tool_close")
sheet_cpu=$(value sheet_cpu_pct "$run/idle_sheet")
sheet_wake=$(value sheet_wakeups_per_s "$run/idle_sheet")
main_cpu=$(value main_cpu_pct "$run/idle_main")
main_wake=$(value main_wakeups_per_s "$run/idle_main")
bare_wake=$(value main_wakeups_per_s "$run/idle_bare")
bare_cpu=$(value main_cpu_pct "$run/idle_bare")
pm() { median "$run/paste_$1_$2_$3"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
verdict() { awk -v v="$1" -v g="$2" -v op="$3" 'BEGIN {
    ok = (op == "<=") ? v <= g : v < g; print ok ? "met" : "MISSED" }'; }

r_start=$(ratio "$tool_start" "$bare_start")
r_sheet=$(ratio "$sheet" "$bare_start")
r_rss_main=$(ratio "$rss_main" "$bare_rss")
r_rss_sheet=$(ratio "$rss_sheet" "$bare_rss")
c_start=$(ratio "$tool_start" "$caption_start")
c_sheet=$(ratio "$sheet" "$caption_start")
c_rss_main=$(ratio "$rss_main" "$caption_rss")
c_rss_sheet=$(ratio "$rss_sheet" "$caption_rss")
c_floor_start=$(ratio "$caption_start" "$bare_start")
c_floor_rss=$(ratio "$caption_rss" "$bare_rss")

rows=(
    "Start-up, compact window|${tool_start} ms / captioned ${caption_start} ms|${c_start}x|<= 1.25x|$(verdict "$c_start" 1.25 '<=')"
    "Main Screen to sheet drawn (${keys} keys)|${sheet} ms (first frame ${sheet_first} ms, ${sheet_damages} damage reports) / captioned start-up ${caption_start} ms|${c_sheet}x|<= 0.6x|$(verdict "$c_sheet" 0.6 '<=')"
    "Resident memory, compact window|${rss_main} kB / captioned ${caption_rss} kB|${c_rss_main}x|<= 1.15x|$(verdict "$c_rss_main" 1.15 '<=')"
    "Resident memory, sheet open|${rss_sheet} kB / captioned ${caption_rss} kB|${c_rss_sheet}x|<= 1.25x|$(verdict "$c_rss_sheet" 1.25 '<=')"
    "CPU, sheet with 12 timers (${idle_sheet_s} s)|${sheet_cpu} % of one core|-|<= 0.3 %|$(verdict "$sheet_cpu" 0.3 '<=')"
    "Wake-ups, sheet with 12 timers|${sheet_wake} /s|-|<= 8 /s|$(verdict "$sheet_wake" 8 '<=')"
    "Wake-ups, compact window only (${idle_main_s} s)|${main_wake} /s (CPU ${main_cpu} %)|-|< 2 /s|$(verdict "$main_wake" 2 '<')"
    "Renames of the store per sheet close|${renames}|-|exactly 1|$([ "$renames" = 1 ] && echo met || echo MISSED)"
    "Sheet close incl. its save|${close_ms} ms (under strace: rename done ${strace_save_ms} ms after the request)|-|reported|-"
)
brows=(
    "Captioned window against bare|${caption_start} ms / ${bare_start} ms, ${caption_rss} kB / ${bare_rss} kB|${c_floor_start}x start-up, ${c_floor_rss}x memory|-|-"
    "Start-up, compact window|${tool_start} ms / bare ${bare_start} ms|${r_start}x|(1.25x)|-"
    "Main Screen to sheet drawn|${sheet} ms / bare start-up ${bare_start} ms|${r_sheet}x|(0.6x)|-"
    "Resident memory, compact window|${rss_main} kB / bare ${bare_rss} kB|${r_rss_main}x|(1.15x)|-"
    "Resident memory, sheet open|${rss_sheet} kB / bare ${bare_rss} kB|${r_rss_sheet}x|(1.25x)|-"
)
prow() { # what, case, goal in ms or "-"
    local set i p k
    for set in installed minimal; do
        i=$fonts
        [ "$set" = minimal ] && i=$minimal_fonts
        p=$(pm "$2" "$set" paste_ms)
        k=$(pm "$2" "$set" key_ms)
        echo "$1, ${i} fonts|paste ${p} ms, next key ${k} ms, Home $(pm "$2" "$set" home_ms) ms; field then holds $(pm "$2" "$set" length) characters|-|$([ -n "$3" ] && echo "<= $3 ms" || echo reported)|$([ -n "$3" ] && verdict "$(awk -v a="$p" -v b="$k" 'BEGIN { print (a > b) ? a : b }')" "$3" '<=' || echo -)"
    done
}
mapfile -t prows < <(
    prow "Paste of ${limit} characters (the most a field takes)" limit 250
    prow "Paste of 1 MB (refused whole)" mega 250
    prow "Before: paste of 1 MB, no length rule" before ""
)
echo
show() {
    local r
    for r in "$@"; do
        IFS='|' read -r what val rat goal ok <<<"$r"
        printf '%-44s %-58s %-8s %-10s %s\n' "$what" "$val" "$rat" "$goal" "$ok"
    done
}
echo "== results against the captioned window (medians of $pairs rounds; ${fonts} fonts installed)"
show "${rows[@]}"
echo "== against the bare window, for information"
show "${brows[@]}"
echo "bare window idle: ${bare_wake} wake-ups/s, CPU ${bare_cpu} %"
echo "== paste into one field (medians of ${VQ_BENCH_PASTE_RUNS:-3} runs; the one before: 1 run)"
show "${prows[@]}"

cpu_model=$(awk -F': *' '/^model name/ { print $2; exit }' /proc/cpuinfo)
mem=$(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
qt=$(pkg-config --modversion Qt6Core 2>/dev/null || echo unknown)
# Each release keeps its own figures in docs/benchmarks.md: a run replaces
# the section of the release it runs on and keeps the others as they are.
release=$(. /etc/os-release && echo "${NAME%% *} ${VERSION_ID:-unknown}")
point=$(cat /etc/debian_version 2>/dev/null || echo "${release##* }")
section_id="bench: ${release// /-}"
section="$run/section.md"
{
    echo "<!-- ${section_id} -->"
    echo "## ${release} (${point}), Qt ${qt}"
    echo
    echo "Measured on $(date -u '+%Y-%m-%d %H:%M UTC'): $(nproc) cores,"
    echo "${cpu_model}, ${mem} of memory, under Xvfb with openbox,"
    echo "with ${fonts} fonts installed (\`fc-list | wc -l\`)."
    echo "Load average before/after: ${load_before} / ${load_after}; the run took ${elapsed} s."
    echo
    echo "| Figure | Measured | Ratio | Goal | |"
    echo "|---|---|---|---|---|"
    for r in "${rows[@]}"; do echo "| ${r} |"; done
    echo
    echo "Against the bare window, for information (the goals in brackets are those"
    echo "of the table above):"
    echo
    echo "| Figure | Measured | Ratio | Goal | |"
    echo "|---|---|---|---|---|"
    for r in "${brows[@]}"; do echo "| ${r} |"; done
    echo
    echo "Bare window idle: ${bare_wake} wake-ups/s, CPU ${bare_cpu} %."
    echo
    echo "A large paste into a field, with the ${fonts} installed fonts and with the"
    echo "${minimal_fonts} DejaVu and Liberation faces alone, medians of ${VQ_BENCH_PASTE_RUNS:-3} runs"
    echo "(\"Before\": the field without the length rule, once):"
    echo
    echo "| Figure | Measured | | Goal | |"
    echo "|---|---|---|---|---|"
    for r in "${prows[@]}"; do echo "| ${r} |"; done
    echo "<!-- bench: end -->"
} >"$section"
# The sections of docs/benchmarks.md by id, ours replaced or added, in
# release order.
sections="$run/sections"
mkdir -p "$sections"
[ -f docs/benchmarks.md ] && awk -v dir="$sections" '
    /^<!-- bench: end -->$/ { if (f) { print > f; close(f) } f = ""; next }
    /^<!-- bench: .* -->$/ { f = dir "/" $3 ".md" }
    f { print > f }' docs/benchmarks.md
cp "$section" "$sections/${release// /-}.md"
{
    echo "# Benchmarks"
    echo
    echo "Measured by \`bash bench/run.sh\` on each supported release. The figures are"
    echo "ratios measured in one run: the captioned window (a QLabel of the compact"
    echo "window's size showing one word, \`bench/caption_window.cpp\`), the tool and"
    echo "the bare Qt window (a QWidget of that size and nothing else,"
    echo "\`bench/bare_window.cpp\`) are started in turn, ${pairs} rounds with the order"
    echo "rotated every round, so that whatever else loads the machine weighs on all"
    echo "alike. Times and memory are medians."
    echo
    echo "The verdicts are taken against the captioned window: it pays for the font"
    echo "stack like every Qt window that shows a word (fontconfig reading every"
    echo "installed font, FreeType, HarfBuzz), which the tool cannot change and which"
    echo "grows with the fonts a desktop brings, so these ratios show what the tool"
    echo "itself adds. The bare window, which draws no text and so never loads a"
    echo "font, is given for information."
    echo
    echo "\`bench/paste_field.cpp\` shows one of the tool's text fields in a real"
    echo "window, puts \"123.45 Grüße 日本 🚀 \" repeated to the length given on the"
    echo "clipboard and presses Ctrl+V, then types one key and presses Home; each"
    echo "step is timed until it is painted and the event loop is free again. A field"
    echo "takes at most ${limit} characters typed or pasted; a longer paste is refused"
    echo "whole with a tooltip. The minimal font set is a font configuration listing"
    echo "only the DejaVu and Liberation folders."
    echo
    for f in $(ls "$sections" | sort -V); do
        cat "$sections/$f"
        echo
    done
    echo "## How"
    echo
    echo "- **Start-up**: \`bench/probe.cpp\` subscribes to the root window's"
    echo "  SubstructureNotify, puts an XDAMAGE watch on every new window, then starts"
    echo "  the program; the time is from just before the fork to the first damage on"
    echo "  a window whose \`_NET_WM_PID\` is the child's, i.e. mapped and drawn."
    echo "  Nothing polls."
    echo "- **Main Screen to sheet**: after the compact window settled, the probe gives"
    echo "  it the focus and sends Enter through XTEST; the time runs from the send to"
    echo "  the sheet's last frame: the last damage on its window before it stays"
    echo "  undamaged for 250 ms (its clock redraws it once a second), so a window that"
    echo "  is drawn, resized and drawn again counts when it is finished. The first"
    echo "  damage and the number of damages up to then are given beside it. The store"
    echo "  is seeded with all ${keys} keys of the catalogue (\`bench/key_catalogue.cpp\`"
    echo "  prints them from the tool's own; the run stops if the seed differs), every"
    echo "  row valued and all twelve calculation"
    echo "  switches on."
    echo "- **Memory**: VmRSS from \`/proc/PID/status\` one second after the window"
    echo "  was drawn."
    echo "- **CPU and wake-ups**: utime+stime from \`/proc/PID/stat\` and, summed over"
    echo "  all threads, \`voluntary_ctxt_switches\` from \`/proc/PID/task/*/status\`,"
    echo "  read before and after the idle window. A voluntary switch is a thread"
    echo "  going to sleep, so each one is followed by exactly one wake-up; switches"
    echo "  the scheduler forces are preemptions, not wake-ups, and are left out."
    echo "  Autosave is off in the seeded store so its once-a-minute save does not"
    echo "  fall inside the window."
    echo "- **Save**: the sheet is closed with WM_DELETE_WINDOW. Its save runs before"
    echo "  the window is hidden, so close-to-unmap bounds the save's time. A separate"
    echo "  run under \`strace -f -e trace=rename,renameat,renameat2\` counts the"
    echo "  renames onto the store file from the close request to the SIGTERM that"
    echo "  ends the run (on which the tool saves its open windows again)."
    echo
    cat bench/notes.md
} >"$run/benchmarks.md"
cat "$run/benchmarks.md" >docs/benchmarks.md
echo
echo "written the ${release} section of docs/benchmarks.md (${elapsed} s)"
