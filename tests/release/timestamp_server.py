#!/usr/bin/env python3
"""An RFC 3161 time-stamp server for the release tests, on a free port of 127.0.0.1.

    timestamp_server.py CONFIG KEY CERT CHAIN

Prints the port it listens on, then answers every POSTed time-stamp query with `openssl ts -reply`
signed by KEY and CERT (CHAIN is added to the reply). Runs until killed.
"""
import http.server
import os
import subprocess
import sys
import tempfile

config, key, cert, chain = sys.argv[1:5]


class TimeStampHandler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with tempfile.TemporaryDirectory() as work:
            query_file = os.path.join(work, "query.tsq")
            reply_file = os.path.join(work, "reply.tsr")
            with open(query_file, "wb") as f:
                f.write(query)
            made = subprocess.run(
                ["openssl", "ts", "-reply", "-config", config, "-queryfile", query_file,
                 "-inkey", key, "-signer", cert, "-chain", chain, "-out", reply_file],
                capture_output=True, text=True)
            if made.returncode != 0:
                sys.stderr.write(made.stderr)
                self.send_error(500, "openssl ts failed")
                return
            with open(reply_file, "rb") as f:
                reply = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimeStampHandler)
print(server.server_address[1], flush=True)
server.serve_forever()
