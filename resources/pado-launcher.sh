#!/bin/sh
# pado: starts the installed PADO. Its program folder is ~/PADO (the staging folder ~/PADO-tdy).
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/pado/PADO" "$@"
