#!/usr/bin/env python3
"""update_server.py PORT FOLDER: the update server of the whole-program tests, on 127.0.0.1 only.
Serves the files of FOLDER; a file with a marker beside it behaves badly: FILE.hang takes the
connection and never answers, FILE.slow sends the headers and then one byte a second."""
import http.server
import os
import sys
import time

folder = sys.argv[2]


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.path, fmt % args))

    def do_GET(self):
        path = os.path.join(folder, self.path.lstrip("/").split("?")[0])
        if os.path.exists(path + ".hang"):
            time.sleep(600)
            return
        if not os.path.isfile(path):
            self.send_error(404)
            return
        data = open(path, "rb").read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        if os.path.exists(path + ".slow"):
            for i in range(len(data)):
                self.wfile.write(data[i:i + 1])
                self.wfile.flush()
                time.sleep(1)
            return
        self.wfile.write(data)


server = http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Handler)
server.daemon_threads = True
server.serve_forever()
