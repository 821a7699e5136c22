#!/usr/bin/env bash
# Prints the Windows architecture whose programs Wine can run on this machine: i686 when Wine's
# 32-bit loader starts, else x86_64 (some virtual machines' kernels refuse 32-bit Linux programs,
# which leaves Wine only its 64-bit loader).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
