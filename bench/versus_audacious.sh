#!/usr/bin/env bash
# The player beside two other audio players, Audacious (with its window) and mpv (no window), run in turn
# (player, Audacious, mpv, player, ...) RUNS times, with private settings and null audio paced like a sound
# card: the player and mpv with mpv's ao=null, Audacious with its SDL output on SDL's dummy
# driver. Prints medians and the ratios player/other of:
#  1. launch to window shown, empty settings (the player's own report; for Audacious the moment its main
#     window is viewable, polled every 10 ms);
#  2. steady playback: clock ticks of CPU between 10 s and 50 s into a 60-second MP3;
#  3. CPU of launch, playing the 20-second MP3 whole and exit, and the floor of the stack the player is
#     built on (see stack_floor_*.cpp);
#  4. memory 8 s into the 60-second MP3 (smaps_rollup): Pss, Rss, private (clean + dirty).
set -euo pipefail
PLAYER=$(readlink -f "${1:-build/kivo-player}")
RUNS=${RUNS:-5}
WHOLE_RUNS=${WHOLE_RUNS:-$RUNS} # rounds of 3, which swings the most
for program in audacious mpv; do
    command -v "$program" > /dev/null || {
        echo "versus_audacious: $program is not installed (apt-get install $program)"
        exit 0
    }
done
source "$(dirname "$0")/lib.bash"
on_virtual_display bash "$0" "$PLAYER"
private_home versus
# No session bus: no program hands its file to an instance already running on the desktop.
export DBUS_SESSION_BUS_ADDRESS=disabled: SDL_AUDIODRIVER=dummy
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=60" -c:a libmp3lame -b:a 192k "$WORK/long.mp3"
printf 'song.mp3*%s\r\n!@#$%%\r\n' "$WORK/song.mp3" > "$WORK/one.KVPL"
printf 'long.mp3*%s\r\n!@#$%%\r\n' "$WORK/long.mp3" > "$WORK/long.KVPL"
login=$(id -un | tr '[:lower:]' '[:upper:]')
printf '[Presets]\nClose%%20On%%20Finish=1\n' > "$XDG_CONFIG_HOME/Quelba Kivo Player/$login.ini"

# Audacious keeps its output choice in its plugin registry, written at its first exit: start it once without
# a window, then enable the SDL output alone. Each run starts from a copy of that folder.
AUD_CONFIG=$XDG_CONFIG_HOME/audacious
audacious -H -V > "$WORK/audacious-first.log" 2>&1 &
pid=$!
for _ in $(seq 1 200); do
    grep -q 'start_plugins' "$WORK/audacious-first.log" && break
    sleep 0.05
done
sleep 0.5
kill -TERM "$pid"
wait "$pid" || true
[ -s "$AUD_CONFIG/plugin-registry" ] || { echo "versus_audacious: Audacious wrote no plugin registry"; exit 1; }
awk '/^[a-z]+ \// {output = ($1 == "output"); sdl = ($2 ~ /\/sdlout\.so$/)}
     /^enabled / && output {print "enabled " (sdl ? 1 : 0); next} {print}' \
    "$AUD_CONFIG/plugin-registry" > "$WORK/registry" && mv "$WORK/registry" "$AUD_CONFIG/plugin-registry"
rm -rf "$AUD_CONFIG/config" "$AUD_CONFIG/playlists" "$AUD_CONFIG/playlist-state"
cp -a "$AUD_CONFIG" "$WORK/audacious-settings"
fresh_audacious() { rm -rf "$AUD_CONFIG" && cp -a "$WORK/audacious-settings" "$AUD_CONFIG"; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else printf "n/a"}'; }
now_ms() { date +%s%3N; }
ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; } # utime + stime of all threads
stop() { kill -TERM "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }

# 1. Launch to window shown, empty settings.
kivo=() aud=()
for _ in $(seq 1 "$RUNS"); do
    rm -rf "$WORK/empty" && mkdir -p "$WORK/empty/Quelba Kivo Player"
    start=$(now_ms)
    shown=$(XDG_CONFIG_HOME=$WORK/empty KIVO_REPORT_SHOWN=exit "$PLAYER" 2>/dev/null | awk '/^shown/ {print $2}')
    kivo+=($((shown - start)))
    fresh_audacious
    start=$(now_ms)
    audacious > /dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 3000); do
        xdotool search --onlyvisible --class '^audacious$' > /dev/null 2>&1 && break
        sleep 0.01
    done
    aud+=($(($(now_ms) - start)))
    stop "$pid"
done
mk=$(median "${kivo[@]}") ma=$(median "${aud[@]}")
echo "launch to window shown, empty settings: kivo-player $mk ms, audacious $ma ms (medians of $RUNS)," \
    "ratio $(ratio "$mk" "$ma")"

