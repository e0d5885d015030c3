#!/usr/bin/env bash
# Throughput and latency of the print service's HTTP listener next to a bare
# cpp-httplib server, with wrk over loopback: GET and POST of an unknown djlx,
# then resident memory of the service before and after 100,000 POSTs.
#   bash bench/service/run.sh [SECONDS per run, default 5]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-5}
threads=2
connections=16
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
server=build/bench/service/bench_service_server
here=bench/service

start_server() { # mode -> sets srv_pid, srv_port
  coproc SRV { exec "$server" "$1"; }
  srv_pid=$SRV_PID
  read -r srv_port <&"${SRV[0]}"
}
stop_server() {
  exec {SRV[1]}>&-
  wait "$srv_pid" 2>/dev/null || true
}
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

summary() { # wrk output -> "requests/s  median"
  awk '/Requests\/sec/ {rps=$2} /^ +50%/ {p50=$2} END {printf "%12s %10s\n", rps, p50}'
}

printf "%-8s %-5s %12s %10s\n" server kind "requests/s" "median"
for mode in bare service; do
  start_server "$mode"
  for kind in GET POST; do
    script=()
    [ "$kind" = POST ] && script=(-s "$here/post.lua")
    result=$(wrk -t"$threads" -c"$connections" -d"${seconds}s" --latency "${script[@]}" "http://127.0.0.1:$srv_port/" | summary)
    printf "%-8s %-5s %s\n" "$mode" "$kind" "$result"
  done
  stop_server
done

# Memory over a fixed number of requests: warm up, then 100,000 POSTs.
start_server service
BENCH_REQUESTS_PER_THREAD=500 wrk -t"$threads" -c"$connections" -d30s -s "$here/count.lua" "http://127.0.0.1:$srv_port/" >/dev/null
before=$(rss_kb "$srv_pid")
BENCH_REQUESTS_PER_THREAD=$((100000 / threads)) wrk -t"$threads" -c"$connections" -d60s -s "$here/count.lua" \
  "http://127.0.0.1:$srv_port/" | awk '/requests in/ {print "memory run:", $1, "requests answered (wrk always reports its full -d time)"}'
after=$(rss_kb "$srv_pid")
echo "service resident memory: ${before} kB after warm-up, ${after} kB after 100,000 more requests"
stop_server
