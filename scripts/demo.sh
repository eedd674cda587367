#!/bin/sh
# A demo without an account of your own: local POP3 and SMTP servers on loopback, a mailbox
# with a few Japanese messages, and a mail store (build/demo-store) whose account "デモ"
# receives from and sends to them. Mail sent from the demo lands in the same mailbox, so it
# can be received again. The servers stop when the program ends.
# Usage: scripts/demo.sh [plumex executable]   (normally through ./run.sh --demo)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="${1:-$root/build/app/plumex}"
servers="$root/build/demo-servers"
store="$root/build/demo-store"

# start.sh checks the servers' programs; these are the demo's own.
[ -x "$exe" ] || { echo "demo.sh: no program at $exe (build it with scripts/build.sh release)" >&2; exit 1; }
for prog in python3 iconv; do
  command -v "$prog" >/dev/null 2>&1 || { echo "demo.sh: missing $prog (scripts/install-deps.sh demo)" >&2; exit 1; }
done
"$root/tests/servers/start.sh" "$servers" >/dev/null
trap '"$root/tests/servers/stop.sh" "$servers" >/dev/null 2>&1' EXIT INT TERM
. "$servers/servers.env"

# The demo user's mailbox is the maildir every sent message is delivered to. Its home and the
# sample mail belong to the maildir's owner, the user Dovecot reads mail as: Dovecot moves
# each message from new/ to cur/ once it has been seen, which needs the files to be its own.
mkdir -p "$STATE/home/demo"
ln -sfn "$SMTP_MAILDIR" "$STATE/home/demo/Maildir"
chown --reference="$SMTP_MAILDIR" "$STATE/home/demo"
chmod 0755 "$STATE/home/demo"
python3 - "$SMTP_MAILDIR" <<'PY'
import base64, email.utils, os, sys, time
def word(text, charset="iso2022_jp", name="ISO-2022-JP"):
    return "=?%s?B?%s?=" % (name, base64.b64encode(text.encode(charset)).decode())
now = email.utils.formatdate(localtime=True)
samples = [
    ("welcome", word("Plumex へようこそ"), word("Plumex サポート") + " <support@example.jp>", "ISO-2022-JP",
     "Plumex をお試しいただきありがとうございます。\r\n\r\n「受信」でこのメールを受け取り、\r\n「新規作成」で demo@example.jp あてに送ると、\r\n"
     "もう一度「受信」したときに届きます。\r\n"),
    ("meeting", word("来週の会議について"), word("山田 太郎") + " <taro@example.jp>", "ISO-2022-JP",
     "皆様\r\n\r\n来週月曜日の午前十時から第二会議室で定例会議を行います。\r\n資料は https://example.jp/shiryou/ にあります。\r\n\r\nよろしくお願いします。\r\n"),
    ("utf8", word("お見積りの件 〜 ご確認ください", "utf-8", "UTF-8"), word("佐藤 花子", "utf-8", "UTF-8") + " <hanako@example.jp>",
     "UTF-8", "お世話になっております。\r\nお見積りを送ります。ご確認ください。\r\n"),
]
maildir = sys.argv[1]
if os.getuid() == 0:  # write as the mailbox's owner
    owner = os.stat(maildir)
    os.setgroups([])
    os.setgid(owner.st_gid)
    os.setuid(owner.st_uid)
for i, (key, subject, sender, charset, body) in enumerate(samples):
    payload = body.encode("iso2022_jp" if charset == "ISO-2022-JP" else "utf-8")
    head = ("Message-ID: <demo-%s@example.jp>\r\nFrom: %s\r\nTo: demo@example.jp\r\nSubject: %s\r\nDate: %s\r\n"
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=%s\r\n\r\n" % (key, sender, subject, now, charset))
    # Through tmp/, so that the server never sees half a message.
    name = "%d.M%d.demo" % (int(time.time()) + i, i)
    with open(os.path.join(maildir, "tmp", name), "wb") as f:
        f.write(head.encode("ascii") + payload)
    os.rename(os.path.join(maildir, "tmp", name), os.path.join(maildir, "new", name))
PY

mkdir -p "$store"
# The account, written anew each time (the ports change from run to run).
printf '%s\t127.0.0.1\tdemo\tsecret\t127.0.0.1\tdemo@example.jp\t%s\t%s\t0\t>\t0\t0\r\n' \
  "$(printf 'デモ' | iconv -t CP932)" "$POP3_PORT" "$SMTP_PLAIN_PORT" > "$store/Account.ini"
[ -f "$store/plumex.ini" ] || printf '[CurAccount]\r\nPosition=%s\r\n' "$(printf 'デモ' | iconv -t CP932)" > "$store/plumex.ini"

echo "Demo store: $store (account デモ; POP3 port $POP3_PORT, SMTP port $SMTP_PLAIN_PORT)"
"$exe" --root "$store"
