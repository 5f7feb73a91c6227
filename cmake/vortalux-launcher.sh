#!/bin/sh
# Starts Vortalux from the folder this launcher is in: the program reads its pictures from gfx/
# under the working directory, and gfx/ is beside this file. Options go on to the program.
cd "$(dirname "$(readlink -f "$0")")" || exit 1
exec ./bin/vortalux "$@"
