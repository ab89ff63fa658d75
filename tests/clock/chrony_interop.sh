#!/usr/bin/env bash
# Interoperability with a real NTP server: chronyd on the loopback, never touching the clock (-x),
# asked through "dniarz --sntp". Skips (exit 77) only when chronyd cannot be started here.
set -u
# The program is the arguments: its path, or a runner and its path (Wine and the Windows program).
dniarz=("$@")
port=11123
chronyd=$(command -v chronyd || true)
[ -z "$chronyd" ] && [ -x /usr/sbin/chronyd ] && chronyd=/usr/sbin/chronyd
if [ -z "$chronyd" ]; then
    echo "SKIP: chronyd is not installed (Debian package chrony)"
    exit 77
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/dniarz-chrony-XXXXXX")
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
    fi
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

cat > "$dir/chrony.conf" <<CONF
port $port
bindaddress 127.0.0.1
local stratum 8
allow 127.0.0.1
cmdport 0
pidfile $dir/chronyd.pid
driftfile $dir/chrony.drift
CONF

# -n: stays in the foreground as our child, so that we own it and can end it; -x: never sets the
# clock. As root it would drop to its own user, which may not write into our folder.
user_opts=()
[ "$(id -u)" -eq 0 ] && user_opts=(-u root) || user_opts=(-U)
"$chronyd" -x -n -f "$dir/chrony.conf" "${user_opts[@]}" >"$dir/chronyd.log" 2>&1 &
pid=$!

# Until it answers; a chronyd that has ended by then could not start here.
out=
for _ in $(seq 30); do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "SKIP: chronyd cannot start here:"
        cat "$dir/chronyd.log"
        exit 77
    fi
    out=$("${dniarz[@]}" --sntp "127.0.0.1:$port")
    rc=$?
    out=${out//$'\r'/}
    [ $rc -eq 0 ] && break
    sleep 0.2
done
echo "$out"
if [ "$rc" -ne 0 ]; then
    echo "FAIL: dniarz --sntp exited with $rc"
    cat "$dir/chronyd.log"
    exit 1
fi
chosen=$(echo "$out" | grep '^chosen: ')
case "$chosen" in
"chosen: 127.0.0.1:$port offset "*) ;;
*) echo "FAIL: chronyd not chosen"; exit 1 ;;
esac
offset=$(echo "$chosen" | sed -E 's/^chosen: [^ ]+ offset (-?[0-9.]+) ms.*/\1/')
if ! awk -v o="$offset" 'BEGIN { exit !(o < 50 && o > -50) }'; then
    echo "FAIL: offset $offset ms is not within 50 ms"
    exit 1
fi
echo "OK: offset $offset ms"
