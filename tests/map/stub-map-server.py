#!/usr/bin/env python3
"""A stand-in for the map providers, for looking at the viewer offline by hand.

    tests/map/stub-map-server.py PORT

serves on 127.0.0.1:PORT: /maps/api/js answers 404 (so the map page falls back to the
OpenStreetMap page) and /tiles/Z/X/Y.png answers a plain tile: a chequer of two greens by
tile with a grid, so panning is visible. Point the viewer at it with
VELOMIRA_MAPS_API_BASE=http://127.0.0.1:PORT and
VELOMIRA_TILE_URL=http://127.0.0.1:PORT/tiles/{z}/{x}/{y}.png.
"""
import http.server
import struct
import sys
import zlib


def png(width, height, pixel):
    rows = b"".join(
        b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows))
            + chunk(b"IEND", b""))


TILES = {}


def tile(x, y):
    key = (x + y) % 2
    if key not in TILES:
        base = (214, 226, 206) if key else (198, 214, 190)

        def pixel(px, py):
            if px % 64 == 0 or py % 64 == 0:
                return (170, 186, 164)
            return base
        TILES[key] = png(256, 256, pixel)
    return TILES[key]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        parts = self.path.split("?")[0].strip("/").split("/")
        if len(parts) == 4 and parts[0] == "tiles":
            body = tile(int(parts[2]), int(parts[3].split(".")[0]))
            self.send_response(200)
            self.send_header("Content-Type", "image/png")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        self.send_response(404)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def log_message(self, *args):
        pass


if __name__ == "__main__":
    http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
