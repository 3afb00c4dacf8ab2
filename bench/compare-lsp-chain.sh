#!/usr/bin/env bash
# Compares Kelvane's CPU cost with the equivalent chain of Debian's LSP plug-ins.
#
# In one run of one small LV2 host (bench/lv2-host), on the same 30-second stereo test signal at
# 44.1 kHz in 512-frame blocks, it measures
#   (a) Kelvane's LV2 with its "Default" program (FIR equaliser mode, the plug-in's default), and
#   (b) LSP Expander Stereo -> Parametric Equalizer x16 MS (FIR mode, five bands on mid and on
#       side at Kelvane's frequencies) -> Compressor Stereo -> Limiter Stereo, the chain's time
#       being the sum of the four plug-ins' CPU times,
# and prints both real-time factors (seconds of audio per CPU second on one core) and the ratio
# Kelvane / LSP. The host times each run () call with the thread's CPU clock, warms every chain up
# first and keeps the best of several interleaved passes, so a busy machine disturbs it less.
#
#   bench/compare-lsp-chain.sh [--write-wav] [--no-iir-check] [KELVANE_BUILD_DIR]
#
#   KELVANE_BUILD_DIR  a CMake build tree with Kelvane_artefacts/Release/LV2/Kelvane.lv2 (or an
#                      LV2 directory or the bundle itself); also read from the environment.
#                      Default: the checkout's build/ tree, then ~/.lv2.
#   --write-wav        also write the test signal and each chain's output (32-bit float WAV)
#   --no-iir-check     skip the extra Kelvane pass in IIR mode that confirms the default is FIR
#
# Environment: BENCH_SECONDS (30), BENCH_REPEATS (3), BENCH_WARM_UP (3 s),
#              BENCH_WORK_DIR (where the host is built and the log and WAVs go).
#
# Installs lsp-plugins-lv2, liblilv-dev, lilv-utils, build-essential and pkg-config when missing
# (as root, or through sudo for a normal user).
set -euo pipefail

# A failing command substitution would otherwise end the script without a word.
trap 'echo "compare-lsp-chain: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR

script_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo_dir="$(cd "$script_dir/.." && pwd)"

kelvane_uri="https://oskvaraudio.com/plugins/kelvane"
lsp_prefix="http://lsp-plug.in/plugins/lv2/"
sample_rate=44100
block_size=512
seconds="${BENCH_SECONDS:-30}"
repeats="${BENCH_REPEATS:-3}"
warm_up="${BENCH_WARM_UP:-3}"
work_dir="${BENCH_WORK_DIR:-${TMPDIR:-/tmp}/kelvane-lsp-compare}"
write_wav=0
iir_check=1
build_dir="${KELVANE_BUILD_DIR:-}"

while [ $# -gt 0 ]; do
    case "$1" in
        --write-wav) write_wav=1 ;;
        --no-iir-check) iir_check=0 ;;
        -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        -*) echo "unknown option $1 (try --help)" >&2; exit 2 ;;
        *) build_dir="$1" ;;
    esac
    shift
done

# lilv refuses relative bundle paths.
if [ -n "$build_dir" ]; then
    build_dir="$(realpath -m "$build_dir")"
fi

die()
{
    echo "compare-lsp-chain: $*" >&2
    exit 1
}

#------------------------------------------------------------------------------
# Packages

packages=(lsp-plugins-lv2 liblilv-dev lilv-utils build-essential pkg-config)
missing=()

for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        as_root=()
    elif command -v sudo >/dev/null 2>&1; then
        as_root=(sudo)
    else
        die "missing packages (${missing[*]}): run this script as root or install sudo"
    fi

    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

#------------------------------------------------------------------------------
# The host: rebuilt only when its source is newer than the binary

mkdir -p "$work_dir"
host_source="$script_dir/lv2-host/lv2_bench_host.cpp"
host="$work_dir/lv2-bench-host"

if [ ! -x "$host" ] || [ "$host_source" -nt "$host" ]; then
    echo "Building the LV2 host in $work_dir"
    # shellcheck disable=SC2046 # pkg-config's flags must split into words
    g++ -std=c++17 -O2 -Wall -Wextra -o "$host.tmp" "$host_source" $(pkg-config --cflags --libs lilv-0)
    mv "$host.tmp" "$host"
