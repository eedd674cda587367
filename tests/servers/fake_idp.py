#!/usr/bin/env python3
"""A small OAuth2 identity provider for the tests, on a loopback port (Python standard library).

GET  /authorize   answers at once with a redirect to redirect_uri (which must be a loopback
                  address) carrying a code and the state; the user is login_hint.
POST /token       grant_type=authorization_code checks client_id, redirect_uri and the PKCE
                  verifier (S256), and client_secret when the client sent one ("not-so-secret"); grant_type=refresh_token rotates the refresh token (the old
                  one stops working). Unknown or revoked refresh tokens: 400 invalid_grant.
POST /introspect  what Dovecot's oauth2 passdb asks (token=...): {"active": true, "username": ...}
                  while the access token is valid.
POST /control     for the tests: action=expire (every access token runs out now), reject (every
                  access token is refused although not expired), revoke (every refresh token),
                  lifetime=N (seconds of new access tokens), admin=1 (the next authorize
                  answers that an administrator must approve).
GET  /stats       counts as JSON: codes, refreshes, introspections, rejected.
"""
import argparse
import base64
import hashlib
import json
import secrets
import sys
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STATE = {
    "codes": {},      # code -> (client_id, redirect_uri, challenge, user)
    "access": {},     # token -> (user, expires_at)
    "refresh": {},    # token -> (user, client_id)
    "lifetime": 3600,
    "admin": False,
    "stats": {"codes": 0, "refreshes": 0, "introspections": 0, "rejected": 0, "invalid_grant": 0},
}


def loopback(uri):
    host = urllib.parse.urlsplit(uri).hostname
    return host in ("127.0.0.1", "localhost", "::1")


def issue(user, client_id):
    access = "at-" + secrets.token_urlsafe(24)
    refresh = "rt-" + secrets.token_urlsafe(24)
    STATE["access"][access] = (user, time.time() + STATE["lifetime"])
    STATE["refresh"][refresh] = (user, client_id)
    return {"access_token": access, "refresh_token": refresh, "token_type": "Bearer",
            "expires_in": STATE["lifetime"], "scope": "mail"}


class Handler(BaseHTTPRequestHandler):
    def log_message(self, fmt, *args):
        sys.stderr.write("fake_idp: " + (fmt % args) + "\n")

    def reply(self, status, body, headers=()):
        data = json.dumps(body).encode() if not isinstance(body, bytes) else body
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def form(self):
        length = int(self.headers.get("Content-Length") or 0)
        return {k: v[0] for k, v in urllib.parse.parse_qs(self.rfile.read(length).decode(), keep_blank_values=True).items()}

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        q = {k: v[0] for k, v in urllib.parse.parse_qs(url.query, keep_blank_values=True).items()}
        if url.path == "/stats":
            return self.reply(200, STATE["stats"])
        if url.path != "/authorize":
            return self.reply(404, {"error": "not_found"})
        redirect = q.get("redirect_uri", "")
        if not loopback(redirect) or q.get("response_type") != "code" or q.get("code_challenge_method") != "S256":
            return self.reply(400, {"error": "invalid_request"})
        sep = "&" if "?" in redirect else "?"
        if STATE["admin"]:
            STATE["admin"] = False
            params = {"error": "access_denied", "state": q.get("state", ""),
                      "error_description": "AADSTS90094: The grant requires admin permission."}
        else:
            code = "c-" + secrets.token_urlsafe(16)
            STATE["codes"][code] = (q.get("client_id"), redirect, q.get("code_challenge"), q.get("login_hint", "user"))
            STATE["stats"]["codes"] += 1
            params = {"code": code, "state": q.get("state", "")}
        self.send_response(302)
        self.send_header("Location", redirect + sep + urllib.parse.urlencode(params))
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_POST(self):
        path = urllib.parse.urlsplit(self.path).path
        f = self.form()
        if path == "/token":
            grant = f.get("grant_type")
            if grant == "authorization_code":
                entry = STATE["codes"].pop(f.get("code", ""), None)
                if not entry:
                    return self.reply(400, {"error": "invalid_grant", "error_description": "unknown code"})
                client_id, redirect, challenge, user = entry
                verifier = f.get("code_verifier", "")
                computed = base64.urlsafe_b64encode(hashlib.sha256(verifier.encode()).digest()).rstrip(b"=").decode()
                if client_id != f.get("client_id") or redirect != f.get("redirect_uri") or computed != challenge \
                        or f.get("client_secret", "not-so-secret") != "not-so-secret":
                    return self.reply(400, {"error": "invalid_grant", "error_description": "PKCE or client mismatch"})
                return self.reply(200, issue(user, client_id))
            if grant == "refresh_token":
                entry = STATE["refresh"].pop(f.get("refresh_token", ""), None)
                if not entry or entry[1] != f.get("client_id"):
                    STATE["stats"]["invalid_grant"] += 1
                    return self.reply(400, {"error": "invalid_grant", "error_description": "refresh token revoked"})
                STATE["stats"]["refreshes"] += 1
                return self.reply(200, issue(*entry))
            return self.reply(400, {"error": "unsupported_grant_type"})
        if path == "/introspect":
            STATE["stats"]["introspections"] += 1
            token = f.get("token", "")
            entry = STATE["access"].get(token)
            if entry and entry[1] > time.time():
                return self.reply(200, {"active": True, "username": entry[0]})
            if entry:
                STATE["stats"]["rejected"] += 1
            return self.reply(200, {"active": False})
        if path == "/control":
            action = f.get("action")
            if action in ("expire", "reject"):
                for token, (user, _) in list(STATE["access"].items()):
                    STATE["access"][token] = (user, 0)
            if action == "expire":
                STATE["expire_marks"] = True
            if action == "revoke":
                STATE["refresh"].clear()
            if "lifetime" in f:
                STATE["lifetime"] = int(f["lifetime"])
            if f.get("admin") == "1":
                STATE["admin"] = True
            return self.reply(200, {"ok": True})
        return self.reply(404, {"error": "not_found"})


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--tls-port", type=int, help="the same endpoints over HTTPS")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    if args.tls_port:
        import ssl
        import threading
        secure = ThreadingHTTPServer(("127.0.0.1", args.tls_port), Handler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        secure.socket = context.wrap_socket(secure.socket, server_side=True)
        threading.Thread(target=secure.serve_forever, daemon=True).start()
    ThreadingHTTPServer(("127.0.0.1", args.port), Handler).serve_forever()


if __name__ == "__main__":
    main()
