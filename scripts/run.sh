#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job: starts the Tallyhost
# print service on port 9300 (off screen when there is no display), posts the
# sample print requests to it with curl, shows the replies and the service's
# activity log, then stops the service again.
#   bash scripts/run.sh          demo run; the service is stopped at the end
#   bash scripts/run.sh --keep   leave the service running afterwards
set -euo pipefail
cd "$(dirname "$0")/.."
keep=0
[ "${1:-}" = "--keep" ] && keep=1

bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

port=9300
url="http://127.0.0.1:$port/"
log=$(mktemp -t tallyhost-log.XXXXXX)
# Keeps Qt from warning about a missing runtime folder when run as a service user.
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d -t tallyhost-runtime.XXXXXX)}

./build/apps/tallyhost/Tallyhost 2>"$log" &
pid=$!
stop_service() {
  if [ "$keep" = 0 ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "== service stopped"
    rm -f "$log"
  fi
}
trap stop_service EXIT

port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }
# Wait for the listener (a second instance ends at once and leaves the port to the first).
for _ in $(seq 1 100); do
  port_open && break
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "== another Tallyhost instance is already running; posting to it"
    break
  fi
  sleep 0.1
done
port_open || { echo "nothing listens on port $port"; cat "$log"; exit 1; }

post() {
  echo "== POST $1"
  # The service answers once the document window is closed; a preview window
  # off screen is never closed by anyone, hence the time limit.
  curl -s -i --max-time 10 --data-urlencode "@$1" "$url" || echo "(no reply within 10 s: window still open)"
  echo
}
# The *.body samples are already URL-encoded, as a web page posts them. A
# printed document's window stays open, so the reply waits for the time limit.
post_body() {
  echo "== POST $1"
  curl -s -i --max-time 5 --data-binary "@$1" "$url" || echo "(no reply within 5 s: window still open)"
  echo
}
post samples/requests/unknown-djlx.json
post samples/requests/order-dhd.json
post_body samples/requests/order-form-41-rows.body

sleep 0.3
echo "== activity log of the service"
cat "$log"

if [ "$keep" = 1 ]; then
  echo "== Tallyhost keeps running (pid $pid, log $log); stop it with: kill $pid"
fi
