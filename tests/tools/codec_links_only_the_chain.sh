#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The codec links the signal chain, libsndfile, libsamplerate and Qt Gui for its
# pictures, and nothing of the window, the camera, the serial port or the network.
# Debian's Qt Gui needs Qt DBus itself, so DBus is looked for among the codec's own
# needs; the others among everything the loader brings in.
set -euo pipefail
codec=$1
needed=$(readelf -d "$codec" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
loaded=$(ldd "$codec")
echo "needs: $(echo $needed)"
status=0
for library in Qt6Widgets Qt6Multimedia Qt6SerialPort Qt6Network Qt6DBus; do
  if grep -q "lib$library" <<<"$needed"; then
    echo "the codec needs lib$library"
    status=1
  fi
done
for library in Qt6Widgets Qt6Multimedia Qt6SerialPort Qt6Network; do
  if grep -q "lib$library" <<<"$loaded"; then
    echo "the codec loads lib$library"
    status=1
  fi
done
exit $status