# 2 and 4. Memory 8 s into the 60-second MP3, then CPU from 10 s to 50 s, of $pid, playing since START.
wait_until() { # wait_until START SECONDS
    sleep "$(awk -v s="$1" -v n="$(now_ms)" -v t="$2" 'BEGIN {d = t - (n - s) / 1000; print (d > 0 ? d : 0)}')"
}
sample() { # sample NAME START: appends "NAME Pss Rss private ticks" (kB, clock ticks) to $WORK/samples
    local pss rss priv before
    wait_until "$2" 8
    read -r pss rss priv < <(awk '/^Pss:/ {p = $2} /^Rss:/ {r = $2} /^Private_(Clean|Dirty):/ {v += $2}
                                  END {print p, r, v}' "/proc/$pid/smaps_rollup")
    wait_until "$2" 10
    before=$(ticks "$pid")
    sleep 40
    echo "$1 $pss $rss $priv $(($(ticks "$pid") - before))" >> "$WORK/samples"
    stop "$pid"
}
for _ in $(seq 1 "$RUNS"); do
    start_and_play "$WORK/long.KVPL"
    sample kivo-player "$(now_ms)"
    fresh_audacious
    start=$(now_ms)
    audacious "$WORK/long.mp3" > /dev/null 2>&1 < /dev/null &
    pid=$!
    sample audacious "$start"
    start=$(now_ms)
    mpv --no-config --no-video --ao=null "$WORK/long.mp3" > /dev/null 2>&1 < /dev/null &
    pid=$!
    sample mpv "$start"
done
of() { # of NAME COLUMN: median of that column of the samples
    # shellcheck disable=SC2046
    median $(awk -v n="$1" -v c="$2" '$1 == n {print $c}' "$WORK/samples")
}
mk=$(of kivo-player 5) ma=$(of audacious 5) mm=$(of mpv 5)
echo "steady playback, 10 s to 50 s of a 60 s MP3: kivo-player $mk clock ticks of CPU, audacious $ma, mpv $mm" \
    "(medians of $RUNS), ratios to audacious $(ratio "$mk" "$ma"), to mpv $(ratio "$mk" "$mm")"
mb() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
for name in kivo-player audacious mpv; do
    echo "memory 8 s into playback, $name: Pss $(mb "$(of "$name" 2)") MB, Rss $(mb "$(of "$name" 3)") MB," \
        "private $(mb "$(of "$name" 4)") MB (medians of $RUNS)"
done

# 3. CPU of launch, the 20-second MP3 played whole and exit; the wall time shows each played in real time.
# The page faults are printed too: on a virtual machine each one may cost microseconds of CPU, and their
# count does not swing with the machine's load as the CPU time does.

# The floor of the player's stack, when `make bench` has built it beside the player: an empty Qt window shown
# once, plus libmpv playing the same file with no window. The player costs at least their sum.
FLOOR_WINDOW=$(dirname "$PLAYER")/kivo_floor_window FLOOR_ENGINE=$(dirname "$PLAYER")/kivo_floor_engine
floor=false
[ -x "$FLOOR_WINDOW" ] && [ -x "$FLOOR_ENGINE" ] && floor=true
kivo=() aud=() mpvs=() kivo_wall=() aud_wall=() mpv_wall=() floor_window=() floor_engine=() floor_sum=()
kivo_faults=() aud_faults=() mpv_faults=() paired=()
for _ in $(seq 1 "$WHOLE_RUNS"); do
    start_and_play "$WORK/one.KVPL" "${RUSAGE[@]}"
    wait "$pid" || true
    read -r cpu wall faults < "$WORK/t"
    kivo+=("$cpu") kivo_wall+=("$wall") kivo_faults+=("$faults")
    fresh_audacious
    read -r cpu wall faults < <(cpu_of audacious -q "$WORK/song.mp3")
    aud+=("$cpu") aud_wall+=("$wall") aud_faults+=("$faults")
    paired+=("$(ratio "${kivo[-1]}" "$cpu")")
    read -r cpu wall faults < <(cpu_of mpv --no-config --no-video --ao=null "$WORK/song.mp3")
    mpvs+=("$cpu") mpv_wall+=("$wall") mpv_faults+=("$faults")
    if $floor; then
        read -r window _ < <(cpu_of "$FLOOR_WINDOW")
        read -r engine _ < <(cpu_of "$FLOOR_ENGINE" "$WORK/song.mp3")
        floor_window+=("$window") floor_engine+=("$engine")
        floor_sum+=("$(awk -v a="$window" -v b="$engine" 'BEGIN {printf "%.3f", a + b}')")
    fi
done
mk=$(median "${kivo[@]}") ma=$(median "${aud[@]}") mm=$(median "${mpvs[@]}")
echo "playing a 20 s MP3 to its end: kivo-player $mk s CPU in $(median "${kivo_wall[@]}") s, audacious $ma s" \
    "in $(median "${aud_wall[@]}") s, mpv $mm s in $(median "${mpv_wall[@]}") s (medians of $WHOLE_RUNS)," \
    "ratios to audacious $(ratio "$mk" "$ma"), to mpv $(ratio "$mk" "$mm");" \
    "kivo-player over audacious in the same round: median $(median "${paired[@]}")," \
    "each round $(printf '%s ' "${paired[@]}")"
echo "page faults of those runs: kivo-player $(median "${kivo_faults[@]}"), audacious $(median "${aud_faults[@]}")," \
    "mpv $(median "${mpv_faults[@]}") (medians of $WHOLE_RUNS)"
if $floor; then
    mf=$(median "${floor_sum[@]}")
    echo "the stack's floor for it: an empty Qt window $(median "${floor_window[@]}") s CPU, libmpv playing it" \
        "with no window $(median "${floor_engine[@]}") s, together $mf s (medians of $WHOLE_RUNS), ratio to audacious" \
        "$(ratio "$mf" "$ma"); kivo-player over the floor: $(ratio "$mk" "$mf")"
else
    echo "(make bench builds kivo_floor_window and kivo_floor_engine beside the player for the stack's floor)"
fi
