#!/usr/bin/env bash
# A private Dovecot (POP3 and IMAP4) on 127.0.0.1 for tests, kept entirely under one folder.
#
#   dovecot.sh start <dir> [user] [password]   configure and start; prints "pop3=<port> imap=<port>"
#   dovecot.sh deliver <dir> seen|unseen [subject]   put one message into the user's INBOX
#   dovecot.sh stop <dir>                       stop the server started in <dir> by its PID
#
# With TAVIK_DOVECOT_OWNER=<pid> set at start, the server is also stopped once that process has
# gone. The ports are also written to <dir>/ports. The server runs in the foreground of a background
# job whose PID is in <dir>/dovecot.pid. Exit code 77: Dovecot cannot run here (not installed,
# or not root: it runs its login and mail processes as nobody, uid/gid 65534).
set -euo pipefail

usage() {
    echo "usage: $0 start <dir> [user] [password] | deliver <dir> seen|unseen [subject] | stop <dir>" >&2
    exit 2
}

[ $# -ge 2 ] || usage
command=$1
dir=$2
mail_uid=65534
mail_gid=65534

free_ports() {
    python3 - <<'PY'
import socket
held = []
for _ in range(2):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    held.append(s)
print(" ".join(str(s.getsockname()[1]) for s in held))
PY
}

port_open() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

start() {
    local user=${1:-tavik} password=${2:-secret}
    if ! command -v dovecot >/dev/null || [ ! -x /usr/lib/dovecot/imap ] || [ ! -x /usr/lib/dovecot/pop3 ]; then
        echo "dovecot with imapd and pop3d is not installed (scripts/install-deps.sh)" >&2
        exit 77
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "the test Dovecot runs its processes as nobody and must be started as root" >&2
        exit 77
    fi
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if [ -f "$dir/dovecot.pid" ] && kill -0 "$(cat "$dir/dovecot.pid")" 2>/dev/null; then
        echo "a Dovecot already runs in $dir" >&2
        exit 1
    fi
    # The login processes chroot below base_dir and read the passwd file as nobody.
    mkdir -p "$dir/run" "$dir/state" "$dir/mail/$user/Maildir"/{cur,new,tmp}
    chmod 755 "$dir" "$dir/run"
    printf '%s:{PLAIN}%s\n' "$user" "$password" >"$dir/users"
    chmod 644 "$dir/users"
    chown -R "$mail_uid:$mail_gid" "$dir/mail" "$dir/state"

    local ports pop3_port imap_port
    ports=$(free_ports)
    pop3_port=${ports% *}
    imap_port=${ports#* }
    printf 'pop3=%s\nimap=%s\n' "$pop3_port" "$imap_port" >"$dir/ports"

    cat >"$dir/dovecot.conf" <<CONF
protocols = imap pop3
listen = 127.0.0.1
base_dir = $dir/run
state_dir = $dir/state
instance_name = tavik-test-$pop3_port
log_path = $dir/dovecot.log
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain
default_login_user = nobody
default_internal_user = nobody
mail_location = maildir:$dir/mail/%u/Maildir
mail_uid = $mail_uid
mail_gid = $mail_gid
first_valid_uid = $mail_uid
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $dir/users
}
userdb {
  driver = static
  args = uid=$mail_uid gid=$mail_gid home=$dir/mail/%u
}
service imap-login {
  inet_listener imap {
    address = 127.0.0.1
    port = $imap_port
  }
  inet_listener imaps {
    port = 0
  }
}
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = $pop3_port
  }
  inet_listener pop3s {
    port = 0
  }
}
pop3_uidl_format = %08Xu%08Xv
CONF

    dovecot -F -c "$dir/dovecot.conf" </dev/null >>"$dir/dovecot.log" 2>&1 &
    echo $! >"$dir/dovecot.pid"

    local tries=0
    until port_open "$pop3_port" && port_open "$imap_port"; do
        if ! kill -0 "$(cat "$dir/dovecot.pid")" 2>/dev/null; then
            echo "dovecot ended at start; its log:" >&2
            cat "$dir/dovecot.log" >&2
            exit 1
        fi
        tries=$((tries + 1))
        if [ $tries -ge 200 ]; then
            stop
            echo "dovecot did not listen within 20 s" >&2
            exit 1
        fi
        sleep 0.1
    done
    # A test process that dies before it could stop the server still gets it stopped.
    if [ -n "${TAVIK_DOVECOT_OWNER:-}" ]; then
        (
            while kill -0 "$TAVIK_DOVECOT_OWNER" 2>/dev/null && [ -f "$dir/dovecot.pid" ]; do sleep 1; done
            stop
        ) </dev/null >/dev/null 2>&1 &
    fi
    echo "pop3=$pop3_port imap=$imap_port"
}

deliver() {
    local state=${1:-} subject=${2:-Test message}
    case $state in seen | unseen) ;; *) usage ;; esac
    local maildir
    maildir=$(find "$dir/mail" -mindepth 2 -maxdepth 2 -name Maildir | head -n 1)
    [ -n "$maildir" ] || { echo "no mailbox in $dir (start first)" >&2; exit 1; }
    local name
    name="$(date +%s).$$_$RANDOM.tavik-test"
    printf 'From: sender@example.org\r\nTo: tavik@example.org\r\nSubject: %s\r\n\r\nBody of %s.\r\n' \
        "$subject" "$subject" >"$maildir/tmp/$name"
    chown "$mail_uid:$mail_gid" "$maildir/tmp/$name"
    if [ "$state" = seen ]; then
        mv "$maildir/tmp/$name" "$maildir/cur/$name:2,S"
    else
        mv "$maildir/tmp/$name" "$maildir/new/$name"
    fi
}

stop() {
    [ -f "$dir/dovecot.pid" ] || return 0
    local pid
    pid=$(cat "$dir/dovecot.pid")
    if kill "$pid" 2>/dev/null; then
        # The master ends its children before it goes; wait for it, then insist.
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -f "$dir/dovecot.pid"
}

case $command in
start) shift 2; start "$@" ;;
deliver) shift 2; deliver "$@" ;;
stop) stop ;;
*) usage ;;
esac
