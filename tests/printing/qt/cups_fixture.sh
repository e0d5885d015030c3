#!/usr/bin/env bash
# cups_fixture.sh start|stop DIR: a private print system for the tests.
#
# start brings up cupsd in the foreground (detached from the caller) with its
# configuration, spool, logs and Unix socket all under DIR, waits until it
# answers and adds a cups-pdf queue "tally" as its default printer. Tests
# reach it with CUPS_SERVER=DIR/cups.sock and find what the queue printed in
# DIR/out. stop ends that cupsd and removes DIR.
#
# The cups-pdf backend reads its settings from /etc/cups only; cupsd runs in a
# private mount namespace where DIR/cups-pdf.conf is bound over that file, so
# the host's configuration is never touched.
set -euo pipefail
action=$1
dir=$2

# Says why, shows cupsd's log and leaves nothing running.
fail() {
  echo "cups fixture: $*" >&2
  if [[ -f $dir/log/error_log ]]; then tail -n 20 "$dir/log/error_log" >&2; fi
  stop
  exit 1
}

stop() {
  if [[ -f $dir/cupsd.pid ]]; then
    pid=$(cat "$dir/cupsd.pid")
    if kill "$pid" 2>/dev/null; then
      for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
      kill -KILL "$pid" 2>/dev/null || true
    fi
  fi
  rm -rf "$dir"
}

case $action in
stop)
  stop
  exit 0
  ;;
start) ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac

export PATH=$PATH:/usr/sbin
for tool in cupsd lpadmin lpstat unshare; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs cups)"
done
[[ -x /usr/lib/cups/backend/cups-pdf && -f /etc/cups/cups-pdf.conf ]] ||
  fail "cups-pdf is missing (scripts/install-deps.sh installs printer-driver-cups-pdf)"
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[[ -f $ppd ]] || fail "$ppd is missing"
[[ $(id -u) == 0 ]] || fail "needs root: cupsd runs the cups-pdf backend as root"

stop # a run that was killed may have left one behind
mkdir -p "$dir"/{etc,spool,spool/tmp,cache,state,log,out,pdfspool}
# cupsd's filters run as lp and must reach their files below DIR.
chmod 755 "$dir" "$dir"/out
chmod 1777 "$dir"/spool/tmp "$dir"/pdfspool

cat >"$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
MaxJobs 0
PreserveJobHistory Yes
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root
CONF
cat >"$dir/cups-pdf.conf" <<CONF
Out $dir/out
Spool $dir/pdfspool
AnonDirName $dir/out
Grp root
Log $dir/log
LogType 1
CONF

# setsid: the daemon outlives this script and holds none of ctest's pipes.
# shellcheck disable=SC2016 # the inner shell expands its own "$1"
setsid unshare --mount --propagation private sh -c '
  mount --bind "$1/cups-pdf.conf" /etc/cups/cups-pdf.conf || exit 1
  exec cupsd -f -c "$1/etc/cupsd.conf" -s "$1/etc/cups-files.conf"
' sh "$dir" >"$dir/log/cupsd.out" 2>&1 </dev/null &
echo $! >"$dir/cupsd.pid"

export CUPS_SERVER=$dir/cups.sock
for _ in $(seq 100); do
  [[ -S $CUPS_SERVER ]] && lpstat -r >/dev/null 2>&1 && break
  kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null || fail "cupsd ended: $(cat "$dir/log/cupsd.out")"
  sleep 0.1
done
lpstat -r >/dev/null 2>&1 || fail "cupsd does not answer on $CUPS_SERVER"
# Letter as the queue's paper, so a job that keeps it is told apart from A4.
# The cairo renderer keeps the text of our PDFs searchable through the
# PostScript step; the others turn it into Type 3 glyphs.
lpadmin -p tally -E -v cups-pdf:/ -P "$ppd" -o PageSize=Letter \
  -o pdftops-renderer-default=pdftocairo -o printer-error-policy=abort-job ||
  fail "lpadmin could not add the cups-pdf queue"
lpadmin -d tally || fail "lpadmin could not make the queue the default"
lpstat -d -p tally