fi

#------------------------------------------------------------------------------
# Kelvane's bundle

# Prints the bundle directory whose manifest declares Kelvane, looking in a build tree, an LV2
# directory or a bundle.
find_kelvane_bundle()
{
    local dir="$1" candidate manifest

    for candidate in "$dir/Kelvane_artefacts/Release/LV2" "$dir"; do
        for manifest in "$candidate"/*.lv2/manifest.ttl "$candidate/manifest.ttl"; do
            if [ -f "$manifest" ] && grep -q "<$kelvane_uri>" "$manifest"; then
                dirname "$manifest"
                return 0
            fi
        done
    done

    return 1
}

bundle=""

if [ -n "$build_dir" ]; then
    bundle="$(find_kelvane_bundle "$build_dir")" || die "no Kelvane LV2 bundle in $build_dir"
else
    for place in "$repo_dir/build" "$HOME/.lv2"; do
        if bundle="$(find_kelvane_bundle "$place")"; then
            break
        fi
    done
fi

if [ -z "$bundle" ]; then
    die "Kelvane's LV2 bundle was not found in $repo_dir/build or ~/.lv2; build it, e.g.
    cmake -S $repo_dir -B $repo_dir/build-lv2 -DCMAKE_BUILD_TYPE=Release -DKELVANE_BUILD_TESTS=OFF \\
          -DKELVANE_BUILD_BENCHMARKS=OFF -DKELVANE_WITH_EDITOR=OFF
    cmake --build $repo_dir/build-lv2 --parallel 2 --target Kelvane_LV2
and pass $repo_dir/build-lv2 to this script"
fi

case "$bundle" in
    */Release/*|"$HOME"/.lv2/*) ;;
    *) echo "warning: $bundle does not look like a Release build" >&2 ;;
esac

# Only Kelvane's directory and the system's: a second copy of Kelvane elsewhere (say ~/.lv2) must
# not shadow the one chosen here.
LV2_PATH="$(dirname "$bundle"):/usr/lib/lv2"
export LV2_PATH

installed_uris="$(lv2ls)"
grep -qxF "$kelvane_uri" <<<"$installed_uris" || die "lv2ls does not list $kelvane_uri with LV2_PATH=$LV2_PATH"

#------------------------------------------------------------------------------
# LSP plug-ins and their ports

lsp_uri()
{
    grep -xF "$lsp_prefix$1" <<<"$installed_uris" || die "the LSP plug-in $lsp_prefix$1 is not installed (lsp-plugins-lv2)"
}

expander_uri="$(lsp_uri expander_stereo)"
equaliser_uri="$(lsp_uri para_equalizer_x16_ms)"
compressor_uri="$(lsp_uri compressor_stereo)"
limiter_uri="$(lsp_uri limiter_stereo)"

# lv2info's port listing, reduced to "P symbol" lines and "S symbol value label" scale points.
port_table()
{
    lv2info "$1" | awk '
        function flush(   i) {
            if (symbol != "") {
                print "P", symbol
                for (i = 1; i <= n; ++i) print "S", symbol, points[i]
            }
            symbol = ""; n = 0; in_points = 0
        }
        /^\tPort [0-9]+:/ { flush(); next }
        /^\t\tScale Points:/ { in_points = 1; next }
        in_points && /^\t\t\t/ { line = $0; sub(/^\t+/, "", line); sub(/ = "/, " ", line); sub(/"$/, "", line); points[++n] = line; next }
        { in_points = 0 }
        /^\t\tSymbol:/ { symbol = $2 }
        END { flush() }'
}

declare -A ports
ports[expander]="$(port_table "$expander_uri")"
ports[equaliser]="$(port_table "$equaliser_uri")"
ports[compressor]="$(port_table "$compressor_uri")"
ports[limiter]="$(port_table "$limiter_uri")"

# The numeric value of a scale point, found by its label so a renumbering cannot go unnoticed.
point()
{
    local value
    value="$(awk -v s="$2" -v l="$3" '$1 == "S" && $2 == s { label = $0; sub(/^S [^ ]+ [^ ]+ /, "", label); if (label == l) { print $3; exit } }' <<<"${ports[$1]}")"
    [ -n "$value" ] || die "the $1 has no port '$2' with a setting '$3'"
    echo "$value"
}

# Checks every SYMBOL=VALUE against the plug-in's ports before the host sees them.
check_settings()
{
    local plugin="$1" setting
    shift

    for setting in "$@"; do
        grep -qx "P ${setting%%=*}" <<<"${ports[$plugin]}" || die "the $plugin has no port '${setting%%=*}'"
    done
}

# Dynamics at Kelvane's defaults as far as LSP allows: a downward expander at -60 dB with ratio
# 1:1, a downward compressor at 0 dB with ratio 1:1 (both 0.1 ms attack, 200 ms release), and a
# 0 dB limiter without automatic level regulation (Kelvane has none) and LSP's longest release,
# 20 ms (Kelvane's default of 200 ms is beyond LSP's range). Everything else stays at LSP's defaults
# (no oversampling, no dither, RMS detection, 5 ms look-ahead).
expander_settings=(em="$(point expander em Down)" al=0.001 er=1 at=0.1 rt=200)
compressor_settings=(cm="$(point compressor cm Down)" al=1 cr=1 at=0.1 rt=200)
limiter_settings=(th=1 alr=0 rt=20 ovs="$(point limiter ovs None)" dith="$(point limiter dith None)")

# The equaliser in FIR mode with Kelvane's five bands on mid and on side, all at 0 dB like the
# "Default" program: high shelf 12 kHz, bells 4.5 kHz, 1.5 kHz and 450 Hz, low shelf 80 Hz, with
# Kelvane's 0 dB shapes (shelf Q 0.707, bell Q 4/9), bilinear RLC filters of the first slope. The
# other eleven bands per channel are off. LSP's FIR mode convolves whatever the gains are.
equaliser_settings=(mode="$(point equaliser mode FIR)")
band_types=("Hi-shelf" "Bell" "Bell" "Bell" "Lo-shelf")
band_frequencies=(12000 4500 1500 450 80)
band_qs=(0.707 0.444 0.444 0.444 0.707)

for channel in m s; do
    for band in 0 1 2 3 4; do
        equaliser_settings+=(
            "ft${channel}_$band=$(point equaliser "ft${channel}_$band" "${band_types[$band]}")"
            "fm${channel}_$band=$(point equaliser "fm${channel}_$band" "RLC (BT)")"
            "s${channel}_$band=$(point equaliser "s${channel}_$band" x1)"
            "f${channel}_$band=${band_frequencies[$band]}"
            "g${channel}_$band=1"
            "q${channel}_$band=${band_qs[$band]}")
    done

    for band in $(seq 5 15); do
        equaliser_settings+=("ft${channel}_$band=$(point equaliser "ft${channel}_$band" Off)")
    done
done

check_settings expander "${expander_settings[@]}"
check_settings equaliser "${equaliser_settings[@]}"
check_settings compressor "${compressor_settings[@]}"
check_settings limiter "${limiter_settings[@]}"

#------------------------------------------------------------------------------
# Kelvane's equaliser-mode parameter, for the FIR check: switching it to IIR must make Kelvane
# cheaper, which shows the default pass really ran the FIR path (its latency does not tell,
# since Kelvane reports the same latency in both modes).

eq_mode_uri=""

if [ "$iir_check" -eq 1 ]; then
    # awk reads the files itself: behind a pipe, its early exit could kill the writer with SIGPIPE.
    eq_mode_uri="$(awk '
        /^@prefix plug:/ { prefix = $3; gsub(/[<>]/, "", prefix) }
        /^plug:[^ ]+$/ { name = substr($1, 6) }
        /rdfs:label "EQ Mode"/ && name != "" { print prefix name; exit }' "$bundle"/*.ttl)"

    if [ -z "$eq_mode_uri" ]; then
        echo "note: Kelvane's \"EQ Mode\" parameter was not found in its bundle; skipping the FIR check" >&2
        iir_check=0
    fi
fi

#------------------------------------------------------------------------------
# The run

host_args=(--rate "$sample_rate" --block "$block_size" --seconds "$seconds" --warm-up "$warm_up" --repeats "$repeats"
           --report-outputs '^(rlm|grlm_l|grlm_r)$|^GR_')

if [ "$write_wav" -eq 1 ]; then
    host_args+=(--write-input "$work_dir/input.wav" --write-output "$work_dir/output-")
fi

host_args+=(--chain kelvane --plugin "$kelvane_uri" --preset Default)
host_args+=(--chain lsp
            --plugin "$expander_uri" "${expander_settings[@]}"
            --plugin "$equaliser_uri" "${equaliser_settings[@]}"
            --plugin "$compressor_uri" "${compressor_settings[@]}"
            --plugin "$limiter_uri" "${limiter_settings[@]}")

if [ "$iir_check" -eq 1 ]; then
    host_args+=(--chain kelvane-iir --plugin "$kelvane_uri" --preset Default --patch "$eq_mode_uri=0")
fi

echo "Kelvane bundle: $bundle (built $(date -r "$bundle/manifest.ttl" '+%Y-%m-%d %H:%M'))"
echo "LSP plug-ins:   lsp-plugins-lv2 $(dpkg-query -W -f='${Version}' lsp-plugins-lv2) from /usr/lib/lv2"
echo "CPU:            $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo

log="$work_dir/last-run.log"
"$host" "${host_args[@]}" | tee "$log"

#------------------------------------------------------------------------------
# Summary

field()
{
    # field KIND CHAIN KEY [INDEX]: a value from the host's machine-readable lines.
    awk -v kind="$1" -v chain="$2" -v key="$3" -v index_="${4:-}" '
        $1 == kind {
            delete f
            for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = substr($i, length(kv[1]) + 2) }
            if (f["chain"] == chain && (index_ == "" || f["index"] == index_)) { print f[key]; exit }
        }' "$log"
}

kelvane_rtf="$(field RESULT kelvane realtime_factor)"
lsp_rtf="$(field RESULT lsp realtime_factor)"
if [ -z "$kelvane_rtf" ] || [ -z "$lsp_rtf" ]; then
    die "the host printed no results (see $log)"
fi
equaliser_latency="$(field PLUGIN lsp latency 2)"

echo
echo "== Kelvane vs. LSP chain: ${sample_rate} Hz, ${block_size}-frame blocks, ${seconds} s stereo, best of ${repeats}, one core"
printf '  %-52s %9.1fx real time\n' "Kelvane (\"Default\" program, FIR equaliser)" "$kelvane_rtf"
printf '  %-52s %9.1fx real time\n' "LSP expander + equaliser (FIR) + compressor + limiter" "$lsp_rtf"
awk -v k="$kelvane_rtf" -v l="$lsp_rtf" 'BEGIN {
    r = k / l
    # Parenthesised: a bare ">" in a print statement is a redirection to awk.
    verdict = (r >= 1) ? sprintf ("Kelvane is %.2fx as fast", r) : sprintf ("Kelvane needs %.2fx the CPU time", 1 / r)
    printf "  %-52s %9.3f  (%s)\n", "ratio Kelvane / LSP", r, verdict
}'

if [ "$equaliser_latency" -gt 0 ] 2>/dev/null; then
    echo "  LSP equaliser latency ${equaliser_latency} frames: it ran in FIR mode"
else
    echo "  warning: the LSP equaliser reported no latency; it may not have run in FIR mode"
fi

if [ "$iir_check" -eq 1 ]; then
    iir_rtf="$(field RESULT kelvane-iir realtime_factor)"
    awk -v f="$kelvane_rtf" -v i="$iir_rtf" 'BEGIN {
        if (i > 1.1 * f)
            printf "  Kelvane switched to IIR runs at %.1fx real time (%.2fx the FIR speed): the default pass ran the FIR path\n", i, i / f
        else
            printf "  warning: Kelvane in IIR mode (%.1fx) is not clearly faster than the default (%.1fx); FIR mode not confirmed\n", i, f
    }'
fi

echo "  full log: $log"

if [ "$write_wav" -eq 1 ]; then
    echo "  audio: $work_dir/input.wav, $work_dir/output-kelvane.wav, $work_dir/output-lsp.wav"
fi
