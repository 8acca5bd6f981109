# Sourced: the Wine that runs a given Windows program. A 32-bit program runs in a
# win32 prefix with Debian's "wine"; a 64-bit one (the build of a machine that runs no
# 32-bit code, scripts/lib/target.sh) in a win64 prefix with Wine's 64-bit loader,
# which the folder wine64/ beside this file puts first on the PATH under the names
# "wine" and "wineboot" (Debian's would start the 32-bit loader). The server is
# Debian's "wineserver" for both.
#   use_wine_for PROGRAM.exe    exports WINEARCH, and PATH and WINELOADER for 64 bits
use_wine_for() {
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
  if [ "$machine" = 8664 ]; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    export PATH=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH
  else
    export WINEARCH=win32
  fi
}
