#!/bin/sh
# Stands in for the program that PROG.TXT names: writes down its arguments.
printf '%s\n' "$@" > aberto.tmp && mv aberto.tmp aberto.txt
