#!/usr/bin/env bash
# Scale of qavixctl monitor on one machine (not part of CI): N emulators with 3 x 128 beams on
# pseudo-terminals, N monitors at a 1 s interval, one local mosquitto, for DURATION seconds.
# Reports CPU per monitor and cycle, RSS per monitor, messages per second at the broker, and
# whether every message a monitor sent (its --jsonl copy) reached a QoS 1 subscriber.
#
#   bench/monitor_scale.sh [BUILD_DIR] [N] [DURATION]       (defaults: build 20 60)
set -euo pipefail

build=${1:-build}
n=${2:-20}
duration=${3:-60}
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/qavix-monitor-scale-XXXXXX")
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat > "$work/mosquitto.conf" <<CONF
listener $port 127.0.0.1
allow_anonymous true
persistence false
user $(id -un)
max_queued_messages 100000
CONF
mosquitto -c "$work/mosquitto.conf" > "$work/mosquitto.log" 2>&1 &
broker=$!
pids+=("$broker")
sleep 0.5
mosquitto_sub -h 127.0.0.1 -p "$port" -t 'qavix/#' -q 1 -v > "$work/received.txt" 2>/dev/null &
pids+=("$!")
sleep 0.3

monitors=()
for i in $(seq 1 "$n"); do
    "$bin/qavix-sim" --sensors 128,128,128 < /dev/zero > "$work/sim$i.out" 2>&1 &
    pids+=("$!")
done
sleep 1
for i in $(seq 1 "$n"); do
    dev=$(head -1 "$work/sim$i.out")
    "$bin/qavixctl" monitor --mqtt "mqtt://127.0.0.1:$port" --device "$dev" --name "m$i" \
        --interval 1 --state-file "$work/m$i.state" --jsonl "$work/m$i.jsonl" \
        > /dev/null 2> "$work/m$i.err" &
    monitors+=("$!")
    pids+=("$!")
done

ticks=$(getconf CLK_TCK)
broker_cpu_start=$(awk '{print $14+$15}' "/proc/$broker/stat")
sleep "$duration"

cpu_total=0
rss_total=0
for p in "${monitors[@]}"; do
    cpu=$(awk '{print $14+$15}' "/proc/$p/stat")
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$p/status")
    cpu_total=$((cpu_total + cpu))
    rss_total=$((rss_total + rss))
done
broker_cpu=$(( $(awk '{print $14+$15}' "/proc/$broker/stat") - broker_cpu_start ))
broker_rss=$(awk '/VmRSS/ {print $2}' "/proc/$broker/status")
for p in "${monitors[@]}"; do kill -TERM "$p"; done
for p in "${monitors[@]}"; do wait "$p" 2>/dev/null || true; done
sleep 1

sent=0
lost=0
cycles=0
for i in $(seq 1 "$n"); do
    s=$(grep -c -v '"topic":"qavix/m'"$i"'/online"' "$work/m$i.jsonl" || true)
    r=$(grep -c "^qavix/m$i/\(status\|levels\|errors\|alerts\)" "$work/received.txt" || true)
    c=$(grep -c '"topic":"qavix/m'"$i"'/status"' "$work/m$i.jsonl" || true)
    sent=$((sent + s))
    cycles=$((cycles + c))
    if [ "$r" -lt "$s" ]; then lost=$((lost + s - r)); fi
done

awk -v n="$n" -v d="$duration" -v cpu="$cpu_total" -v t="$ticks" -v rss="$rss_total" \
    -v cycles="$cycles" -v sent="$sent" -v lost="$lost" -v bcpu="$broker_cpu" -v brss="$broker_rss" 'BEGIN {
    printf "monitors: %d, %d s, %d cycles (%.2f per monitor and second)\n", n, d, cycles, cycles / n / d
    printf "CPU per monitor and cycle: %.2f ms (%.1f %% of one core per monitor)\n", 1000 * cpu / t / cycles, 100 * cpu / t / n / d
    printf "RSS per monitor: %.1f MiB\n", rss / n / 1024
    printf "broker: %.0f messages/s in, CPU %.1f %% of one core, RSS %.1f MiB\n", sent / d, 100 * bcpu / t / d, brss / 1024
    printf "messages sent %d, missing at the QoS 1 subscriber %d\n", sent, lost
}'
