#!/bin/sh
# Serves build/web/site/ (or --dir DIR) on 127.0.0.1:8080 (--port N) with the
# headers the page needs; --https serves it on the local network with a
# self-signed certificate, for a phone (its motion sensor needs HTTPS).
exec node "$(dirname "$0")/serve-web.js" "$@"
