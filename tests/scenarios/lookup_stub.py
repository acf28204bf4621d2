#!/usr/bin/env python3
"""A stand-in lookup service for scenarios: fixed answers by place text.

Usage: lookup_stub.py PORT_FILE. It binds a free port on 127.0.0.1, writes the
port number to PORT_FILE and serves until killed.
"""
import http.server
import sys
import urllib.parse

ANSWERS = {
    "Paris": "48.8566|2.3522|Paris%2C%20%C3%8Ele-de-France%2C%20France",
    "Sydney": "-33.8688|151.2093|Sydney%2C%20%4Eew%20South%20Wales%2C%20Australia",
    "Extra": "10|20|Extra%20details%20here",
    "Nowhere": "N|N|N",
    "Capital": "12|34|North%20Pole",
    "Many": "1|2|three|four|five",
    "Few": "1|2",
    "Wordy": "45.5 degrees|abc|Wordy%20place",
    "Dash": "-12.5|-77|Lima%2C%20Peru",
    "Marked": "\ufeff48.8566|2.3522|Marked%20place",
    "Bosnia & Herzegovina": "44.17|17.79|Bosnia%20and%20Herzegovina",
}

# Answers that are no answers: (status, body).
FAILURES = {
    "Broken": (500, "1|2|Internal%20error"),
    "Long": (414, "1|2|URI%20too%20long"),
    "Huge": (200, "1|2|" + "x" * (64 * 1024)),
}


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        length = int(self.headers.get("Content-Length", 0))
        self.rfile.read(length)
        query = urllib.parse.urlsplit(self.path).query
        address = urllib.parse.parse_qs(query, keep_blank_values=True).get("address", [""])[0]
        if address == "Drop":
            # No answer at all: the connection closes before a response.
            self.close_connection = True
            self.wfile.flush()
            self.connection.shutdown(2)
            return
        status, text = FAILURES.get(address, (200, ANSWERS.get(address, "N|N|N")))
        body = text.encode()
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    do_GET = do_POST

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
with open(sys.argv[1], "w") as f:
    f.write(str(server.server_address[1]))
server.serve_forever()
