#!/usr/bin/python3
"""Parses a delivered message with Python's email package, independently of the client under
test, and prints what a reader would see as JSON: subject, sender, recipients, the body text
and every attachment's name and SHA-256, one
"key: JSON value" line each."""
import email
import email.policy
import hashlib
import json
import sys

with open(sys.argv[1], "rb") as f:
    msg = email.message_from_binary_file(f, policy=email.policy.default)

out = {
    "subject": str(msg["subject"]),
    "from": str(msg["from"]),
    "to": str(msg["to"]),
    "cc": str(msg["cc"]) if msg["cc"] else "",
    "has_bcc": msg["bcc"] is not None,
    "x_mailer": msg["x-mailer"],
    "x_priority": msg["x-priority"],
    "message_id": msg["message-id"],
    "date": msg["date"],
    "content_type": msg.get_content_type(),
    "body": "",
    "attachments": [],
}
for part in msg.walk():
    if part.is_multipart():
        continue
    if part.get_content_disposition() == "attachment":
        data = part.get_payload(decode=True)
        out["attachments"].append({"name": part.get_filename(), "sha256": hashlib.sha256(data).hexdigest()})
    elif part.get_content_type() == "text/plain" and not out["body"]:
        out["body"] = part.get_content()
        out["charset"] = part.get_content_charset()
sys.stdout.reconfigure(encoding="utf-8")
for key, value in out.items():
    print(key + ": " + json.dumps(value, ensure_ascii=False))
